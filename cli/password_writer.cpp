#include "cli/password_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "batch/saved_list.h"
#include "cli/spelling.h"
#include "engine/entropy.h"
#include "engine/utf8.h"

namespace {

template <typename Number>
void AppendNumber(std::string& out, Number value)
{
    char text[32];
    // Shortest form that reads back as the same value.
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, end);
}

} // namespace

PasswordWriter::PasswordWriter(OutputFormat outputFormat, const DrawRule& rule, ByteSink& output)
    : PasswordWriter(
          outputFormat,
          [content = InformationContent(rule)](std::string_view p) { return content.Bits(p); }, {},
          output)
{
}

PasswordWriter::PasswordWriter(OutputFormat outputFormat, Information figure,
                               std::string moreFields, ByteSink& output)
    : format(outputFormat), information(std::move(figure)), moreJson(std::move(moreFields)),
      sink(output)
{
    // Room for a block and the longest row after it, so appending never
    // moves the text.
    pending.reserve(kBlockSize + 4096);
}

bool PasswordWriter::Begin()
{
    if (format == OutputFormat::Tsv) {
        pending.append(kSavedListHead);
    } else if (format == OutputFormat::Json) {
        pending.push_back('[');
    }
    return FlushWhenFull();
}

bool PasswordWriter::Add(std::string_view password)
{
    if (format == OutputFormat::Plain) {
        pending.append(password);
        pending.append(kLineEnd);
        return FlushWhenFull();
    }
    if (password.size() > PasswordOptions::kMaxLength) {
        return Add(password, CliSpelling(password));
    }
    return Add(password,
               std::string_view(spelling.data(), CliSpellInto(password, spelling.data())));
}

bool PasswordWriter::Add(std::string_view password, std::string_view spelled)
{
    if (format == OutputFormat::Plain) {
        return Add(password);
    }
    const double bits = information(password);
    if (format == OutputFormat::Tsv) {
        // Whole bits as the saved list writes them, cut: never more than the
        // password carries.
        char figure[32];
        char* end =
            std::to_chars(figure, figure + 24, static_cast<long long>(std::floor(bits))).ptr;
        end = std::copy_n(" bit", 4, end);
        AppendSavedListLine(pending, password, std::string_view(figure, end - figure), spelled);
        return FlushWhenFull();
    }
    pending.append(first ? "" : ",");
    pending.append(kLineEnd);
    first = false;
    pending.append("  {\"password\": \"");
    AppendJsonString(pending, password);
    pending.append("\", \"information_bits\": ");
    AppendNumber(pending, bits);
    pending.append(", \"phonetics\": \"");
    AppendJsonString(pending, spelled);
    pending.append("\", \"windows_dialog_rating\": ");
    AppendNumber(pending, EstimateEntropy(password));
    pending.append(moreJson);
    pending.push_back('}');
    return FlushWhenFull();
}

bool PasswordWriter::End()
{
    if (format == OutputFormat::Json) {
        if (!first) {
            pending.append(kLineEnd);
        }
        pending.push_back(']');
        pending.append(kLineEnd);
    }
    return Flush();
}

bool PasswordWriter::Flush()
{
    const bool written = pending.empty() || sink.Write(pending);
    pending.clear();
    return written;
}

namespace {

// The bytes that leave the run of bytes copied as they are: those JSON must
// escape (below 0x20, the quote, the backslash), DEL, which is escaped too so
// no terminal acts on it, and the bytes of characters beyond ASCII, copied
// once their sequence is found well-formed.
constexpr std::array<bool, 256> kEndsRun = [] {
    std::array<bool, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        table[static_cast<std::size_t>(byte)] =
            byte < 0x20 || byte >= 0x7F || byte == '"' || byte == '\\';
    }
    return table;
}();

void AppendEscaped(std::string& out, char c)
{
    constexpr char kHex[] = "0123456789abcdef";
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
        out.push_back('\\');
        out.push_back(c);
    } else {
        out.append("\\u00");
        out.push_back(kHex[byte >> 4]);
        out.push_back(kHex[byte & 15]);
    }
}

// Whether any of the eight bytes ends a run: below 0x20, from 0x7F up, a
// quote or a backslash. The classic tests for a byte below a value and for
// a zero byte, exact about whether there is one.
bool AnyEndsRun(std::uint64_t word)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHigh = kOnes * 0x80;
    const auto anyZero = [](std::uint64_t w) { return (w - kOnes) & ~w & kHigh; };
    const std::uint64_t below = (word - kOnes * 0x20) & ~word & kHigh;
    return (below | (word & kHigh) | anyZero(word ^ (kOnes * 0x7F)) |
            anyZero(word ^ (kOnes * '"')) | anyZero(word ^ (kOnes * '\\'))) != 0;
}

} // namespace

// Runs of bytes that need no escape are appended whole: a password and its
// spelling are one run each, found eight bytes at a time, and a well-formed
// character beyond ASCII stays in its run.
void AppendJsonString(std::string& out, std::string_view text)
{
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.size() - i >= 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + i, sizeof word);
            if (!AnyEndsRun(word)) {
                i += 8;
                continue;
            }
        }
        const auto byte = static_cast<unsigned char>(text[i]);
        if (!kEndsRun[byte]) {
            ++i;
            continue;
        }
        if (byte < 0x80) {
            out.append(text.substr(start, i - start));
            AppendEscaped(out, text[i]);
            start = ++i;
            continue;
        }
        // A well-formed character stays in the run.
        const Utf8Sequence sequence = FirstSequence(text.substr(i));
        if (!sequence.wellFormed) {
            out.append(text.substr(start, i - start));
            out.append("\\ufffd");
            start = i + sequence.length;
        }
        i += sequence.length;
    }
    out.append(text.substr(start));
}
