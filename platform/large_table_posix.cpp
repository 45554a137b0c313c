#include <sys/mman.h>

#include <cstdlib>
#include <new>
#include <utility>

#include "platform/large_table.h"

namespace {

// Tables smaller than this come from the heap: a large page would be wasted.
constexpr std::size_t kLargePage = std::size_t{2} << 20;

} // namespace

LargeTable::LargeTable(std::size_t slotCount)
{
    if (slotCount > SIZE_MAX / sizeof(std::uint64_t) - kLargePage) {
        throw std::bad_alloc();
    }
    const std::size_t bytes = slotCount * sizeof(std::uint64_t);
    if (bytes < kLargePage) {
        slots = static_cast<std::uint64_t*>(
            std::calloc(slotCount > 0 ? slotCount : 1, sizeof(std::uint64_t)));
        if (!slots) {
            throw std::bad_alloc();
        }
        return;
    }
    // One large page more than asked, so the slots can start on a boundary
    // of one; anonymous pages arrive zeroed.
    mappingBytes = bytes + kLargePage;
    mapping =
        mmap(nullptr, mappingBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) {
        mapping = nullptr;
        throw std::bad_alloc();
    }
    const auto address = reinterpret_cast<std::uintptr_t>(mapping);
    const std::uintptr_t aligned = (address + kLargePage - 1) & ~std::uintptr_t{kLargePage - 1};
    slots = reinterpret_cast<std::uint64_t*>(aligned);
#if defined(MADV_HUGEPAGE)
    // Only a hint: without large pages the table works the same, slower.
    madvise(slots, bytes, MADV_HUGEPAGE);
#endif
}

LargeTable::~LargeTable()
{
    Release();
}

LargeTable::LargeTable(LargeTable&& other) noexcept
    : slots(std::exchange(other.slots, nullptr)), mapping(std::exchange(other.mapping, nullptr)),
      mappingBytes(std::exchange(other.mappingBytes, 0))
{
}

LargeTable& LargeTable::operator=(LargeTable&& other) noexcept
{
    if (this != &other) {
        Release();
        slots = std::exchange(other.slots, nullptr);
        mapping = std::exchange(other.mapping, nullptr);
        mappingBytes = std::exchange(other.mappingBytes, 0);
    }
    return *this;
}

void LargeTable::Release()
{
    if (mapping) {
        munmap(mapping, mappingBytes);
    } else {
        std::free(slots);
    }
    slots = nullptr;
    mapping = nullptr;
    mappingBytes = 0;
}
