#pragma once

#include <array>
#include <cstdint>

// How many characters before a new one it must differ from when a password
// may not repeat a character within five positions.
inline constexpr int DuplicateLookBack = 5;

// ASCII case folding: capitals become small letters, every other byte stays.
constexpr unsigned char FoldCase(char c)
{
    const auto value = static_cast<unsigned char>(c);
    return value >= 'A' && value <= 'Z' ? static_cast<unsigned char>(value - 'A' + 'a') : value;
}

// The five-position rule's window, and the one place it is written: the last
// DuplicateLookBack characters folded, one byte each in the low five bytes of
// a word, the newest lowest. Empty places hold the zero byte, which no
// character of a draw folds to. The draw tests each candidate against it; the
// information figure and the count of a word's variants follow a password
// through it; the walk over every password keeps one for each of its states,
// holding a class that stands for each of its kind.
class RecentCharacters {
public:
    // The rule takes the classes of the characters it holds out of the draw.
    static constexpr bool kTakesOut = true;

    void Push(char c) { PushFolded(FoldCase(c)); }
    void PushFolded(unsigned char folded) { places = ((places << 8) | folded) & kPlaces; }

    // Whether a place holds the folded candidate: the places that do become
    // zero bytes, found by the classic test for a zero byte in a word (exact
    // about whether there is one; borrows only run upwards, so the three
    // unused high bytes, zero as well, never count).
    bool Holds(unsigned char folded) const
    {
        const std::uint64_t difference = places ^ (kOnes * folded);
        return ((difference - kOnes) & ~difference & kHighBits) != 0;
    }

    // How many places hold the folded character.
    int Count(unsigned char folded) const
    {
        int count = 0;
        for (int place = 0; place < DuplicateLookBack; ++place) {
            count += ((places >> (8 * place)) & 0xFF) == folded ? 1 : 0;
        }
        return count;
    }

    // The folded character the next push moves out; the zero byte while a
    // place is still empty.
    unsigned char Leaving() const
    {
        return static_cast<unsigned char>(places >> (8 * (DuplicateLookBack - 1)));
    }

    // The window as a number, equal for equal windows.
    std::uint64_t Key() const { return places; }

private:
    static_assert(DuplicateLookBack == 5, "five places of a byte each");
    static constexpr std::uint64_t kOnes = 0x0101010101u;
    static constexpr std::uint64_t kHighBits = kOnes * 0x80;
    static constexpr std::uint64_t kPlaces = kOnes * 0xFF;

    std::uint64_t places = 0;
};

// The window of a rule that allows no repeat at all: every folded character
// so far. None ever leaves it.
class UsedCharacters {
public:
    static constexpr bool kTakesOut = true;

    void Push(char c) { PushFolded(FoldCase(c)); }
    void PushFolded(unsigned char folded)
    {
        bits[folded >> 6] |= std::uint64_t{1} << (folded & 63);
    }
    bool Holds(unsigned char folded) const { return (bits[folded >> 6] >> (folded & 63) & 1) != 0; }
    unsigned char Leaving() const { return 0; }

private:
    std::array<std::uint64_t, 4> bits{};
};

// The window of a rule that allows every repeat: it holds nothing.
class NoCharacters {
public:
    static constexpr bool kTakesOut = false;

    void Push(char) {}
    bool Holds(unsigned char) const { return false; }
    unsigned char Leaving() const { return 0; }
};
