#include "engine/phonetics.h"

#include <array>
#include <cstring>

namespace {

constexpr std::string_view kLetterWords[26] = {
    "air", "bit", "cup", "dog",  "era", "fly", "gun", "hat",  "ink", "jug", "key",  "leg", "man",
    "net", "orb", "pen", "quiz", "rat", "sea", "tia", "unit", "vow", "war", "xmas", "yap", "zen"};

constexpr std::string_view kDigitWords[10] = {"zero", "one", "two",   "three", "four",
                                              "five", "six", "seven", "eight", "nine"};

constexpr std::string_view kSeparator = " - ";

// Every byte's word with the separator in front, in a slot of eight bytes
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
            for (std::size_t i = 0; i < kSeparator.size(); ++i) {
                slots[c][i] = kSeparator[i];
            }
            for (std::size_t i = 0; i < length; ++i) {
                slots[c][kSeparator.size() + i] = word[i];
            }
            lengths[c] = static_cast<std::uint8_t>(kSeparator.size() + length);
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

std::string PhoneticSpelling(std::string_view password)
{
    if (password.empty()) {
        return {};
    }
    std::size_t length = 0;
    for (const char c : password) {
        length += kWords.lengths[static_cast<unsigned char>(c)];
    }
    // Room for a whole slot past the end; the first separator is skipped.
    std::string spelling(length + WordSlots::kSlot, '\0');
    char* out = spelling.data();
    for (const char c : password) {
        const auto byte = static_cast<unsigned char>(c);
        std::memcpy(out, kWords.slots[byte].data(), WordSlots::kSlot);
        out += kWords.lengths[byte];
    }
    spelling.erase(0, kSeparator.size());
    spelling.resize(length - kSeparator.size());
    return spelling;
}
