#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The passwords of one batch, for the uniqueness test. Their bytes are kept
// one after another in a single text and found through an open-addressed
// table of positions, so that filing a password asks the heap for nothing
// once the storage has grown to the size of a batch, and asking about a
// candidate makes no copy of it. Each slot also keeps the upper half of its
// password's hash, so a search compares texts only where the halves agree:
// with millions of passwords (the words of a large list, each counted once)
// the texts are far apart in memory and each comparison would cost a cache
// miss.
class PasswordSet {
public:
    bool Contains(std::string_view password) const;
    // Files the password; one already filed is not filed twice.
    void Insert(std::string_view password);
    // Forgets every password and keeps the storage for the next batch.
    void Clear();
    std::size_t Size() const { return ends.size(); }

private:
    static std::uint64_t Hash(std::string_view password);
    static std::uint64_t Entry(std::uint32_t index, std::uint64_t hash);
    std::string_view Password(std::uint32_t index) const;
    // The slot that holds the password, or the empty slot where it belongs.
    std::size_t Find(std::string_view password, std::uint64_t hash) const;
    void Grow();

    std::string text;                // every password, one after another
    std::vector<std::uint32_t> ends; // where each password ends in text
    // A password's index + 1 in the low half, its hash's upper half above;
    // 0 for empty.
    std::vector<std::uint64_t> slots;
};
