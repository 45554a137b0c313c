#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "batch/saved_list.h"
#include "cli/password_writer.h"
#include "engine/entropy.h"
#include "engine/information.h"
#include "engine/phonetics.h"
#include "tests/cli/program_runner.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text, std::string_view end = kLineEnd)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t stop = text.find(end, at);
        lines.push_back(text.substr(at, stop - at));
        at = stop == std::string::npos ? text.size() : stop + end.size();
    }
    return lines;
}

bool OneLineMessage(const std::string& err)
{
    const std::size_t first = err.find('\n');
    return err.rfind("sorvane-cli: ", 0) == 0 && first == err.size() - 1;
}

// Each bad argument is refused by status 2 with one line on standard error
// that names the argument and what it allows, and nothing on the output.
TEST(SorvaneCli, RefusesEachBadArgumentByName)
{
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> named;
    } kCases[] = {
        {{"--length", "2"}, {"'2'", "'--length'", "3 to 64"}},
        {{"-l65"}, {"'65'", "'-l'", "3 to 64"}},
        {{"-t", "octal"}, {"'octal'", "'-t'", "digits, hex, letters or mixed"}},
        {{"--case=title"}, {"'title'", "'--case'", "lower, upper or mixed"}},
        {{"--format", "xml"}, {"'xml'", "'--format'", "plain, tsv or json"}},
        {{"-n", "0"}, {"'0'", "'-n'", "1 to 10000000"}},
        {{"--count=10000001"}, {"'10000001'", "1 to 10000000"}},
        {{"--count"}, {"'--count'", "1 to 10000000"}},
        {{"--colour"}, {"'--colour'", "--length", "--format"}},
        {{"-x"}, {"'-x'", "-l"}},
        {{"--exclude"}, {"'--exclude'", "--exclude-similar, --exclude-repeats"}},
        {{"--allow-repeats=no"}, {"'--allow-repeats'", "'no'"}},
        {{"--dictionary="}, {"'--dictionary'"}},
        {{"16", "5", "extra"}, {"'extra'"}},
    };
    for (const auto& c : kCases) {
        const ProgramRun run = RunCli(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments[0];
        EXPECT_EQ(run.out, "") << c.arguments[0];
        EXPECT_TRUE(OneLineMessage(run.err)) << run.err;
        for (const std::string& name : c.named) {
            EXPECT_NE(run.err.find(name), std::string::npos) << name << " in " << run.err;
        }
    }
    for (const char* help : {"--help", "-h", "--he"}) {
        const ProgramRun run = RunCli({help});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.rfind("Usage: sorvane-cli", 0), 0u) << run.out;
        EXPECT_EQ(run.err, "");
    }
    const ProgramRun version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "1.0.0.6" + std::string(kLineEnd));
}

// The tab-separated output is the dialog's saved file, byte for byte: the
// same header, the rating and spelling of each password, CR LF everywhere.
TEST(SorvaneCli, WritesTheDialogsSavedListFormat)
{
    const ProgramRun run = RunCli({"-f", "tsv", "-n", "40", "-l", "20", "-t", "letters"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out, "\r\n");
    ASSERT_EQ(lines.size(), 42u);
    EXPECT_EQ(lines[0], "Password\tEntropy\tPhonetics");
    EXPECT_EQ(lines[1], "");
    std::string expected = "Password\tEntropy\tPhonetics\r\n\r\n";
    std::set<std::string> passwords;
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const std::string password = lines[i].substr(0, lines[i].find('\t'));
        EXPECT_EQ(password.size(), 20u);
        EXPECT_TRUE(std::all_of(password.begin(), password.end(), ::isalpha)) << password;
        passwords.insert(password);
        expected += password + "\t" + std::to_string(EstimateEntropy(password)) + " bit\t" +
                    PhoneticSpelling(password) + "\r\n";
    }
    EXPECT_EQ(passwords.size(), 40u);
    EXPECT_EQ(run.out, expected);
}

// A minimal reader of the JSON output: an array of flat objects whose keys
// are strings and whose values are strings (without escapes) or numbers.
using JsonRow = std::vector<std::pair<std::string, std::string>>;
bool ReadJsonRows(const std::string& in, std::vector<JsonRow>& rows)
{
    std::size_t at = 0;
    const auto take = [&](char c) {
        at = std::min(in.find_first_not_of(" \t\r\n", at), in.size());
        return at < in.size() && in[at] == c && ++at;
    };
    const auto text = [&](std::string& out) {
        if (!take('"') || in.find('"', at) == std::string::npos) {
            return false;
        }
        const std::size_t end = in.find('"', at);
        out = in.substr(at, end - at);
        at = end + 1;
        return out.find_first_of("\\\n") == std::string::npos;
    };
    const auto number = [&](std::string& out) {
        const std::size_t end = in.find_first_not_of("0123456789.-+eE", at);
        out = in.substr(at, end - at);
        at = end;
        return !out.empty();
    };
    if (!take('[')) {
        return false;
    }
    do {
        if (!take('{')) {
            return false;
        }
        rows.emplace_back();
        do {
            std::string key;
            std::string value;
            if (!text(key) || !take(':') || !(text(value) || number(value))) {
                return false;
            }
            rows.back().emplace_back(key, value);
        } while (take(','));
        if (!take('}')) {
            return false;
        }
    } while (take(','));
    return take(']') && in.find_first_not_of(" \t\r\n", at) == std::string::npos;
}

// Each object carries the password, its rating and spelling as the list shows
// them, and its exact information content, printed so it reads back exactly.
TEST(SorvaneCli, WritesWellFormedJson)
{
    const ProgramRun run =
        RunCli({"--format=json", "-n", "25", "-t", "hex", "--allow-repeats", "-l", "12"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<JsonRow> rows;
    ASSERT_TRUE(ReadJsonRows(run.out, rows)) << run.out;
    ASSERT_EQ(rows.size(), 25u);
    PasswordOptions options;
    options.characterType = CharacterType::HexDigits;
    options.excludeDuplicate = false;
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 4u);
        const std::string& password = row[0].second;
        EXPECT_EQ(row[0].first, "password");
        EXPECT_EQ(row[1], std::make_pair(std::string("entropy"),
                                         std::to_string(EstimateEntropy(password))));
        EXPECT_EQ(row[2], std::make_pair(std::string("phonetics"), PhoneticSpelling(password)));
        EXPECT_EQ(row[3].first, "information_bits");
        EXPECT_EQ(std::strtod(row[3].second.c_str(), nullptr), InformationBits(password, options))
            << password;
    }
    const ProgramRun none = RunCli({"-f", "json", "-t", "digits", "-l", "3", "-n", "337"});
    EXPECT_EQ(none.status, 1);
    rows.clear();
    EXPECT_TRUE(ReadJsonRows(none.out, rows));
    EXPECT_EQ(rows.size(), 336u);
}

// More than the options allow: every possible password once, then status 1
// and a message. 8 x 7 x 6 three-digit passwords lack look-alikes and repeats.
TEST(SorvaneCli, CountBeyondWhatTheOptionsAllowStopsWithStatusOne)
{
    const ProgramRun run = RunCli({"-t", "digits", "-l", "3", "-n", "400"});
    EXPECT_EQ(run.status, 1);
    const std::vector<std::string> lines = Lines(run.out);
    const std::set<std::string> distinct(lines.begin(), lines.end());
    EXPECT_EQ(lines.size(), 336u);
    EXPECT_EQ(distinct.size(), 336u);
    for (const std::string& password : distinct) {
        EXPECT_TRUE(IsAcceptable(password[2], password.substr(0, 2), PasswordOptions{}) &&
                    password.find_first_of("01") == std::string::npos)
            << password;
    }
    EXPECT_TRUE(OneLineMessage(run.err)) << run.err;
    EXPECT_NE(run.err.find("336 of 400"), std::string::npos) << run.err;
}

// A word list that leaves exactly four passwords gives exactly those. It is
// read with the dialog's text-mode rules: CR LF, spaces trimmed, nothing
// after a Ctrl-Z (so the word written there is still allowed).
TEST(SorvaneCli, DictionaryLeavesExactlyTheWordsItDoesNotList)
{
    const fs::path folder =
        fs::temp_directory_path() / ("sorvane-cli-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    const std::set<std::string> allowed = {"234", "987", "562", "458"};
    std::string words;
    for (int n = 0; n < 1000; ++n) {
        const std::string password = std::to_string(1000 + n).substr(1);
        if (allowed.count(password) == 0 && password != "458") {
            words += (n % 3 == 0 ? " " + password + "\t" : password) + "\r\n";
        }
    }
    words += "\x1A"
             "458\r\n";
    std::ofstream((folder / "words.txt").string(), std::ios::binary) << words;
    const std::string list = (folder / "words.txt").string();
    const std::vector<std::string> options = {"-t", "digits", "-l", "3", "-d", list, "-n"};

    std::vector<std::string> arguments = options;
    arguments.push_back("4");
    const ProgramRun exact = RunCli(arguments);
    EXPECT_EQ(exact.status, 0) << exact.err;
    const std::vector<std::string> lines = Lines(exact.out);
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), allowed);
    EXPECT_EQ(lines.size(), 4u);

    arguments.back() = "5";
    const ProgramRun beyond = RunCli(arguments);
    EXPECT_EQ(beyond.status, 1);
    EXPECT_EQ(Lines(beyond.out).size(), 4u);
    EXPECT_NE(beyond.err.find("4 of 5"), std::string::npos) << beyond.err;

    // A list that is missing, or cannot be read (a folder), is bad input.
    for (const fs::path& unreadable : {folder / "missing.txt", folder}) {
        arguments = {"-d", unreadable.string()};
        const ProgramRun run = RunCli(arguments);
        EXPECT_EQ(run.status, 2) << unreadable;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(OneLineMessage(run.err)) << run.err;
        EXPECT_NE(run.err.find(unreadable.string()), std::string::npos) << run.err;
    }
    fs::remove_all(folder);
}

// "sorvane-cli -n 1000000 | head -1": the reader leaves after one line; the
// program ends quietly, neither killed by the closed pipe nor complaining.
TEST(SorvaneCli, ClosedOutputEndsTheRunQuietly)
{
    const ProgramRun run = RunCli({"-n", "1000000"}, true);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.find(kLineEnd), 10u) << run.out.substr(0, 40);
}

} // namespace
