#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/prefetch.h"
#include "platform/large_table.h"

// The dialog's word list once lived in 300000 chained buckets by this hash;
// lookups answer the same in any table, and the rule stays as it was.
inline constexpr std::uint32_t WordTableBuckets = 300000;

// h = h * 65599 + b over the bytes, each taken as a signed char, wrapping at 32 bits.
std::uint32_t WordHash(std::string_view word);

// A multiset of byte strings. Words are compared exactly (length and bytes,
// case kept). Entries live packed in blocks of 2 MiB, each a 16-bit length
// and the bytes, kept at even offsets; an open-addressed index of 64-bit
// slots finds them, each slot holding a word's hash and where its entry is,
// at most three slots in four used. A lookup reads one slot (and only where
// the hashes agree, the entry): ten million words are found as fast as ten
// thousand.
//
// Insert indexes each word as it comes, growing the index. A load of many
// words appends them instead and settles once: the index is then built in
// one pass, sized for every word, its entries sorted by their homes so that
// it is written front to back, never at random.
class WordTable {
public:
    static constexpr std::size_t kMaxWordLength = 0xFFFF;

    WordTable();
    virtual ~WordTable();
    WordTable(const WordTable&) = delete;
    WordTable& operator=(const WordTable&) = delete;

    static std::uint32_t BucketOf(std::string_view word)
    {
        return WordHash(word) % WordTableBuckets;
    }

    // Stores the word even when an equal one is already there; each copy counts.
    // Throws std::length_error above kMaxWordLength bytes, std::bad_alloc when
    // memory runs out; the table is unchanged by a throw.
    void Insert(std::string_view word);

    // Stores the word as Insert does, but Contains finds it only after the
    // next Settle.
    void Append(std::string_view word);

    // Room in the storage for a word of up to length bytes, written there by
    // the caller and then kept by AppendWritten; a word read and changed on
    // its way in is copied once. Throws as Insert does.
    char* SpaceFor(std::size_t length);
    // Appends, as Append does, the first length bytes written at SpaceFor's
    // answer (at most the length asked for there).
    void AppendWritten(std::size_t length);

    // Indexes every word stored; from then on Contains finds the appended
    // words too. Throws std::bad_alloc when the index does not fit, and the
    // table then stays as it was.
    void Settle();

    bool Contains(std::string_view word) const;

    // Starts reading the slot where Contains will look for the word.
    void Prefetch(std::string_view word) const
    {
        if (slots) {
            PrefetchForRead(&slots[Home(WordHash(word))]);
        }
    }

    std::int64_t EntryCount() const { return entryCount; }

    // The index and every block, unused block space included.
    std::size_t AllocatedBytes() const
    {
        std::size_t bytes = capacity * sizeof(std::uint64_t);
        for (const Block& block : blocks) {
            bytes += block.size;
        }
        return bytes;
    }

    // Calls visit(std::string_view) once per entry, in the order they were
    // stored; walks the storage, not the index.
    template <class Visitor>
    void ForEachWord(Visitor&& visit) const
    {
        for (const Block& block : blocks) {
            const unsigned char* entry = block.Bytes();
            const unsigned char* const end = entry + block.used;
            while (entry != end) {
                const std::string_view word = WordOf(entry);
                visit(word);
                entry += EntrySize(word.size());
            }
        }
    }

private:
    static constexpr std::size_t kBlockShift = 21;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockShift;
    static constexpr std::size_t kLengthSize = sizeof(std::uint16_t);

    // A block takes kBlockSize of the places whatever its size: the first
    // ones are smaller, so a short list costs little.
    struct Block {
        std::unique_ptr<unsigned char[]> memory;
        std::size_t size;
        std::size_t used;
        unsigned char* Bytes() const { return memory.get(); }
    };

    // Entries start at even offsets, so a 32-bit place reaches 8 GiB.
    static std::size_t EntrySize(std::size_t length)
    {
        return (kLengthSize + length + 1) & ~std::size_t{1};
    }
    static std::string_view WordOf(const unsigned char* entry)
    {
        std::uint16_t length;
        std::memcpy(&length, entry, sizeof length);
        return {reinterpret_cast<const char*>(entry + kLengthSize), length};
    }
    const unsigned char* EntryAt(std::uint32_t place) const
    {
        const std::size_t offset = std::size_t{place - 1} * 2;
        return blocks[offset >> kBlockShift].Bytes() + (offset & (kBlockSize - 1));
    }
    // The hash's place in the index: its bits mixed upward, the top ones taken.
    static std::uint32_t Mixed(std::uint32_t hash) { return hash * 0x9E3779B1u; }
    std::size_t Home(std::uint32_t hash) const
    {
        return static_cast<std::size_t>(Mixed(hash) >> (32 - capacityBits));
    }
    std::size_t NextSlot(std::size_t slot) const { return (slot + 1) & (capacity - 1); }

    // Index entries: a word's hash in the upper half, its entry's place below.
    static std::uint64_t IndexEntry(std::uint32_t hash, std::uint32_t place)
    {
        return (std::uint64_t{hash} << 32) | place;
    }
    static std::uint32_t HashOf(std::uint64_t entry)
    {
        return static_cast<std::uint32_t>(entry >> 32);
    }
    std::string_view WordAt(std::uint64_t entry) const
    {
        return WordOf(EntryAt(static_cast<std::uint32_t>(entry)));
    }
    // The settling sorts entries by the top bits of their mixed hash, which
    // are those of their home in any index of at least that many slots.
    static constexpr int kSortBits = 12;
    static std::size_t SortKey(std::uint32_t hash) { return Mixed(hash) >> (32 - kSortBits); }
    // Within a group: sorted in counting passes of this many bits, or
    // compared when too few or too many to count well.
    static constexpr int kDigitBits = 10;
    static constexpr std::size_t kSmallGroup = 256;
    static constexpr std::size_t kLargeGroup = std::size_t{1} << 16;

    // The first slot holding the word, or the empty slot that ends the search.
    std::size_t Find(std::string_view word, std::uint32_t hash) const;
    // Puts an index entry in the first empty slot from its home on, unless a
    // slot on the way holds an equal word: a word listed again is kept for
    // the count and the walk, but indexed once.
    bool Place(std::uint64_t entry, std::size_t limit = SIZE_MAX);
    // Places the entries sorted in slots from top on, each word once.
    void PlaceSorted(std::size_t top);
    static void SortGroup(std::uint64_t* first, std::size_t count,
                          std::vector<std::uint64_t>& spare);
    // Copies the word into the last block, or a new one, and answers its place.
    std::uint32_t Store(std::string_view word);
    // Where the next entry goes, in the last block or a new one with room
    // for a word of length bytes; Keep(length) then makes it an entry.
    unsigned char* Room(std::size_t length);
    std::uint32_t Keep(std::size_t length);
    template <class Visitor>
    void ForEachEntry(Visitor&& visit) const;
    void Grow();

    std::vector<Block> blocks;
    LargeTable slots; // 0: empty
    std::size_t capacity = 0;
    int capacityBits = 0;
    std::size_t indexed = 0; // slots in use
    bool unsettled = false;  // words appended since the last Settle
    // How many stored words have each sort key, counted as they are stored.
    std::vector<std::uint32_t> sortCounts = std::vector<std::uint32_t>(std::size_t{1} << kSortBits);
    std::int64_t entryCount = 0;
};
