#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "cli/spelling.h"
#include "engine/information.h"

// Where the output's bytes go: the standard output, or a test's string.
class ByteSink {
public:
    // Writes every byte, or answers false: the output is gone, and the run
    // stops.
    virtual bool Write(std::string_view bytes) = 0;

protected:
    ~ByteSink() = default;
};

// The line end of the plain and JSON output, the system's own; the
// tab-separated output keeps the saved list's CR LF everywhere.
#if defined(_WIN32)
inline constexpr std::string_view kLineEnd = "\r\n";
#else
inline constexpr std::string_view kLineEnd = "\n";
#endif

// Formats passwords in the chosen format and hands the sink large blocks, so
// a million passwords cost a few dozen writes, not a million. Plain output is
// the passwords alone. The tab-separated output is the Windows program's
// saved list, its figure the exact information cut to whole bits, never the
// rating, which can read higher. JSON gives both, named apart: the exact
// information and the rating of the Windows program's list.
class PasswordWriter {
public:
    static constexpr std::size_t kBlockSize = std::size_t{1} << 18;

    // The information figure of a password, in bits.
    using Information = std::function<double(std::string_view)>;

    // The information figure of the rule's passwords.
    PasswordWriter(OutputFormat format, const DrawRule& rule, ByteSink& sink);
    // Any figure; moreJson (", \"name\": value") follows it in each object.
    PasswordWriter(OutputFormat format, Information information, std::string moreJson,
                   ByteSink& sink);
    PasswordWriter(const PasswordWriter&) = delete;
    PasswordWriter& operator=(const PasswordWriter&) = delete;

    // Whether a password is printed with its spelling.
    bool NeedsSpelling() const { return format != OutputFormat::Plain; }

    // Each answers false once the sink refused a block.
    bool Begin();
    // A password spelled a character at a time (CliSpellInto).
    bool Add(std::string_view password);
    // A password with a spelling of its own, as a passphrase's words.
    bool Add(std::string_view password, std::string_view spelling);
    // Closes the document and writes what is left.
    bool End();

private:
    bool FlushWhenFull() { return pending.size() < kBlockSize || Flush(); }
    bool Flush();

    OutputFormat format;
    Information information;
    std::string moreJson;
    ByteSink& sink;
    std::string pending;
    // The spelling of the password being added.
    std::array<char, CliSpellingRoom(PasswordOptions::kMaxLength)> spelling;
    bool first = true;
};

// Appends UTF-8 text as the body of a JSON string: its characters as they
// are, but quotes, backslashes and control characters of ASCII escaped. The
// program hands it well-formed text only; should a byte sequence not be,
// each of its ill-formed parts becomes U+FFFD, as a reader of UTF-8 would
// show it, so the document stays valid whatever the bytes.
void AppendJsonString(std::string& out, std::string_view text);
