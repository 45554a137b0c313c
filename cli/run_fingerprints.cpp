#include "cli/run_fingerprints.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace {

constexpr std::uint64_t kMultiplier = 0x9e3779b97f4a7c15ull;

// At most three slots in four are used, so a search for a missing key ends
// after a few neighbours, nearly always in the same cache line.
constexpr std::uint64_t kSlotsPerKey = 4;
constexpr std::uint64_t kKeysPerSlot = 3;
constexpr std::size_t kFewestSlots = 16;
// Home() scales the upper 32 bits of a key by the capacity; a 32-bit build
// stops where its address space does.
constexpr std::uint64_t kMostSlots = std::min<std::uint64_t>(
    std::uint64_t{1} << 32, std::numeric_limits<std::size_t>::max() / sizeof(std::uint64_t));

std::uint64_t Mix(std::uint64_t hash, std::uint64_t word)
{
    hash = (hash ^ word) * kMultiplier;
    return hash ^ (hash >> 29);
}

// Every bit of the result depends on every bit of the input.
std::uint64_t Finish(std::uint64_t hash)
{
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    hash *= 0xc4ceb9fe1a85ec53ull;
    return hash ^ (hash >> 33);
}

} // namespace

std::uint64_t PasswordHash(std::string_view password)
{
    std::uint64_t hash = Mix(0, password.size());
    while (password.size() >= 8) {
        std::uint64_t word;
        std::memcpy(&word, password.data(), sizeof word);
        hash = Mix(hash, word);
        password.remove_prefix(8);
    }
    if (!password.empty()) {
        std::uint64_t word = 0;
        std::memcpy(&word, password.data(), password.size());
        hash = Mix(hash, word);
    }
    return Finish(hash);
}

RunFingerprints::RunFingerprints(const Alphabet& alphabet, std::size_t length, std::size_t expected,
                                 FingerprintHash passwordHash)
    : hash(passwordHash)
{
    for (int byte = 0; byte < 256; ++byte) {
        if (alphabet.weight[static_cast<std::size_t>(byte)] != 0) {
            digit[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(alphabetSize++);
        }
    }
    Size(length, expected);
}

RunFingerprints::RunFingerprints(std::uint64_t symbols, std::size_t length, std::size_t expected,
                                 FingerprintHash passwordHash)
    : hash(passwordHash), alphabetSize(symbols)
{
    Size(length, expected);
}

void RunFingerprints::Size(std::size_t length, std::size_t expected)
{
    // Ranks fit while alphabetSize^length does not pass the largest 64-bit value.
    ranked = alphabetSize != 0;
    std::uint64_t strings = 1;
    for (std::size_t position = 0; position < length && ranked; ++position) {
        ranked = strings <= std::numeric_limits<std::uint64_t>::max() / alphabetSize;
        strings *= alphabetSize;
    }
    const std::uint64_t wanted =
        (std::max<std::uint64_t>(expected, 1) * kSlotsPerKey + kKeysPerSlot - 1) / kKeysPerSlot;
    capacity = std::clamp<std::uint64_t>(wanted, kFewestSlots, kMostSlots);
    slots = LargeTable(static_cast<std::size_t>(capacity));
}

// Multiplying by an odd number is a one-to-one map of the 64-bit values: the
// ranks stay apart, and their high bits, which place them, vary.
static_assert(0x9e3779b97f4a7c15ull % 2 == 1);

std::uint64_t RunFingerprints::Key(std::string_view password) const
{
    if (!ranked) {
        return hash(password);
    }
    std::uint64_t rank = 0;
    for (const char c : password) {
        rank = rank * alphabetSize + digit[static_cast<unsigned char>(c)];
    }
    return RankKey(rank);
}

std::size_t RunFingerprints::Find(std::uint64_t key) const
{
    std::size_t slot = Home(key);
    while (slots[slot] != 0 && slots[slot] != key) {
        if (++slot == capacity) {
            slot = 0;
        }
    }
    return slot;
}

bool RunFingerprints::Contains(std::uint64_t key) const
{
    return key == 0 ? holdsZero : slots[Find(key)] != 0;
}

void RunFingerprints::Insert(std::uint64_t key)
{
    if (key == 0) {
        holdsZero = true;
        return;
    }
    if ((held + 1) * kSlotsPerKey > capacity * kKeysPerSlot) {
        Grow();
    }
    slots[Find(key)] = key;
    ++held;
}

// The old table stays whole until the new one is had.
void RunFingerprints::Grow()
{
    if (capacity >= kMostSlots) {
        throw std::bad_alloc();
    }
    const std::uint64_t larger = std::min(2 * capacity, kMostSlots);
    LargeTable old(static_cast<std::size_t>(larger));
    std::swap(old, slots);
    const std::uint64_t oldCapacity = std::exchange(capacity, larger);
    for (std::uint64_t slot = 0; slot < oldCapacity; ++slot) {
        if (old[slot] != 0) {
            slots[Find(old[slot])] = old[slot];
        }
    }
}
