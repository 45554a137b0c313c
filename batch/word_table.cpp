#include "batch/word_table.h"

#include <new>
#include <stdexcept>
#include <utility>

namespace {

constexpr int kFirstCapacityBits = 10;
constexpr int kMostCapacityBits = 32;

} // namespace

std::uint32_t WordHash(std::string_view word)
{
    std::uint32_t hash = 0;
    for (char byte : word) {
        hash = hash * 65599u + static_cast<std::uint32_t>(static_cast<signed char>(byte));
    }
    return hash;
}

// No storage until the first word: a missing file or an empty list costs
// nothing.
WordTable::WordTable() = default;

WordTable::~WordTable() = default;

std::size_t WordTable::Find(std::string_view word, std::uint32_t hash) const
{
    for (std::size_t slot = Home(hash);; slot = NextSlot(slot)) {
        const std::uint64_t entry = slots[slot];
        if (entry == 0) {
            return slot;
        }
        if (static_cast<std::uint32_t>(entry >> 32) == hash &&
            WordOf(EntryAt(static_cast<std::uint32_t>(entry))) == word) {
            return slot;
        }
    }
}

bool WordTable::Contains(std::string_view word) const
{
    if (entryCount == 0) {
        return false;
    }
    const std::uint32_t hash = WordHash(word);
    if (capacity != 0 && slots[Find(word, hash)] != 0) {
        return true;
    }
    for (std::size_t i = 0; i < waitingCount; ++i) {
        const std::uint64_t entry = waiting[(waitingFirst + i) % kWaiting];
        if (static_cast<std::uint32_t>(entry >> 32) == hash &&
            WordOf(EntryAt(static_cast<std::uint32_t>(entry))) == word) {
            return true;
        }
    }
    return false;
}

void WordTable::Settle()
{
    while (waitingCount != 0) {
        IndexOldest();
    }
}

void WordTable::Place(std::uint64_t entry)
{
    std::size_t slot = Home(static_cast<std::uint32_t>(entry >> 32));
    while (slots[slot] != 0) {
        slot = NextSlot(slot);
    }
    slots[slot] = entry;
}

// A word listed again is stored for the count and the walk but not indexed
// again: the copies would lengthen every search that passes their slots.
void WordTable::IndexOldest()
{
    if (4 * (indexed + 1) > 3 * capacity) {
        Grow();
    }
    const std::uint64_t entry = waiting[waitingFirst];
    const std::size_t slot = Find(WordOf(EntryAt(static_cast<std::uint32_t>(entry))),
                                  static_cast<std::uint32_t>(entry >> 32));
    if (slots[slot] == 0) {
        slots[slot] = entry;
        ++indexed;
    }
    waitingFirst = (waitingFirst + 1) % kWaiting;
    --waitingCount;
}

// Halfway through its wait a word's slots are in the cache; the stored words
// they name with its hash, which its indexing will compare it with, are
// fetched now.
void WordTable::FetchEqualHashes(std::uint64_t entry) const
{
    const auto hash = static_cast<std::uint32_t>(entry >> 32);
    for (std::size_t slot = Home(hash); slots[slot] != 0; slot = NextSlot(slot)) {
        if (static_cast<std::uint32_t>(slots[slot] >> 32) == hash) {
            PrefetchForRead(EntryAt(static_cast<std::uint32_t>(slots[slot])));
        }
    }
}

// The new index is complete before the old one goes, so a failed growth
// leaves the table as it was.
void WordTable::Grow()
{
    const int bits = capacity == 0 ? kFirstCapacityBits : capacityBits + 1;
    if (bits > kMostCapacityBits ||
        (std::size_t{1} << (bits - 1)) > SIZE_MAX / sizeof(std::uint64_t) / 2) {
        throw std::bad_alloc();
    }
    LargeTable old(std::size_t{1} << bits);
    std::swap(old, slots);
    const std::size_t oldCapacity = std::exchange(capacity, std::size_t{1} << bits);
    capacityBits = bits;
    for (std::size_t slot = 0; slot < oldCapacity; ++slot) {
        if (const std::uint64_t entry = old[slot]; entry != 0) {
            Place(entry);
        }
    }
}

std::uint32_t WordTable::Store(std::string_view word)
{
    const std::size_t size = EntrySize(word.size());
    if (blocks.empty() || kBlockSize - blocks.back().used < size) {
        // Places are 32 bits of even offsets.
        if ((blocks.size() + 1) * kBlockSize / 2 >= std::size_t{0xFFFFFFFF}) {
            throw std::bad_alloc();
        }
        blocks.push_back({std::unique_ptr<unsigned char[]>(new unsigned char[kBlockSize]), 0});
    }
    Block& block = blocks.back();
    unsigned char* const entry = block.memory.get() + block.used;
    const auto length = static_cast<std::uint16_t>(word.size());
    std::memcpy(entry, &length, sizeof length);
    if (!word.empty()) {
        std::memcpy(entry + kLengthSize, word.data(), word.size());
    }
    const std::size_t offset = (blocks.size() - 1) * kBlockSize + block.used;
    block.used += size;
    return static_cast<std::uint32_t>(offset / 2 + 1);
}

void WordTable::Insert(std::string_view word)
{
    if (word.size() > kMaxWordLength) {
        throw std::length_error("WordTable: word too long");
    }
    if (waitingCount == kWaiting) {
        IndexOldest();
    }
    const std::uint32_t place = Store(word);
    const std::uint32_t hash = WordHash(word);
    if (capacity != 0) {
        PrefetchForRead(&slots[Home(hash)]);
    }
    waiting[(waitingFirst + waitingCount) % kWaiting] = (std::uint64_t{hash} << 32) | place;
    ++waitingCount;
    ++entryCount;
    if (capacity != 0 && waitingCount > kWaiting / 2) {
        FetchEqualHashes(waiting[(waitingFirst + waitingCount - 1 - kWaiting / 2) % kWaiting]);
    }
}
