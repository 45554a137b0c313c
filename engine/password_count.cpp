#include "engine/password_count.h"

#include <limits>

PasswordCount::PasswordCount(std::uint64_t value)
{
    limbs[0] = static_cast<std::uint32_t>(value);
    limbs[1] = static_cast<std::uint32_t>(value >> 32);
}

void PasswordCount::SetLargest()
{
    limbs.fill(std::numeric_limits<std::uint32_t>::max());
}

PasswordCount& PasswordCount::operator+=(const PasswordCount& other)
{
    std::uint64_t carry = 0;
    for (int i = 0; i < kLimbs; ++i) {
        carry += std::uint64_t{limbs[i]} + other.limbs[i];
        limbs[i] = static_cast<std::uint32_t>(carry);
        carry >>= 32;
    }
    if (carry != 0) {
        SetLargest();
    }
    return *this;
}

PasswordCount& PasswordCount::operator-=(const PasswordCount& other)
{
    std::uint64_t borrow = 0;
    for (int i = 0; i < kLimbs; ++i) {
        const std::uint64_t taken = std::uint64_t{other.limbs[i]} + borrow;
        borrow = limbs[i] < taken ? 1 : 0;
        limbs[i] = static_cast<std::uint32_t>(limbs[i] - taken);
    }
    if (borrow != 0) {
        limbs.fill(0);
    }
    return *this;
}

PasswordCount& PasswordCount::operator*=(std::uint32_t factor)
{
    std::uint64_t carry = 0;
    for (int i = 0; i < kLimbs; ++i) {
        carry += std::uint64_t{limbs[i]} * factor;
        limbs[i] = static_cast<std::uint32_t>(carry);
        carry >>= 32;
    }
    if (carry != 0) {
        SetLargest();
    }
    return *this;
}

std::uint64_t PasswordCount::Saturated() const
{
    for (int i = 2; i < kLimbs; ++i) {
        if (limbs[i] != 0) {
            return std::numeric_limits<std::uint64_t>::max();
        }
    }
    return (std::uint64_t{limbs[1]} << 32) | limbs[0];
}
