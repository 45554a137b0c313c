#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/password_writer.h"
#include "cli/spelling.h"
#include "engine/phonetics.h"
#include "engine/utf8.h"

namespace {

ParsedCommandLine Parse(const std::vector<std::string_view>& arguments)
{
    return ParseCommandLine(arguments);
}

// The request in a few words: "16 digits/mixed -similar -repeats n=5 plain d="
// (a length of "?" is the default's; "!repeats" none at all), then what is
// set beyond: "weighted", the minimums of small letters, capitals, digits
// and symbols, "verbose".
std::string Describe(const CliRequest& request)
{
    const char* const types[] = {"digits", "hex", "letters", "mixed"};
    const char* const cases[] = {"lower", "upper", "mixed"};
    const char* const formats[] = {"plain", "tsv", "json"};
    const char* const repeats[] = {" +repeats", " -repeats", " !repeats"};
    const PasswordOptions& options = request.options;
    const auto& least = request.atLeast;
    return (request.lengthGiven ? std::to_string(options.length) : "?") + " " +
           types[static_cast<int>(options.characterType)] + "/" +
           cases[static_cast<int>(options.letterCase)] +
           (options.excludeSimilar ? " -similar" : " +similar") +
           repeats[static_cast<int>(request.repeats)] + " n=" + std::to_string(request.count) +
           " " + formats[static_cast<int>(request.format)] + " d=" + request.dictionaryPath +
           (request.weighted ? " weighted" : "") +
           (request.atLeast == decltype(request.atLeast){}
                ? ""
                : " min=" + std::to_string(least[0]) + "," + std::to_string(least[1]) + "," +
                      std::to_string(least[2]) + "," + std::to_string(least[3])) +
           (request.verbose ? " verbose" : "");
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
        {{}, "? mixed/mixed -similar -repeats n=1 plain d="},
        {{"-l16", "-n", "5", "-tdigits"}, "16 digits/mixed -similar -repeats n=5 plain d="},
        {{"--length=3", "--count", "10000000", "--type", "hex", "--case=upper", "-f", "tsv"},
         "3 hex/upper -similar -repeats n=10000000 tsv d="},
        {{"--len", "64", "--ty=let", "--cas", "l", "--form=j", "-d", "words.txt"},
         "64 letters/lower -similar -repeats n=1 json d=words.txt"},
        {{"--dictionary=-", "-n9", "--allow-similar", "--allow-rep", "--exclude-s"},
         "? mixed/mixed -similar +repeats n=9 plain d=-"},
        {{"-l", "12", "--", "20", "7"}, "20 mixed/mixed -similar -repeats n=7 plain d="},
        {{"--no-rep", "--weighted", "--min-digits", "2", "--min-s=1", "--min-l=3", "-vn3"},
         "? mixed/mixed -similar !repeats n=3 plain d= weighted min=3,0,2,1 verbose"},
        {{"--min-upper=4", "--no-repeats", "--allow-repeats", "--min-upper=0"},
         "? mixed/mixed -similar +repeats n=1 plain d="},
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

// The Windows program's word for each letter and digit, capitals in
// capitals; a name of its own, a word or two, for each of the 32 symbols of
// printable ASCII; a character beyond ASCII as itself.
TEST(Spelling, NamesEverySymbolAndKeepsTheWindowsWordsOfLettersAndDigits)
{
    const struct {
        std::string_view password, spelling;
    } kCases[] = {
        {"aB3", "air - BIT - three"},
        {"-_.", "hyphen - underscore - dot"},
        {"x@Y!", "xmas - at sign - YAP - exclamation mark"},
        {"\\'\"", "backslash - apostrophe - double quote"},
        {"()[]{}<>", "open parenthesis - close parenthesis - open bracket - close bracket - "
                     "open brace - close brace - less-than sign - greater-than sign"},
        {"caf\xC3\xA9", "cup - air - fly - \xC3\xA9"},
        {"", ""},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(CliSpelling(c.password), c.spelling);
    }
    std::set<std::string> names;
    for (char c = '!'; c <= '~'; ++c) {
        const std::string name = CliSpelling({&c, 1});
        if (std::isalnum(static_cast<unsigned char>(c))) {
            EXPECT_EQ(name, PhoneticSpelling({&c, 1}));
            continue;
        }
        EXPECT_TRUE(
            name.size() > 2 && name.find(" - ") == std::string::npos &&
            std::all_of(name.begin(), name.end(),
                        [](char n) { return (n >= 'a' && n <= 'z') || n == ' ' || n == '-'; }))
            << c << ": " << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 32u);
}

} // namespace
