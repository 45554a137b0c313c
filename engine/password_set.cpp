#include "engine/password_set.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kFirstSlots = 1024; // a whole batch of 300 without growing

constexpr std::uint64_t kMultiplier = 0x9e3779b97f4a7c15ull;

std::uint64_t Mix(std::uint64_t hash, std::uint64_t word)
{
    hash = (hash ^ word) * kMultiplier;
    return hash ^ (hash >> 32);
}

std::uint64_t LoadWord(const char* bytes)
{
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

} // namespace

// Passwords are random, so a multiply and a shift per eight bytes spread them
// well enough; nothing here needs resistance to chosen input. The last eight
// bytes are read as one word even where they overlap the words before.
std::uint64_t PasswordSet::Hash(std::string_view password)
{
    const char* const bytes = password.data();
    const std::size_t size = password.size();
    std::uint64_t hash = Mix(0, size);
    if (size < 8) {
        std::uint64_t word = 0;
        for (std::size_t i = 0; i < size; ++i) {
            word = (word << 8) | static_cast<unsigned char>(bytes[i]);
        }
        return Mix(hash, word);
    }
    for (std::size_t at = 0; at + 8 < size; at += 8) {
        hash = Mix(hash, LoadWord(bytes + at));
    }
    return Mix(hash, LoadWord(bytes + size - 8));
}

std::uint64_t PasswordSet::Entry(std::uint32_t index, std::uint64_t hash)
{
    return (hash >> 32 << 32) | (std::uint64_t{index} + 1);
}

std::string_view PasswordSet::Password(std::uint32_t index) const
{
    const std::uint32_t begin = index == 0 ? 0 : ends[index - 1];
    return std::string_view(text.data() + begin, ends[index] - begin);
}

std::size_t PasswordSet::Find(std::string_view password, std::uint64_t hash) const
{
    const std::size_t mask = slots.size() - 1;
    const std::uint64_t upper = hash >> 32;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint64_t entry = slots[slot];
        if (entry == 0 || ((entry >> 32) == upper &&
                           Password(static_cast<std::uint32_t>(entry) - 1) == password)) {
            return slot;
        }
    }
}

bool PasswordSet::Contains(std::string_view password) const
{
    return !slots.empty() && slots[Find(password, Hash(password))] != 0;
}

void PasswordSet::Insert(std::string_view password)
{
    // At most half the slots are used, so a search always meets an empty one.
    if (2 * (ends.size() + 1) > slots.size()) {
        Grow();
    }
    const std::uint64_t hash = Hash(password);
    const std::size_t slot = Find(password, hash);
    if (slots[slot] != 0) {
        return;
    }
    text.append(password);
    ends.push_back(static_cast<std::uint32_t>(text.size()));
    slots[slot] = Entry(static_cast<std::uint32_t>(ends.size() - 1), hash);
}

void PasswordSet::Clear()
{
    text.clear();
    ends.clear();
    std::fill(slots.begin(), slots.end(), std::uint64_t{0});
}

void PasswordSet::Grow()
{
    slots.assign(std::max(kFirstSlots, 2 * slots.size()), 0u);
    for (std::uint32_t index = 0; index < ends.size(); ++index) {
        const std::uint64_t hash = Hash(Password(index));
        slots[Find(Password(index), hash)] = Entry(index, hash);
    }
}
