#include "cli/spelling.h"

#include <array>

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

// Every byte's word: the Windows program's own for letters and digits,
// taken from its spelling so the two never differ, a name for a symbol, and
// any other byte itself.
class Words {
public:
    Words()
    {
        for (int byte = 1; byte < 0x80; ++byte) {
            words[static_cast<std::size_t>(byte)] =
                PhoneticSpelling(std::string(1, static_cast<char>(byte)));
        }
        for (const SymbolName& symbol : kSymbolNames) {
            words[static_cast<unsigned char>(symbol.symbol)] = symbol.name;
        }
    }

    std::string_view Of(unsigned char byte) const { return words[byte]; }

private:
    std::array<std::string, 0x80> words;
};

const Words& TheWords()
{
    static const Words words;
    return words;
}

} // namespace

void AppendSpelling(std::string& out, std::string_view password)
{
    const Words& words = TheWords();
    for (std::size_t at = 0; at < password.size();) {
        out.append(at == 0 ? std::string_view() : kBreak);
        const auto byte = static_cast<unsigned char>(password[at]);
        if (byte < 0x80) {
            out.append(words.Of(byte));
            ++at;
            continue;
        }
        // A whole character beyond ASCII, never cut into bytes.
        const std::size_t length = FirstSequence(password.substr(at)).length;
        out.append(password.substr(at, length));
        at += length;
    }
}

std::string Spelling(std::string_view password)
{
    std::string out;
    AppendSpelling(out, password);
    return out;
}
