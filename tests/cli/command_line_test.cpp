#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/password_writer.h"

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

// Quotes and backslashes escaped, every byte outside printable ASCII as \u00XX.
TEST(AppendJsonString, KeepsTheDocumentValidWhateverTheBytes)
{
    std::string out = "[";
    AppendJsonString(out, "aB3 - \"hi\"\\\t\n\x01\x1f\x7f\xe9");
    EXPECT_EQ(out, "[aB3 - \\\"hi\\\"\\\\\\u0009\\u000a\\u0001\\u001f\\u007f\\u00e9");
    // Each byte that needs an escape, alone among seven that do not, and
    // clean runs longer than a word.
    for (const char special : {'"', '\\', '\x1f', '\x7f', '\x80', '\xff', '\0'}) {
        const std::string clean(7, 'x');
        std::string text = clean + special + clean + clean + "y";
        std::string escaped;
        AppendJsonString(escaped, std::string_view(text));
        std::string expected;
        AppendJsonString(expected, std::string_view(&special, 1));
        EXPECT_EQ(escaped, clean + expected + clean + clean + "y") << static_cast<int>(special);
        EXPECT_NE(expected, std::string(1, special));
    }
}

} // namespace
