#include "engine/phonetics.h"

namespace {

constexpr std::string_view kLetterWords[26] = {
    "air", "bit", "cup", "dog",  "era", "fly", "gun", "hat",  "ink", "jug", "key",  "leg", "man",
    "net", "orb", "pen", "quiz", "rat", "sea", "tia", "unit", "vow", "war", "xmas", "yap", "zen"};

constexpr std::string_view kDigitWords[10] = {"zero", "one", "two",   "three", "four",
                                              "five", "six", "seven", "eight", "nine"};

constexpr std::string_view kSeparator = " - ";

void AppendUpper(std::string& out, std::string_view word)
{
    for (const char c : word) {
        out += static_cast<char>(c - 'a' + 'A');
    }
}

} // namespace

std::string PhoneticSpelling(std::string_view password)
{
    std::string spelling;
    spelling.reserve(password.size() * 8);
    for (const char c : password) {
        std::string_view word;
        bool capital = false;
        if (c >= '0' && c <= '9') {
            word = kDigitWords[c - '0'];
        } else if (c >= 'a' && c <= 'z') {
            word = kLetterWords[c - 'a'];
        } else if (c >= 'A' && c <= 'Z') {
            word = kLetterWords[c - 'A'];
            capital = true;
        } else {
            // The engine never makes other characters; should one reach us, it
            // stands for itself rather than vanishing from the spelling.
            word = std::string_view(&c, 1);
        }
        if (!spelling.empty()) {
            spelling += kSeparator;
        }
        if (capital) {
            AppendUpper(spelling, word);
        } else {
            spelling += word;
        }
    }
    return spelling;
}
