#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/draw_rule.h"
#include "engine/password_options.h"
#include "engine/prefetch.h"
#include "platform/large_table.h"

// A 64-bit hash of a password's bytes.
using FingerprintHash = std::uint64_t (*)(std::string_view password);

// The hash a run keys its passwords by where their ranks do not fit.
std::uint64_t PasswordHash(std::string_view password);

// The passwords of one run of the command line, each kept as a 64-bit key in
// one open-addressed table sized once for the run: eight bytes a password,
// whatever its length, so a million fit in 11 MB and ten million in 107 MB.
//
// Where the options' alphabet to the power of their length fits in 64 bits,
// a password's key is its rank among the strings of that length over that
// alphabet: two different passwords never share a key, so a run that has to
// find the very last password of a small space finds it. Beyond, the key is a
// 64-bit hash: two different passwords share one with a chance of about
// n * n / 2^65 in a run of n (below 3 in a million for ten million), and the
// later of the two is then taken for made already and drawn again. A
// collision costs one redraw, never a repeated password; and those spaces
// hold more than 2^64 passwords, so no run, nor any word list, comes near
// exhausting them, and the redraw finds a new password.
class RunFingerprints {
public:
    // Passwords of length characters of the alphabet; expected: how many
    // passwords the run will keep (the table grows past it).
    RunFingerprints(const Alphabet& alphabet, std::size_t length, std::size_t expected,
                    FingerprintHash hash = PasswordHash);
    // Passwords of length symbols of any kind (a passphrase's words), each
    // one of symbols: ranked by the caller (RankKey) where Ranked().
    RunFingerprints(std::uint64_t symbols, std::size_t length, std::size_t expected,
                    FingerprintHash hash = PasswordHash);

    std::uint64_t Key(std::string_view password) const;

    bool Ranked() const { return ranked; }
    // The key of a password's rank among the strings of its symbols.
    static std::uint64_t RankKey(std::uint64_t rank) { return rank * kRankMultiplier; }

    // Starts reading the key's place, for a Contains or Insert soon after.
    void Prefetch(std::uint64_t key) const { PrefetchForRead(&slots[Home(key)]); }

    bool Contains(std::uint64_t key) const;
    // Keeps a key that Contains does not know yet.
    void Insert(std::uint64_t key);

private:
    static constexpr std::uint64_t kRankMultiplier = 0x9e3779b97f4a7c15ull;

    void Size(std::size_t length, std::size_t expected);

    // Where a key's search starts: its high bits scaled to the table, so the
    // capacity need not be a power of two.
    std::size_t Home(std::uint64_t key) const
    {
        return static_cast<std::size_t>(((key >> 32) * capacity) >> 32);
    }
    // The slot that holds the key, or the empty slot where it belongs.
    std::size_t Find(std::uint64_t key) const;
    void Grow();

    FingerprintHash hash;
    bool ranked = false;
    std::uint64_t alphabetSize = 0;
    std::array<std::uint8_t, 256> digit{}; // a character's place in the alphabet

    // Zero marks an empty slot; the key zero is kept apart.
    LargeTable slots;
    std::uint64_t capacity = 0;
    std::size_t held = 0;
    bool holdsZero = false;
};
