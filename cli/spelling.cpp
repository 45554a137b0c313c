#include "cli/spelling.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/phonetics.h"
#include "engine/utf8.h"

namespace {

constexpr std::string_view kBreak = " - ";

// The names of printable ASCII punctuation, and of the space a separator of
// passphrases may hold, as a person reads them out.
struct SymbolName {
    char symbol;
    std::string_view name;
};

constexpr SymbolName kSymbolNames[] = {
    {' ', "space"},
    {'!', "exclamation mark"},
    {'"', "double quote"},
    {'#', "hash"},
    {'$', "dollar"},
    {'%', "percent"},
    {'&', "ampersand"},
    {'\'', "apostrophe"},
    {'(', "open parenthesis"},
    {')', "close parenthesis"},
    {'*', "asterisk"},
    {'+', "plus"},
    {',', "comma"},
    {'-', "hyphen"},
    {'.', "dot"},
    {'/', "slash"},
    {':', "colon"},
    {';', "semicolon"},
    {'<', "less-than sign"},
    {'=', "equals sign"},
    {'>', "greater-than sign"},
    {'?', "question mark"},
    {'@', "at sign"},
    {'[', "open bracket"},
    {'\\', "backslash"},
    {']', "close bracket"},
    {'^', "caret"},
    {'_', "underscore"},
    {'`', "backtick"},
    {'{', "open brace"},
    {'|', "vertical bar"},
    {'}', "close brace"},
    {'~', "tilde"},
};

// Every ASCII byte's word and the break after it, in a slot of its own: the
// Windows program's word for letters and digits, taken from its spelling so
// the two never differ, a name for a symbol, and any other byte itself.
class Words {
public:
    Words()
    {
        for (int byte = 1; byte < 0x80; ++byte) {
            Set(byte, PhoneticSpelling(std::string(1, static_cast<char>(byte))));
        }
        for (const SymbolName& symbol : kSymbolNames) {
            Set(static_cast<unsigned char>(symbol.symbol), symbol.name);
        }
    }

    const char* Slot(unsigned char byte) const { return slots[byte].data(); }
    std::size_t Length(unsigned char byte) const { return lengths[byte]; }

private:
    void Set(int byte, std::string_view word)
    {
        std::string slot = std::string(word) + std::string(kBreak);
        slot.resize(kSpellingSlot);
        std::copy(slot.begin(), slot.end(), slots[static_cast<std::size_t>(byte)].begin());
        lengths[static_cast<std::size_t>(byte)] = word.size() + kBreak.size();
    }

    std::array<std::array<char, kSpellingSlot>, 0x80> slots{};
    std::array<std::size_t, 0x80> lengths{};
};

const Words& TheWords()
{
    static const Words words;
    return words;
}

} // namespace

std::size_t CliSpellInto(std::string_view password, char* out)
{
    const Words& words = TheWords();
    std::size_t length = 0;
    for (std::size_t at = 0; at < password.size();) {
        const auto byte = static_cast<unsigned char>(password[at]);
        if (byte < 0x80) {
            std::memcpy(out + length, words.Slot(byte), kSpellingSlot);
            length += words.Length(byte);
            ++at;
            continue;
        }
        // A whole character beyond ASCII, never cut into bytes: its n bytes
        // and the break take less than their n slots.
        const std::size_t bytes = FirstSequence(password.substr(at)).length;
        std::memcpy(out + length, password.data() + at, bytes);
        std::memcpy(out + length + bytes, kBreak.data(), kBreak.size());
        length += bytes + kBreak.size();
        at += bytes;
    }
    return length == 0 ? 0 : length - kBreak.size(); // none after the last
}

std::string CliSpelling(std::string_view password)
{
    std::string spelling(CliSpellingRoom(password.size()), '\0');
    spelling.resize(CliSpellInto(password, spelling.data()));
    return spelling;
}
