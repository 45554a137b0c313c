#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/password_writer.h"
#include "engine/utf8.h"

namespace {

ParsedCommandLine Parse(const std::vector<std::string_view>& arguments)
{
    return ParseCommandLine(arguments);
}

// The request in a few words: "16 digits/mixed -similar -repeats n=5 plain d=".
std::string Describe(const CliRequest& request)
{
    const char* const types[] = {"digits", "hex", "letters", "mixed"};
    const char* const cases[] = {"lower", "upper", "mixed"};
    const char* const formats[] = {"plain", "tsv", "json"};
    const PasswordOptions& options = request.options;
    return std::to_string(options.length) + " " + types[static_cast<int>(options.characterType)] +
           "/" + cases[static_cast<int>(options.letterCase)] +
           (options.excludeSimilar ? " -similar" : " +similar") +
           (options.excludeDuplicate ? " -repeats" : " +repeats") +
           " n=" + std::to_string(request.count) + " " + formats[static_cast<int>(request.format)] +
           " d=" + request.dictionaryPath;
}

// What each way of writing the options sets: GNU forms, shortened long names
// and values, flags that undo each other (the later one holds), pwgen's bare
// length and count, "--" before them, and the bounds themselves.
TEST(ParseCommandLine, ReadsOptionsTheWayGnuToolsAndPwgenDo)
{
    const struct {
        std::vector<std::string_view> arguments;
        const char* expected;
    } kCases[] = {
        {{}, "10 mixed/mixed -similar -repeats n=1 plain d="},
        {{"-l16", "-n", "5", "-tdigits"}, "16 digits/mixed -similar -repeats n=5 plain d="},
        {{"--length=3", "--count", "10000000", "--type", "hex", "--case=upper", "-f", "tsv"},
         "3 hex/upper -similar -repeats n=10000000 tsv d="},
        {{"--len", "64", "--ty=let", "--cas", "l", "--form=j", "-d", "words.txt"},
         "64 letters/lower -similar -repeats n=1 json d=words.txt"},
        {{"--dictionary=-", "-n9", "--allow-similar", "--allow-rep", "--exclude-s"},
         "10 mixed/mixed -similar +repeats n=9 plain d=-"},
        {{"-l", "12", "--", "20", "7"}, "20 mixed/mixed -similar -repeats n=7 plain d="},
    };
    for (const auto& c : kCases) {
        const ParsedCommandLine parsed = Parse(c.arguments);
        EXPECT_EQ(parsed.action, CliAction::Generate) << parsed.error;
        EXPECT_EQ(Describe(parsed.request), c.expected);
    }
    EXPECT_EQ(Parse({"-n5", "-hl3"}).action, CliAction::ShowHelp);
    EXPECT_EQ(Parse({"--vers", "--help"}).action, CliAction::ShowVersion);
    EXPECT_EQ(Parse({"--help", "--length=2"}).action, CliAction::Refuse);
}

// Quotes, backslashes and control characters escaped, DEL too; characters
// beyond ASCII as they are; each ill-formed part of a byte sequence one
// U+FFFD, so the document stays valid whatever the bytes. Each text alone,
// and among clean runs that put it across a boundary of eight bytes.
TEST(AppendJsonString, KeepsTheDocumentValidWhateverTheBytes)
{
    using namespace std::string_view_literals;
    const struct {
        std::string_view text, json;
    } kCases[] = {
        {"aB3 - \"hi\"\\\t\n\x01\x1f\x7f",
         "aB3 - \\\"hi\\\"\\\\\\u0009\\u000a\\u0001\\u001f\\u007f"},
        {"\0"sv, "\\u0000"},
        // é, €, U+1F511 and U+10FFFF, the last character there is.
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x94\x91 \xF4\x8F\xBF\xBF",
         "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x94\x91 \xF4\x8F\xBF\xBF"},
        {"\xC3", "\\ufffd"},                                  // cut short at the end
        {"\xE2\x82x", "\\ufffdx"},                            // cut short by ASCII
        {"\xF0\x9F\x94\xC3\xA9", "\\ufffd\xC3\xA9"},          // by another character
        {"\xC0\x80", "\\ufffd\\ufffd"},                       // an overlong zero
        {"\xE0\x9F\xBF", "\\ufffd\\ufffd\\ufffd"},            // overlong
        {"\xED\xA0\x80", "\\ufffd\\ufffd\\ufffd"},            // a surrogate
        {"\xF4\x90\x80\x80", "\\ufffd\\ufffd\\ufffd\\ufffd"}, // above U+10FFFF
        {"\x80\xFF\xF5", "\\ufffd\\ufffd\\ufffd"},            // never in UTF-8
    };
    const std::string clean(7, 'x');
    for (const auto& c : kCases) {
        std::string out = "[";
        AppendJsonString(out, c.text);
        EXPECT_EQ(out, "[" + std::string(c.json)) << c.json;
        EXPECT_EQ(IsUtf8(c.text), c.json.find("\\ufffd") == std::string_view::npos) << c.json;
        std::string among;
        AppendJsonString(among, clean + std::string(c.text) + clean + clean + "y");
        EXPECT_EQ(among, clean + std::string(c.json) + clean + clean + "y");
    }
}

} // namespace
