#include "cli/word_list.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

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

// Whether a passphrase with the word still reads back as one sequence of
// words: with a separator, the word holds none of its characters, so the
// separators are exactly the runs of those characters; without one, the
// capitals are exactly where the words begin.
bool KeepsWordsApart(std::string_view word, const std::string& separator)
{
    if (HoldsControl(word)) {
        return false;
    }
    if (!separator.empty()) {
        // Both are well-formed UTF-8, so a character's bytes stand in the
        // word exactly where the character does.
        const std::string_view characters = separator;
        for (std::size_t at = 0; at < characters.size();) {
            const std::size_t length = FirstSequence(characters.substr(at)).length;
            if (word.find(characters.substr(at, length)) != std::string_view::npos) {
                return false;
            }
            at += length;
        }
        return true;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (IsCapital(word[i]) != (i == 0)) {
            return false;
        }
    }
    return true;
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

std::string LoadPassphraseWords(const std::string& path, const std::string& separator,
                                bool capitalize, std::vector<std::string>& words)
{
    UniqueFile file;
    std::uint64_t size = 0;
    if (std::string problem = OpenRegularFile(path, file, size); !problem.empty()) {
        return problem;
    }
    if (size > kMostBytes) {
        return kTooLarge;
    }
    std::unordered_set<std::string> seen;
    std::size_t number = 0;
    return ForEachLine(file.get(), [&](std::string_view line) -> std::string {
        if (++number == 1 && line.starts_with("\xEF\xBB\xBF")) {
            line.remove_prefix(3);
        }
        if (!IsUtf8(line)) {
            return "line " + std::to_string(number) + " is not UTF-8 text";
        }
        std::string word(Trimmed(line));
        if (capitalize && !word.empty() && word[0] >= 'a' && word[0] <= 'z') {
            word[0] = static_cast<char>(word[0] - 'a' + 'A');
        }
        if (!word.empty() && KeepsWordsApart(word, separator) && seen.insert(word).second) {
            words.push_back(std::move(word));
        }
        return {};
    });
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
