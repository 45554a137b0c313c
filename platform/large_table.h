#pragma once

#include <cstddef>
#include <cstdint>

// Zeroed 64-bit slots for a large table that is read at random (a word
// list's index, a run's password keys). Where the system offers it, a large
// table is backed by large pages: each random read then needs a translation
// of its address that the processor nearly always has at hand, where small
// pages would cost a walk of the page tables on most reads. Memory comes
// from the system as the slots are first written.
class LargeTable {
public:
    LargeTable() = default;
    // Throws std::bad_alloc when the memory cannot be had.
    explicit LargeTable(std::size_t slotCount);
    ~LargeTable();
    LargeTable(LargeTable&& other) noexcept;
    LargeTable& operator=(LargeTable&& other) noexcept;
    LargeTable(const LargeTable&) = delete;
    LargeTable& operator=(const LargeTable&) = delete;

    std::uint64_t* Slots() const { return slots; }
    std::uint64_t& operator[](std::size_t index) const { return slots[index]; }
    explicit operator bool() const { return slots != nullptr; }

private:
    void Release();

    std::uint64_t* slots = nullptr;
    void* mapping = nullptr; // what the system handed out; null for small tables
    std::size_t mappingBytes = 0;
};
