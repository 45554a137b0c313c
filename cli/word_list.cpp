#include "cli/word_list.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "cli/built_in_words.h"
#include "cli/command_line.h"
#include "cli/input_file.h"
#include "engine/password_options.h"
#include "engine/password_set.h"
#include "engine/utf8.h"

namespace {

// More than twice the largest dictionary of a language in common use (about
// 7 MB, 650,000 words), and little enough that the distinct words and their
// index, some thirteen times the file at worst (short words), stay a small
// part of memory.
constexpr std::uint64_t kMostBytes = std::uint64_t{16} << 20;
constexpr const char* kTooLarge = "it is larger than 16 MiB, more than any word list";

// Hands each line of the file to take, without its line feed, read a block
// at a time: only the line under way is kept, and a file that grows past
// kMostBytes while it is read is refused. Answers why the file could not be
// read, what take answered against a line, or an empty text.
template <typename Take>
std::string ForEachLine(std::FILE* file, Take&& take)
{
    char block[65536];
    std::string line; // a line that runs past the block
    std::uint64_t total = 0;
    errno = 0;
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) {
        total += got;
        if (total > kMostBytes) {
            return kTooLarge;
        }
        std::string_view rest(block, got);
        for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos;) {
            std::string_view whole = rest.substr(0, end);
            if (!line.empty()) {
                whole = line.append(whole);
            }
            if (std::string problem = take(whole); !problem.empty()) {
                return problem;
            }
            line.clear();
            rest.remove_prefix(end + 1);
        }
        line.append(rest);
    }
    if (std::ferror(file)) {
        return std::strerror(errno);
    }
    return line.empty() ? std::string() : take(std::string_view(line));
}

std::string_view Trimmed(std::string_view line)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!line.empty() && blank(line.front())) {
        line.remove_prefix(1);
    }
    while (!line.empty() && blank(line.back())) {
        line.remove_suffix(1);
    }
    return line;
}

bool IsCapital(char c)
{
    return c >= 'A' && c <= 'Z';
}

// "11111\tabacus": the word after the number of the dice that pick it, in a
// list made for rolling them. A line of any other shape is its word whole.
std::string_view WithoutDiceNumber(std::string_view line)
{
    const std::size_t digits = line.find_first_not_of("123456");
    if (digits == 0 || digits == std::string_view::npos) {
        return line;
    }
    const std::size_t start = line.find_first_not_of(" \t", digits);
    if (start == digits || start == std::string_view::npos) {
        return line;
    }
    const std::string_view word = line.substr(start);
    return word.find_first_of(" \t") == std::string_view::npos ? word : line;
}

std::size_t Characters(std::string_view text)
{
    std::size_t count = 0;
    for (; !text.empty(); ++count) {
        text.remove_prefix(FirstSequence(text).length);
    }
    return count;
}

// Why a passphrase with the word would not read back as one sequence of
// words, if it would not: with a separator, the word must hold none of its
// characters, so the separators are exactly the runs of those characters,
// and must not begin with a hyphen; without one, the capitals must be exactly
// where the words begin.
std::optional<LeftOutReason> ReasonToLeaveOut(std::string_view word, const std::string& separator)
{
    if (HoldsControl(word)) {
        return LeftOutReason::Control;
    }
    if (!separator.empty()) {
        // Both are well-formed UTF-8, so a character's bytes stand in the
        // word exactly where the character does.
        const std::string_view characters = separator;
        for (std::size_t at = 0; at < characters.size();) {
            const std::size_t length = FirstSequence(characters.substr(at)).length;
            if (word.find(characters.substr(at, length)) != std::string_view::npos) {
                return LeftOutReason::Separator;
            }
            at += length;
        }
        // A passphrase that begins with one could be taken for an option.
        return word[0] == '-' ? std::optional(LeftOutReason::Hyphen) : std::nullopt;
    }
    if (!IsCapital(word[0])) {
        return LeftOutReason::NoCapital;
    }
    if (std::any_of(word.begin() + 1, word.end(), IsCapital)) {
        return LeftOutReason::Capitals;
    }
    return std::nullopt;
}

// Takes the lines of a list one by one into its words.
class WordReader {
public:
    WordReader(const std::string& separator, bool capitalize, PassphraseWords& list)
        : separatorText(separator), capitals(capitalize), words(list)
    {
    }

    // Answers why the list is refused at this line, or an empty text.
    std::string Take(std::string_view line)
    {
        if (++number == 1 && line.starts_with("\xEF\xBB\xBF")) {
            line.remove_prefix(3);
        }
        if (!IsUtf8(line)) {
            return "line " + std::to_string(number) + " is not UTF-8 text";
        }
        std::string word(WithoutDiceNumber(Trimmed(line)));
        if (capitals && !word.empty() && word[0] >= 'a' && word[0] <= 'z') {
            word[0] = static_cast<char>(word[0] - 'a' + 'A');
        }
        if (word.empty() || !seen.insert(word).second) {
            return {};
        }
        if (const auto reason = ReasonToLeaveOut(word, separatorText)) {
            ++words.leftOut[static_cast<std::size_t>(*reason)];
        } else {
            words.words.push_back(std::move(word));
        }
        return {};
    }

private:
    const std::string& separatorText;
    const bool capitals;
    PassphraseWords& words;
    std::size_t number = 0;
    std::unordered_set<std::string> seen; // every distinct word, kept or left out
};

// How a message tells of the words left out for each reason: the verb for
// one word and for several, the form after a count, and what they hold.
struct ReasonText {
    const char* one;
    const char* many;
    const char* counted;
    std::string what;
};

std::vector<ReasonText> ReasonTexts(const std::string& separator)
{
    const std::string of =
        Characters(separator) == 1 ? "the separator " : "a character of the separator ";
    return {
        {"holds", "hold", "holding", "a control character"},
        {"holds", "hold", "holding", of + Quoted(separator)},
        {"begins", "begin", "beginning", "with a hyphen"},
        {"does not begin", "do not begin", "not beginning", "with a letter A to Z"},
        {"has", "have", "with", "a capital where only the first letter may be one"},
    };
}

} // namespace

PasswordCount PassphraseRule::Size() const
{
    PasswordCount size(1);
    for (std::size_t i = 0; i < count; ++i) {
        size *= static_cast<std::uint32_t>(words.size());
    }
    return size;
}

double PassphraseRule::Bits() const
{
    return static_cast<double>(count) * std::log2(static_cast<double>(words.size()));
}

void PassphraseRule::Compose(const std::uint32_t* places, std::string& out) const
{
    out.clear();
    for (std::size_t i = 0; i < count; ++i) {
        out.append(i == 0 ? "" : separator);
        out.append(words[places[i]]);
    }
}

std::size_t PassphraseWords::LeftOut() const
{
    std::size_t total = 0;
    for (const std::size_t count : leftOut) {
        total += count;
    }
    return total;
}

std::string LoadPassphraseWords(const std::string& path, const std::string& separator,
                                bool capitalize, PassphraseWords& list)
{
    UniqueFile file;
    std::uint64_t size = 0;
    if (std::string problem = OpenRegularFile(path, file, size); !problem.empty()) {
        return problem;
    }
    if (size > kMostBytes) {
        return kTooLarge;
    }
    WordReader reader(separator, capitalize, list);
    return ForEachLine(file.get(), [&](std::string_view line) { return reader.Take(line); });
}

void LoadBuiltInPassphraseWords(const std::string& separator, bool capitalize,
                                PassphraseWords& list)
{
    // Printable ASCII, as the build checked, so no line is refused.
    WordReader reader(separator, capitalize, list);
    for (const std::string_view line : BuiltInWordListLines()) {
        reader.Take(line);
    }
}

std::string LeftOutReasons(const PassphraseWords& list, const std::string& separator)
{
    const std::vector<ReasonText> texts = ReasonTexts(separator);
    std::string reasons;
    for (std::size_t i = 0; i < kLeftOutReasons; ++i) {
        if (list.leftOut[i] != 0) {
            reasons += (reasons.empty() ? "" : ", ") + std::to_string(list.leftOut[i]) + " " +
                       texts[i].counted + " " + texts[i].what;
        }
    }
    return reasons;
}

std::string LeftOutNote(const PassphraseWords& list, const std::string& separator)
{
    const std::size_t total = list.LeftOut();
    if (total == 0) {
        return {};
    }
    const std::string remain = "; " + std::to_string(list.words.size()) + " remain";
    const std::vector<ReasonText> texts = ReasonTexts(separator);
    for (std::size_t i = 0; i < kLeftOutReasons; ++i) {
        if (list.leftOut[i] == total) {
            // One reason: said as a sentence of its own.
            return std::to_string(total) + (total == 1 ? " word" : " words") + " of the list " +
                   (total == 1 ? texts[i].one : texts[i].many) + " " + texts[i].what +
                   (total == 1 ? " and is" : " and are") + " left out" + remain;
        }
    }
    return std::to_string(total) + " words of the list are left out (" +
           LeftOutReasons(list, separator) + ")" + remain;
}

std::uint32_t DrawPlace(DrawSource& random, std::uint32_t size)
{
    constexpr std::uint32_t kDraw = 32768; // 15 bits
    if (size <= kDraw) {
        return static_cast<std::uint32_t>(random.Below(static_cast<int>(size)));
    }
    // Two or three draws make a value below 2^30 or 2^45; values past the
    // last whole multiple of size are drawn again.
    const std::uint64_t span =
        size <= (std::uint32_t{1} << 30) ? std::uint64_t{1} << 30 : std::uint64_t{1} << 45;
    const std::uint64_t limit = span - span % size;
    for (;;) {
        std::uint64_t value = 0;
        for (std::uint64_t reach = 1; reach < span; reach *= kDraw) {
            value = value * kDraw + static_cast<std::uint64_t>(random.Below(kDraw));
        }
        if (value < limit) {
            return static_cast<std::uint32_t>(value % size);
        }
    }
}

PasswordCount PassphrasesExcluded(const ExclusionDictionary& dictionary, const PassphraseRule& rule)
{
    PasswordCount excluded;
    const WordTable* table = dictionary.Table();
    if (!table || table->EntryCount() == 0) {
        return excluded;
    }
    // The list's words folded, with how many fold alike.
    std::unordered_map<std::string, std::uint32_t> folded;
    std::size_t shortest = SIZE_MAX;
    std::size_t longest = 0;
    for (const std::string& word : rule.words) {
        std::string fold = word;
        for (char& c : fold) {
            c = static_cast<char>(FoldCase(c));
        }
        ++folded[fold];
        shortest = std::min(shortest, word.size());
        longest = std::max(longest, word.size());
    }
    std::string separator = rule.separator;
    for (char& c : separator) {
        c = static_cast<char>(FoldCase(c));
    }
    const std::size_t gaps = (rule.count - 1) * separator.size();
    PasswordSet counted;
    std::string piece;
    table->ForEachWord([&](std::string_view text) {
        if (text.size() < rule.count * shortest + gaps ||
            text.size() > rule.count * longest + gaps || counted.Contains(text)) {
            return;
        }
        counted.Insert(text);
        // ways[i]: the ways the words so far fold to the text up to i.
        std::vector<PasswordCount> ways(text.size() + 1);
        ways[0] = PasswordCount(1);
        for (std::size_t word = 0; word < rule.count; ++word) {
            std::vector<PasswordCount> next(text.size() + 1);
            for (std::size_t at = 0; at < text.size(); ++at) {
                if (ways[at] == PasswordCount()) {
                    continue;
                }
                std::size_t start = at;
                if (word > 0) {
                    if (text.substr(at, separator.size()) != separator) {
                        continue;
                    }
                    start += separator.size();
                }
                for (std::size_t size = shortest; size <= longest && start + size <= text.size();
                     ++size) {
                    piece.assign(text.substr(start, size));
                    if (const auto found = folded.find(piece); found != folded.end()) {
                        PasswordCount added = ways[at];
                        added *= found->second;
                        next[start + size] += added;
                    }
                }
            }
            ways = std::move(next);
        }
        excluded += ways[text.size()];
    });
    return excluded;
}
