#include "batch/word_table.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <stdexcept>

namespace {

// Blocks start small, so that a short list costs little beyond its buckets,
// and grow to a size where the slack of the last block is noise.
constexpr std::size_t kFirstBlockSize = std::size_t{64} << 10;
constexpr std::size_t kLargestBlockSize = std::size_t{1} << 20;

} // namespace

std::uint32_t WordHash(std::string_view word)
{
    std::uint32_t hash = 0;
    for (char byte : word) {
        hash = hash * 65599u + static_cast<std::uint32_t>(static_cast<signed char>(byte));
    }
    return hash;
}

// The bucket heads come zeroed from calloc: a large block arrives as fresh
// pages that are never written until a bucket is used, so a short list or a
// missing file costs no pass over 2.4 MB. All-zero bytes are a null pointer on
// every platform the program is built for.
WordTable::WordTable()
    : heads(static_cast<const unsigned char**>(
          std::calloc(WordTableBuckets, sizeof(const unsigned char*)))),
      nextBlockSize(kFirstBlockSize),
      allocatedBytes(WordTableBuckets * sizeof(const unsigned char*))
{
    if (!heads) {
        throw std::bad_alloc();
    }
}

void WordTable::FreeMemory::operator()(const unsigned char** memory) const
{
    std::free(memory);
}

WordTable::~WordTable() = default;

unsigned char* WordTable::Allocate(std::size_t size)
{
    if (blocks.empty() || blocks.back().size - blocks.back().used < size) {
        const std::size_t blockSize = std::max(nextBlockSize, size);
        blocks.push_back(
            {std::unique_ptr<unsigned char[]>(new unsigned char[blockSize]), blockSize, 0});
        allocatedBytes += blockSize;
        nextBlockSize = std::min(nextBlockSize * 2, kLargestBlockSize);
    }
    Block& block = blocks.back();
    unsigned char* memory = block.memory.get() + block.used;
    block.used += size;
    return memory;
}

void WordTable::Insert(std::string_view word)
{
    if (word.size() > kMaxWordLength) {
        throw std::length_error("WordTable: word too long");
    }
    unsigned char* entry = Allocate(kHeaderSize + word.size());
    // A new entry goes to the front of its chain. Appending would need a tail
    // per bucket and a write into the previous tail, a second cache miss per
    // word; the order inside a bucket is never observed.
    const unsigned char*& head = heads[BucketOf(word)];
    const auto length = static_cast<std::uint16_t>(word.size());
    std::memcpy(entry, &head, kLinkSize);
    std::memcpy(entry + kLinkSize, &length, sizeof length);
    if (!word.empty()) {
        std::memcpy(entry + kHeaderSize, word.data(), word.size());
    }
    head = entry;
    ++entryCount;
}

bool WordTable::Contains(std::string_view word) const
{
    if (entryCount == 0) {
        return false;
    }
    for (const unsigned char* entry = heads[BucketOf(word)]; entry; entry = NextOf(entry)) {
        const std::string_view stored = WordOf(entry);
        if (stored.size() == word.size() &&
            (word.empty() || std::memcmp(stored.data(), word.data(), word.size()) == 0)) {
            return true;
        }
    }
    return false;
}
