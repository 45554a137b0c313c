#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

// Fixed for every table, whatever it holds: the table never grows or rehashes.
inline constexpr std::uint32_t WordTableBuckets = 300000;

// h = h * 65599 + b over the bytes, each taken as a signed char, wrapping at 32 bits.
std::uint32_t WordHash(std::string_view word);

// A multiset of byte strings in chained buckets. Words are compared exactly
// (length and bytes, case kept). Entries live packed in large blocks, each one
// a next link, a 16-bit length and the bytes, so a word costs ten bytes beyond
// its own in a 64-bit build: a dictionary of millions of words stays small and
// loads without one allocation per word.
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

    bool Contains(std::string_view word) const;

    std::int64_t EntryCount() const { return entryCount; }

    // The buckets and every block, unused block space included.
    std::size_t AllocatedBytes() const { return allocatedBytes; }

    // Calls visit(std::string_view) once per entry, in the order they were
    // stored; walks the storage, not the buckets.
    template <class Visitor>
    void ForEachWord(Visitor&& visit) const
    {
        for (const Block& block : blocks) {
            const unsigned char* entry = block.memory.get();
            const unsigned char* const end = entry + block.used;
            while (entry != end) {
                const std::string_view word = WordOf(entry);
                visit(word);
                entry += kHeaderSize + word.size();
            }
        }
    }

private:
    static constexpr std::size_t kLinkSize = sizeof(const unsigned char*);
    static constexpr std::size_t kHeaderSize = kLinkSize + sizeof(std::uint16_t);

    struct FreeMemory {
        void operator()(const unsigned char** memory) const;
    };

    struct Block {
        std::unique_ptr<unsigned char[]> memory;
        std::size_t size;
        std::size_t used;
    };

    // Entries are packed without padding, so their fields are read by memcpy.
    static const unsigned char* NextOf(const unsigned char* entry)
    {
        const unsigned char* next;
        std::memcpy(&next, entry, kLinkSize);
        return next;
    }
    static std::string_view WordOf(const unsigned char* entry)
    {
        std::uint16_t length;
        std::memcpy(&length, entry + kLinkSize, sizeof length);
        return {reinterpret_cast<const char*>(entry + kHeaderSize), length};
    }

    unsigned char* Allocate(std::size_t size);

    std::unique_ptr<const unsigned char*[], FreeMemory> heads;
    std::vector<Block> blocks;
    std::size_t nextBlockSize;
    std::size_t allocatedBytes;
    std::int64_t entryCount = 0;
};
