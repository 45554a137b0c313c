#include "engine/phonetics.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "engine/utf8.h"

namespace {

constexpr std::string_view kLetterWords[26] = {
    "air", "bit", "cup", "dog",  "era", "fly", "gun", "hat",  "ink", "jug", "key",  "leg", "man",
    "net", "orb", "pen", "quiz", "rat", "sea", "tia", "unit", "vow", "war", "xmas", "yap", "zen"};

constexpr std::string_view kDigitWords[10] = {"zero", "one", "two",   "three", "four",
                                              "five", "six", "seven", "eight", "nine"};

constexpr std::string_view kSeparator = " - ";

// Every byte's word with the separator after it, in a slot of eight bytes
// (the longest word has five letters), so that spelling a password copies a
// fixed eight bytes per character. A byte that is neither digit nor letter,
// which the engine never makes, stands for itself rather than vanishing.
struct WordSlots {
    static constexpr std::size_t kSlot = 8;

    std::array<std::array<char, kSlot>, 256> slots{};
    std::array<std::uint8_t, 256> lengths{};

    constexpr WordSlots()
    {
        for (int c = 0; c < 256; ++c) {
            char word[5] = {static_cast<char>(c)};
            std::size_t length = 1;
            if (c >= '0' && c <= '9') {
                length = Copy(kDigitWords[c - '0'], false, word);
            } else if (c >= 'a' && c <= 'z') {
                length = Copy(kLetterWords[c - 'a'], false, word);
            } else if (c >= 'A' && c <= 'Z') {
                length = Copy(kLetterWords[c - 'A'], true, word);
            }
            for (std::size_t i = 0; i < length; ++i) {
                slots[c][i] = word[i];
            }
            for (std::size_t i = 0; i < kSeparator.size(); ++i) {
                slots[c][length + i] = kSeparator[i];
            }
            lengths[c] = static_cast<std::uint8_t>(length + kSeparator.size());
        }
    }

    static constexpr std::size_t Copy(std::string_view word, bool capitals, char* out)
    {
        for (std::size_t i = 0; i < word.size(); ++i) {
            out[i] = capitals ? static_cast<char>(word[i] - 'a' + 'A') : word[i];
        }
        return word.size();
    }
};

constexpr WordSlots kWords;

} // namespace

std::size_t SpellInto(std::string_view password, char* out)
{
    if (password.empty()) {
        return 0;
    }
    std::size_t length = 0;
    for (std::size_t at = 0; at < password.size();) {
        const auto byte = static_cast<unsigned char>(password[at]);
        // A character beyond ASCII (a passphrase's word may hold one) stands
        // for itself whole, never cut into bytes; its n bytes and the
        // separator take less than their 8 * n bytes of room.
        if (byte >= 0x80) {
            if (const Utf8Sequence sequence = FirstSequence(password.substr(at));
                sequence.wellFormed) {
                std::memcpy(out + length, password.data() + at, sequence.length);
                std::memcpy(out + length + sequence.length, kSeparator.data(), kSeparator.size());
                length += sequence.length + kSeparator.size();
                at += sequence.length;
                continue;
            }
        }
        std::memcpy(out + length, kWords.slots[byte].data(), WordSlots::kSlot);
        length += kWords.lengths[byte];
        ++at;
    }
    return length - kSeparator.size(); // none after the last word
}

std::string PhoneticSpelling(std::string_view password)
{
    std::string spelling(SpellingRoom(password.size()), '\0');
    spelling.resize(SpellInto(password, spelling.data()));
    return spelling;
}
