#include <cstdlib>
#include <new>
#include <utility>

#include "platform/large_table.h"

// Large pages on Windows need a privilege that a user rarely holds; the
// heap's large blocks come as fresh zeroed pages, committed as written.
LargeTable::LargeTable(std::size_t slotCount)
    : slots(static_cast<std::uint64_t*>(
          std::calloc(slotCount > 0 ? slotCount : 1, sizeof(std::uint64_t))))
{
    if (!slots) {
        throw std::bad_alloc();
    }
}

LargeTable::~LargeTable()
{
    Release();
}

LargeTable::LargeTable(LargeTable&& other) noexcept : slots(std::exchange(other.slots, nullptr)) {}

LargeTable& LargeTable::operator=(LargeTable&& other) noexcept
{
    if (this != &other) {
        Release();
        slots = std::exchange(other.slots, nullptr);
    }
    return *this;
}

void LargeTable::Release()
{
    std::free(slots);
    slots = nullptr;
}
