#include "batch/word_table.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

constexpr int kFirstCapacityBits = 10;
constexpr int kMostCapacityBits = 32;

// The first block of words; each next one twice the last, up to kBlockSize.
constexpr std::size_t kFirstBlockSize = std::size_t{64} << 10;

// Entries whose stored words are fetched this far ahead of their placing.
constexpr std::size_t kAhead = 64;

} // namespace

namespace {

std::uint32_t Signed(char byte)
{
    return static_cast<std::uint32_t>(static_cast<signed char>(byte));
}

constexpr std::uint32_t kFactor = 65599u;
constexpr std::uint32_t kFactor2 = kFactor * kFactor;
constexpr std::uint32_t kFactor3 = kFactor2 * kFactor;
constexpr std::uint32_t kFactor4 = kFactor3 * kFactor;

} // namespace

// Four bytes a step, h * 65599^4 + b0 * 65599^3 + ... + b3: the same sums
// modulo 2^32 as a byte a step, with four multiplications that do not wait
// for one another.
std::uint32_t WordHash(std::string_view word)
{
    std::uint32_t hash = 0;
    std::size_t i = 0;
    for (; i + 4 <= word.size(); i += 4) {
        hash = hash * kFactor4 + Signed(word[i]) * kFactor3 + Signed(word[i + 1]) * kFactor2 +
               Signed(word[i + 2]) * kFactor + Signed(word[i + 3]);
    }
    for (; i < word.size(); ++i) {
        hash = hash * kFactor + Signed(word[i]);
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
        if (entry == 0 || (HashOf(entry) == hash && WordAt(entry) == word)) {
            return slot;
        }
    }
}

bool WordTable::Contains(std::string_view word) const
{
    return indexed != 0 && slots[Find(word, WordHash(word))] != 0;
}

// Compares words only where the hashes agree: the word of the entry being
// placed is read only then, as it may lie anywhere in the blocks. False, and
// nothing placed, when the search reaches a slot from limit on.
bool WordTable::Place(std::uint64_t entry, std::size_t limit)
{
    const std::uint32_t hash = HashOf(entry);
    for (std::size_t slot = Home(hash);; slot = NextSlot(slot)) {
        if (slot >= limit) {
            return false;
        }
        const std::uint64_t held = slots[slot];
        if (held == 0) {
            slots[slot] = entry;
            ++indexed;
            return true;
        }
        if (HashOf(held) == hash && WordAt(held) == WordAt(entry)) {
            return true;
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
    indexed = 0;
    for (std::size_t slot = 0; slot < oldCapacity; ++slot) {
        if (const std::uint64_t entry = old[slot]; entry != 0) {
            Place(entry);
        }
    }
}

unsigned char* WordTable::Room(std::size_t length)
{
    if (length > kMaxWordLength) {
        throw std::length_error("WordTable: word too long");
    }
    const std::size_t size = EntrySize(length);
    if (blocks.empty() || blocks.back().size - blocks.back().used < size) {
        // Places are 32 bits of even offsets.
        if ((blocks.size() + 1) * kBlockSize / 2 >= std::size_t{0xFFFFFFFF}) {
            throw std::bad_alloc();
        }
        const std::size_t blockSize = std::max(
            size, blocks.empty() ? kFirstBlockSize : std::min(2 * blocks.back().size, kBlockSize));
        // Plain memory: large pages here would cost the system a search for
        // free ones at every block, for words that are read only now and then.
        blocks.push_back(
            {std::unique_ptr<unsigned char[]>(new unsigned char[blockSize]), blockSize, 0});
    }
    return blocks.back().Bytes() + blocks.back().used;
}

std::uint32_t WordTable::Keep(std::size_t length)
{
    Block& block = blocks.back();
    const auto stored = static_cast<std::uint16_t>(length);
    std::memcpy(block.Bytes() + block.used, &stored, sizeof stored);
    const std::size_t offset = (blocks.size() - 1) * kBlockSize + block.used;
    block.used += EntrySize(length);
    ++entryCount;
    return static_cast<std::uint32_t>(offset / 2 + 1);
}

std::uint32_t WordTable::Store(std::string_view word)
{
    unsigned char* const entry = Room(word.size());
    if (!word.empty()) {
        std::memcpy(entry + kLengthSize, word.data(), word.size());
    }
    return Keep(word.size());
}

char* WordTable::SpaceFor(std::size_t length)
{
    return reinterpret_cast<char*>(Room(length) + kLengthSize);
}

void WordTable::AppendWritten(std::size_t length)
{
    const Block& block = blocks.back();
    const auto* const word =
        reinterpret_cast<const char*>(block.Bytes() + block.used + kLengthSize);
    ++sortCounts[SortKey(WordHash(std::string_view(word, length)))];
    Keep(length);
    unsettled = true;
}

void WordTable::Append(std::string_view word)
{
    const std::uint32_t hash = WordHash(word);
    Store(word);
    ++sortCounts[SortKey(hash)];
    unsettled = true;
}

void WordTable::Insert(std::string_view word)
{
    if (4 * (indexed + 1) > 3 * capacity) {
        Grow();
    }
    const std::uint32_t hash = WordHash(word);
    const std::uint32_t place = Store(word);
    ++sortCounts[SortKey(hash)];
    Place(IndexEntry(hash, place));
}

// Calls visit(entry) for each stored word's index entry, in the order stored.
template <class Visitor>
void WordTable::ForEachEntry(Visitor&& visit) const
{
    for (std::size_t block = 0; block < blocks.size(); ++block) {
        const unsigned char* const first = blocks[block].Bytes();
        for (std::size_t at = 0; at < blocks[block].used;) {
            const std::string_view word = WordOf(first + at);
            const std::size_t offset = block * kBlockSize + at;
            visit(IndexEntry(WordHash(word), static_cast<std::uint32_t>(offset / 2 + 1)));
            at += EntrySize(word.size());
        }
    }
}

// Orders a group's entries by their mixed hash: by home in any index, and
// with equal hashes side by side. The group's entries share the top
// kSortBits bits; two counting passes of ten bits sort the rest of a group
// of the usual size, in a spare buffer that stays in the cache.
void WordTable::SortGroup(std::uint64_t* first, std::size_t count,
                          std::vector<std::uint64_t>& spare)
{
    const auto byMixedHash = [](std::uint64_t a, std::uint64_t b) {
        return Mixed(HashOf(a)) < Mixed(HashOf(b));
    };
    if (count <= kSmallGroup || count > kLargeGroup) {
        std::sort(first, first + count, byMixedHash);
        return;
    }
    spare.resize(std::max(spare.size(), count));
    std::uint64_t* from = first;
    std::uint64_t* to = spare.data();
    for (int shift = 0; shift < 32 - kSortBits; shift += kDigitBits) {
        std::uint32_t starts[std::size_t{1} << kDigitBits] = {};
        const auto digit = [shift](std::uint64_t entry) {
            return (Mixed(HashOf(entry)) >> shift) & ((1u << kDigitBits) - 1);
        };
        for (std::size_t i = 0; i < count; ++i) {
            ++starts[digit(from[i])];
        }
        std::uint32_t sum = 0;
        for (std::uint32_t& start : starts) {
            sum += std::exchange(start, sum);
        }
        for (std::size_t i = 0; i < count; ++i) {
            to[starts[digit(from[i])]++] = from[i];
        }
        std::swap(from, to);
    }
    if (from != first) {
        std::copy(from, from + count, first);
    }
}

// The sorted entries wait in the top of the new index itself, so settling
// needs no memory beyond the index: at most three slots in four are ever
// used, and the entries are placed from the bottom up while they are read
// from below the top. Each slot read is emptied; should a placing ever reach
// the entries not yet read (a long run of equal homes near the end), those
// few move aside first.
//
// In the order of their homes, each entry simply takes the slot after the
// last one placed, or its home when that lies further on: the index is
// written front to back. A word listed again has the hash of its first copy
// and comes right after it, so it is compared only with the run of its own
// hash, whose words were read just before; its own word is fetched ahead.
void WordTable::Settle()
{
    if (!unsettled) {
        return;
    }
    const auto words = static_cast<std::size_t>(entryCount);
    int bits = kFirstCapacityBits;
    while ((std::size_t{3} << bits) < 4 * words) {
        ++bits;
    }
    if (bits > kMostCapacityBits) {
        throw std::bad_alloc();
    }
    LargeTable fresh(std::size_t{1} << bits);
    const std::size_t top = (std::size_t{1} << bits) - words;
    std::vector<std::size_t> next(sortCounts.size());
    next[0] = top;
    for (std::size_t key = 1; key < next.size(); ++key) {
        next[key] = next[key - 1] + sortCounts[key - 1];
    }
    ForEachEntry([&](std::uint64_t entry) { fresh[next[SortKey(HashOf(entry))]++] = entry; });
    std::vector<std::uint64_t> spare;
    for (std::size_t key = 0, start = top; key < next.size(); start = next[key++]) {
        SortGroup(&fresh[start], next[key] - start, spare);
    }
    spare = {};
    std::swap(slots, fresh);
    capacity = std::size_t{1} << bits;
    capacityBits = bits;
    indexed = 0;
    unsettled = false;
    PlaceSorted(top);
}

void WordTable::PlaceSorted(std::size_t top)
{
    std::vector<std::uint64_t> aside;
    std::size_t unread = top; // the first slot still holding a sorted entry
    std::size_t cursor = 0;   // the slot after the last one placed in order
    std::size_t run = 0;      // the first slot of the last hash placed in order
    std::uint64_t previous = 0;
    const auto moveAside = [&] {
        aside.assign(&slots[unread], &slots[0] + capacity);
        std::fill(&slots[unread], &slots[0] + capacity, 0);
        unread = capacity;
    };
    for (std::size_t at = top; at < capacity; ++at) {
        if (const std::size_t ahead = at + kAhead;
            ahead < capacity && ahead - 1 >= unread &&
            HashOf(slots[ahead]) == HashOf(slots[ahead - 1])) {
            PrefetchForRead(EntryAt(static_cast<std::uint32_t>(slots[ahead])));
            PrefetchForRead(EntryAt(static_cast<std::uint32_t>(slots[ahead - 1])));
        }
        std::uint64_t entry;
        if (at >= unread) {
            entry = std::exchange(slots[at], 0);
            unread = at + 1;
        } else {
            entry = aside[at - (capacity - aside.size())];
        }
        const bool sameHash = at != top && HashOf(entry) == HashOf(previous);
        previous = entry;
        const std::size_t slot = std::max(Home(HashOf(entry)), cursor);
        if (slot >= capacity) {
            // The end is reached: the last few search from their homes and
            // wrap to the front, as any insertion does.
            if (!Place(entry, unread)) {
                moveAside();
                Place(entry, unread);
            }
            cursor = capacity;
            continue;
        }
        if (sameHash) {
            bool listed = false;
            for (std::size_t held = run; held < cursor && !listed; ++held) {
                listed = WordAt(slots[held]) == WordAt(entry);
            }
            if (listed) {
                continue;
            }
        } else {
            run = slot;
        }
        if (slot >= unread) {
            moveAside();
        }
        slots[slot] = entry;
        ++indexed;
        cursor = slot + 1;
    }
}
