#pragma once

#include <array>
#include <cstdint>

// A number of passwords, exact well past 64 bits. The largest space the
// options allow, 62^64 passwords of 64 characters, is below 2^382; a word
// list may exclude nearly all of such a space, and only exact figures tell
// "one password is left" from "none is". Past 2^384 - 1, which no option
// space comes near, a sum or product stays at that value.
class PasswordCount {
public:
    static constexpr int kBits = 384;

    PasswordCount() = default;
    explicit PasswordCount(std::uint64_t value);

    PasswordCount& operator+=(const PasswordCount& other);
    // 0 when other is the larger.
    PasswordCount& operator-=(const PasswordCount& other);
    PasswordCount& operator*=(std::uint32_t factor);

    friend PasswordCount operator*(PasswordCount count, std::uint32_t factor)
    {
        return count *= factor;
    }
    friend bool operator==(const PasswordCount&, const PasswordCount&) = default;

    // The count, or the largest 64-bit value when it is larger: more than
    // any run can make.
    std::uint64_t Saturated() const;

private:
    static constexpr int kLimbs = kBits / 32;

    void SetLargest();

    std::array<std::uint32_t, kLimbs> limbs{}; // the lowest first
};
