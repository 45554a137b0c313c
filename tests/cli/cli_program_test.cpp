#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include "engine/entropy.h"
#include "engine/phonetics.h"

namespace {

namespace fs = std::filesystem;

// The line end of the plain output as the system writes text: written out
// here, not taken from the program, so a wrong one shows.
#if defined(_WIN32)
constexpr std::string_view kSystemLineEnd = "\r\n";
#else
constexpr std::string_view kSystemLineEnd = "\n";
#endif

// A path of its own in the temporary folder: two runs of these tests on one
// machine never share a file.
fs::path TempPath(const std::string& name)
{
    static const std::string run = std::to_string(std::random_device{}());
    return fs::temp_directory_path() / (name + "-" + run);
}

// A run still going after this long is stuck, not slow: the program is
// killed and the run fails, so a loop without end fails its test instead of
// hanging it.
constexpr std::chrono::seconds kRunLimit{60};
constexpr std::string_view kKilled = "killed: still running after the time limit";

// What a run of sorvane-cli left: its exit status, and the bytes of its
// standard output and error exactly as written (no line-end translation).
struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the sorvane-cli built beside the tests. Reads its output to the end,
// or closes it after the first line when firstLineOnly is set, as "| head -1"
// does; standard error goes to a file, read once the program has ended. A
// program still running after kRunLimit is killed, and its error says so.
ProgramRun RunCli(std::vector<std::string> arguments, bool firstLineOnly = false)
{
    const fs::path errorPath =
        fs::temp_directory_path() / ("sorvane-cli-err-" + std::to_string(std::random_device{}()));
    arguments.insert(arguments.begin(), SORVANE_CLI_PATH);
    ProgramRun run;
    char buffer[65536];
    const auto collect = [&](auto readSome) {
        for (long got; (got = readSome()) > 0;) {
            run.out.append(buffer, static_cast<std::size_t>(got));
            if (firstLineOnly && run.out.find('\n') != std::string::npos) {
                return;
            }
        }
    };
#if defined(_WIN32)
    if (arguments[0].front() == '/') {
        arguments[0] = "Z:" + arguments[0]; // Wine's drive for the Unix root
    }
    std::replace(arguments[0].begin(), arguments[0].end(), '/', '\\');
    // Quoted as CommandLineToArgvW and the runtime read arguments: backslashes
    // double only before a quote, the closing one included.
    std::string commandLine;
    for (const std::string& argument : arguments) {
        commandLine += commandLine.empty() ? "\"" : " \"";
        std::size_t slashes = 0;
        for (const char c : argument) {
            commandLine.append(c == '"' ? slashes + 1 : 0, '\\').push_back(c);
            slashes = c == '\\' ? slashes + 1 : 0;
        }
        commandLine.append(slashes, '\\').push_back('"');
    }
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    const HANDLE error = CreateFileA(errorPath.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                     &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = error;
    PROCESS_INFORMATION process{};
    // The arguments as UTF-16, which the program reads back as the same UTF-8
    // text in its UTF-8 code page, whatever the code page of the tests.
    std::wstring wide(commandLine.size() + 1, L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, commandLine.c_str(), static_cast<int>(commandLine.size()),
                            wide.data(), static_cast<int>(wide.size()))));
    // Should the start fail, the read below meets the closed pipe at once.
    CreateProcessW(nullptr, wide.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                   &process);
    CloseHandle(writeEnd);
    CloseHandle(error);
    // Killing the program closes its end of the pipe, which ends the read.
    std::atomic<bool> killed = false;
    std::thread watchdog([&] {
        const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(kRunLimit);
        if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(limit.count())) ==
            WAIT_TIMEOUT) {
            killed = TerminateProcess(process.hProcess, 1) != 0;
        }
    });
    collect([&] {
        DWORD got = 0; // and so at the end of the output
        ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr);
        return static_cast<long>(got);
    });
    CloseHandle(readEnd);
    watchdog.join();
    DWORD status = 0;
    if (!killed && GetExitCodeProcess(process.hProcess, &status)) {
        run.status = static_cast<int>(status);
    }
    const bool stuck = killed;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
#else
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return run;
    }
    const pid_t child = fork();
    if (child == 0) {
        // As a shell starts a pipeline's command: SIGPIPE at its default, so
        // a program that does not guard against it dies of it here too.
        std::signal(SIGPIPE, SIG_DFL);
        dup2(pipeEnds[1], 1);
        dup2(open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        close(pipeEnds[0]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
    const auto timeLeft = [&] {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        return static_cast<int>(std::max<long long>(left.count(), 0));
    };
    collect([&] {
        pollfd ready{pipeEnds[0], POLLIN, 0};
        int polled;
        while ((polled = poll(&ready, 1, timeLeft())) < 0 && errno == EINTR) {
        }
        return polled > 0 ? static_cast<long>(read(pipeEnds[0], buffer, sizeof buffer)) : 0L;
    });
    close(pipeEnds[0]);
    int status = 0;
    pid_t ended;
    while ((ended = waitpid(child, &status, WNOHANG)) == 0 && timeLeft() > 0) {
        poll(nullptr, 0, 10);
    }
    const bool stuck = ended == 0;
    if (stuck) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    // A death by signal shows as 128 + the signal, as a shell reports it.
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
#endif
    std::ostringstream err;
    err << std::ifstream(errorPath, std::ios::binary).rdbuf();
    run.err = err.str() + (stuck ? std::string(kKilled) : "");
    fs::remove(errorPath);
    return run;
}

std::vector<std::string> Lines(const std::string& text, std::string_view end = kSystemLineEnd)
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
    return err.rfind("sorvane-cli: ", 0) == 0 && err.find('\n') == err.size() - 1;
}

// Each bad argument, and a word list that is missing, cannot be read (a
// folder), is no regular file, is too large or is no UTF-8 text, is refused
// by status 2 with one line on standard error that names the argument and
// what it allows, and nothing on the output.
TEST(SorvaneCli, RefusesEachBadArgumentByName)
{
    const std::string missing = TempPath("sorvane-cli-no-such-list").string();
    const std::string folder = fs::temp_directory_path().string();
    const std::string oneWord = TempPath("sorvane-cli-one-word").string();
    std::ofstream(oneWord) << "\xEF\xBB\xBFword\r\n\nword\n  word \n";
    // Words left out for the separator, and for capitals that would blur
    // where words begin: one word is left in each.
    const std::string dashed = TempPath("sorvane-cli-dashed").string();
    std::ofstream(dashed) << "a-b\nc-d\ne-f\nword\n";
    const std::string capitals = TempPath("sorvane-cli-capitals").string();
    std::ofstream(capitals) << "McKay\niPod\n2nd\nword\nword\n";
    // A passphrase must not begin with a hyphen, so no word may.
    const std::string hyphens = TempPath("sorvane-cli-hyphens").string();
    std::ofstream(hyphens) << "-ab\n-cd\nword\n";
    const std::string latin1 = TempPath("sorvane-cli-latin-1").string();
    std::ofstream(latin1, std::ios::binary) << "word\ncaf\xE9\n";
    // Past the bound of a word list by a byte, and a device that never ends.
    const std::string huge = TempPath("sorvane-cli-huge-list").string();
    std::ofstream(huge) << "";
    fs::resize_file(huge, (std::uintmax_t{16} << 20) + 1);
#if defined(_WIN32)
    const std::string device = "NUL";
#else
    const std::string device = "/dev/zero";
#endif
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
        {{"--count"}, {"'--count'", "1 to 10000000"}},
        {{"--no-symbols"}, {"'--no-symbols'", "--length", "--format"}},
        {{"--lenght=5"}, {"'--lenght'", "did you mean --length?"}},
        {{"--xeclude=a"}, {"did you mean --exclude?"}},
        {{"--symbols", "!@#$%"}, {"did you mean --symbols='!@#$%'?"}},
        {{"--symbols", "-_"}, {"did you mean --symbols='-_'?"}},
        {{"-x"}, {"'-x'", "-l"}},
        {{"--excl"}, {"'--excl'", "--exclude-similar, --exclude-repeats"}},
        {{"--allow-repeats=no"}, {"'--allow-repeats'", "'no'"}},
        {{"--dictionary="}, {"'--dictionary'"}},
        {{"16", "5", "extra"}, {"'extra'"}},
        {{"-d", missing}, {"'" + missing + "'"}},
        {{"--dictionary", folder}, {"'" + folder + "'"}},
        {{"-tdigits", "--exclude=23456789"}, {"'--exclude=23456789'"}},
        {{"--symbols=#a"}, {"'#a'", "'--symbols'", "punctuation"}},
        {{"--include=a b"}, {"'a b'", "'--include'"}},
        {{"--every-kind", "--symbols", "-l3"}, {"'--every-kind'", "4 or more"}},
        {{"--symbols", "--min-digits=3", "--min-symbols=2", "-l4"},
         {"'--min-digits' and '--min-symbols'", "5 or more", "3 digits and 2 symbols"}},
        {{"--min-digits=40", "--min-lower=30"},
         {"'--min-lower' and '--min-digits' ask for 70", "64 at most"}},
        {{"-tdigits", "--min-upper=1"}, {"'--min-upper'", "capitals"}},
        {{"--min-symbols=65"}, {"'65'", "'--min-symbols'", "0 to 64"}},
        {{"--weighted", "--include=!"}, {"'--weighted'", "'--include'"}},
        // Eight digits, none twice, are 15.2 bits at most.
        {{"-tdigits", "--no-repeats"}, {"15.2 bits", "80 bits", "'--length'"}},
        {{"-tdigits", "--no-repeats", "--min-bits=16"}, {"'16'", "15.2 bits"}},
        {{"--min-bits=300", "-thex"}, {"'300'", "'--min-bits'", "at most"}},
        {{"--min-bits=40", "-l8"}, {"'--min-bits'", "'--length'"}},
        // Six passwords of three digits, none longer without a repeat.
        {{"-tdigits", "--exclude=23456", "--min-bits=30"}, {"'30'", "2.5 bits at 3 characters"}},
        {{"--min-bits=x"}, {"'x'", "'--min-bits'"}},
        {{"--words=0", "--word-list=w"}, {"'0'", "'--words'", "1 to 32"}},
        {{"--words=3", "--word-list", folder}, {"'" + folder + "'"}},
        {{"--words=3", "--word-list", oneWord}, {"'--word-list'", "has 1 distinct word that"}},
        {{"--words=3", "--word-list", dashed, "--separator=-"},
         {"'--word-list'", "has 1 distinct", "(left out: 3 holding the separator '-')"}},
        {{"--words=3", "--word-list", capitals, "--separator=", "--capitalize"},
         {"has 1 distinct", "(left out: 1 not beginning with a letter A to Z, 2 with a capital "
                            "where only the first letter may be one)"}},
        {{"--words=3", "--word-list", hyphens},
         {"has 1 distinct", "(left out: 2 beginning with a hyphen)"}},
        {{"--words=3", "--separator=abcdefghijklmnopqrstuvwxyz"},
         {"built-in word list has 0 distinct", "7776 holding a character of the separator"}},
        {{"--words=3", "--word-list", oneWord, "--symbols"}, {"'--symbols'"}},
        {{"--separator=-"}, {"'--separator'", "'--words'", "'--min-bits'"}},
        {{"--words=2", "--word-list", oneWord, "--separator="}, {"'--separator'"}},
        {{"--words=2", "--word-list", latin1}, {"'" + latin1 + "'", "line 2", "UTF-8"}},
        {{"--words=2", "--word-list", huge}, {"'" + huge + "'", "16 MiB"}},
        {{"--words=2", "--word-list", device}, {"'" + device + "'", "regular file"}},
        {{"-d", device}, {"'" + device + "'", "regular file"}},
        // Control characters, shown so that the message stays one line.
        {{"--words=2", "--word-list", oneWord, "--separator=\t"}, {"'\\x09'", "control"}},
        {{"--words=2", "--word-list", oneWord, "--separator", "a\nb"}, {"'a\\x0ab'", "control"}},
        {{"--words=2", "--word-list", oneWord, "--separator=\r"}, {"'--separator'", "control"}},
        // U+0085, the next line of other systems.
        {{"--words=2", "--word-list", oneWord, "--separator=\xC2\x85"},
         {"'--separator'", "control"}},
#if !defined(_WIN32) // a command line of UTF-16 cannot carry it
        {{"--words=2", "--word-list", oneWord, "--separator=\xC3"}, {"'--separator'", "UTF-8"}},
#endif
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
    fs::remove(oneWord);
    fs::remove(dashed);
    fs::remove(capitals);
    fs::remove(hyphens);
    fs::remove(latin1);
    fs::remove(huge);
    const ProgramRun help = RunCli({"-h"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: sorvane-cli", 0), 0u) << help.out;
    const ProgramRun version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "1.0.0.6" + std::string(kSystemLineEnd));
    EXPECT_EQ(help.err + version.err, "");
}

// The tab-separated output is the Windows program's saved file: the same
// header, CR LF everywhere, each password with its exact information cut to
// whole bits (never the rating, which reads 10 for most of these) and its
// spelling, symbols named; a passphrase is spelled by its words, the
// separator named. Each of the 720 passwords that hold a digit and a symbol
// carries log2(720) = 9.49 bits, each passphrase of two words of five
// log2(25) = 4.64.
TEST(SorvaneCli, WritesTheSavedListFormatWithTheInformationCut)
{
    const ProgramRun run = RunCli({"-tdigits", "--symbols=#%", "--every-kind", "--allow-similar",
                                   "--allow-repeats", "-l3", "-n720", "-ftsv"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out, "\r\n");
    ASSERT_EQ(lines.size(), 722u);
    std::string expected = "Password\tEntropy\tPhonetics\r\n\r\n";
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const std::string password = lines[i].substr(0, lines[i].find('\t'));
        std::string spelling;
        for (const char c : password) {
            spelling += (spelling.empty() ? "" : " - ") + (c == '#'   ? "hash"
                                                           : c == '%' ? "percent"
                                                                      : PhoneticSpelling({&c, 1}));
        }
        expected += password + "\t9 bit\t" + spelling + "\r\n";
    }
    EXPECT_EQ(run.out, expected);
    const fs::path list = TempPath("sorvane-cli-tsv-words");
    std::ofstream(list) << "ant\nbee\ncat\ndog\nelk\n";
    const ProgramRun words =
        RunCli({"--words=2", "--word-list", list.string(), "--separator=-", "-n16", "-ftsv"});
    fs::remove(list);
    EXPECT_EQ(words.status, 0) << words.err;
    const std::regex line(R"re(([a-z]+)-([a-z]+)\t4 bit\t\1 - hyphen - \2\r\n)re");
    EXPECT_EQ(std::distance(std::sregex_iterator(words.out.begin(), words.out.end(), line),
                            std::sregex_iterator()),
              16)
        << words.out;
}

// The objects of the JSON output in order, each its password, information,
// spelling, the Windows program's rating and, for passphrases, the words of
// the list; none unless the document is an array of them.
std::vector<std::smatch> JsonRows(const std::string& json)
{
    static const std::regex object(
        R"re(\{\s*"password"\s*:\s*"([^"\\\n]*)"\s*,\s*"information_bits"\s*:\s*)re"
        R"re(([-+.eE\d]+)\s*,\s*"phonetics"\s*:\s*"([^"\\\n]*)"\s*,\s*)re"
        R"re("windows_dialog_rating"\s*:\s*(\d+)\s*(,\s*"list_words"\s*:\s*(\d+)\s*)?\})re");
    const std::sregex_iterator first(json.begin(), json.end(), object);
    const std::vector<std::smatch> rows(first, std::sregex_iterator());
    std::string rest = std::regex_replace(json, object, "O");
    std::erase_if(rest, [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
    std::string expected = "[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        expected += i == 0 ? "O" : ",O";
    }
    return rest == expected + "]" ? rows : std::vector<std::smatch>{};
}

// More than the options allow: every possible password once, in a document
// still closed, then status 1 and a message. Each object carries the exact
// information, printed so it reads back exactly (8 x 7 x 6 three-digit
// passwords lack look-alikes and repeats, and are equally likely), and the
// spelling and rating as the Windows program's list shows them.
TEST(SorvaneCli, WritesWellFormedJsonUpToWhatTheOptionsAllow)
{
    const ProgramRun run = RunCli({"--format=json", "-t", "digits", "-l", "3", "-n", "400"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(OneLineMessage(run.err)) << run.err;
    EXPECT_NE(run.err.find("336 of 400"), std::string::npos) << run.err;
    const std::vector<std::smatch> rows = JsonRows(run.out);
    std::set<std::string> distinct;
    for (const std::smatch& row : rows) {
        const std::string password = row.str(1);
        distinct.insert(password);
        EXPECT_EQ(row.str(4), std::to_string(EstimateEntropy(password)));
        EXPECT_EQ(row.str(3), PhoneticSpelling(password));
        EXPECT_EQ(std::strtod(row.str(2).c_str(), nullptr), std::log2(336.0)) << password;
    }
    EXPECT_EQ(rows.size(), 336u);
    EXPECT_EQ(distinct.size(), 336u);
}

// The command line's own rules, each asked for one more password than it
// allows: every password it allows once, each keeping the rule, then status
// 1; and the chances the JSON figures give add up to one, so each figure is
// exact. With every kind 720 of 12^3 hold a digit and a symbol; two symbols
// or more, 128; a capital and a digit of 0 1 9 A B, 90; two small letters of
// 0 1 a b, 32; a first character other than '-' of 0 1 -, 18; seven of
// 4 to 9 and a (or A, the same for the rule), none twice, 7! x 2; passphrases
// of two words of four, 16, and their objects tell the words.
TEST(SorvaneCli, MakesExactlyThePasswordsOfEachRuleWithTheirExactInformation)
{
    const std::vector<std::string> small = {"-tdigits", "--allow-similar", "--allow-repeats",
                                            "-l3"};
    const auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), small.begin(), small.end());
        return more;
    };
    const auto count = [](const std::string& text, std::string_view of) {
        return std::count_if(text.begin(), text.end(),
                             [&](char c) { return of.find(c) != std::string_view::npos; });
    };
    const fs::path list = TempPath("sorvane-cli-json-words");
    std::ofstream(list) << "ant\nbee\ncat\ndog\n";
    const struct {
        std::vector<std::string> options;
        std::size_t allowed;
        std::function<bool(const std::string&)> keeps;
    } kCases[] = {
        {with({"--symbols=#%", "--every-kind"}), 720,
         [&](const std::string& p) { return count(p, "#%") > 0 && count(p, "#%") < 3; }},
        {with({"--symbols=#%", "--min-symbols=2"}), 128,
         [&](const std::string& p) { return count(p, "#%") >= 2; }},
        {with({"--exclude=2345678", "--include=AB", "--min-upper=1", "--min-digits=1"}), 90,
         [&](const std::string& p) { return count(p, "AB") >= 1 && count(p, "019") >= 1; }},
        {with({"--exclude=23456789", "--include=ab", "--min-lower=2"}), 32,
         [&](const std::string& p) { return count(p, "ab") >= 2; }},
        {with({"--exclude=23456789", "--symbols=-"}), 18,
         [](const std::string& p) { return p.front() != '-'; }},
        {{"-tdigits", "--allow-similar", "--exclude=0123", "--include=aA", "-l7", "--no-repeats"},
         10080,
         [](const std::string& p) {
             std::string folded = p;
             std::replace(folded.begin(), folded.end(), 'A', 'a');
             return std::set<char>(folded.begin(), folded.end()).size() == 7;
         }},
        {{"--words=2", "--word-list", list.string()},
         16,
         [](const std::string& p) { return p.size() == 7; }},
    };
    for (const auto& c : kCases) {
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"-n", std::to_string(c.allowed + 1), "-fjson"});
        const ProgramRun run = RunCli(arguments);
        SCOPED_TRACE(arguments[arguments.size() - 5]);
        EXPECT_EQ(run.status, 1) << run.err;
        const std::vector<std::smatch> rows = JsonRows(run.out);
        ASSERT_EQ(rows.size(), c.allowed);
        std::set<std::string> distinct;
        double chances = 0;
        for (const std::smatch& row : rows) {
            distinct.insert(row.str(1));
            EXPECT_TRUE(c.keeps(row.str(1))) << row.str(1);
            chances += std::exp2(-std::strtod(row.str(2).c_str(), nullptr));
            EXPECT_EQ(row.str(6), c.allowed == 16 ? "4" : "");
        }
        EXPECT_EQ(distinct.size(), c.allowed);
        EXPECT_NEAR(chances, 1.0, 1e-9);
    }
    fs::remove(list);
}

// Words beyond ASCII reach every format as the same UTF-8 text: the JSON
// output escapes none of their characters, in a passphrase or its spelling
// by words.
// A separator of such a character leaves out only the words that hold it.
TEST(SorvaneCli, CarriesWordsBeyondAsciiAsTheyAre)
{
    const std::string cafe = "caf\xC3\xA9", naive = "na\xC3\xAFve",
                      uber = "\xC3\xBC"
                             "ber";
    const fs::path list = TempPath("sorvane-cli-utf8-words");
    std::ofstream(list, std::ios::binary) << cafe << "\n" << naive << "\n" << uber << "\n";
    const std::vector<std::string> words = {"--words=2", "--word-list", list.string(), "-n9"};
    std::vector<std::string> json = words;
    json.push_back("-fjson");
    std::vector<std::string> accent = {"--words=2", "--word-list", list.string(), "-n4"};
    accent.push_back("--separator=\xC3\xA9");
    const ProgramRun plainRun = RunCli(words);
    const ProgramRun jsonRun = RunCli(json);
    const ProgramRun accentRun = RunCli(accent);
    fs::remove(list);
    EXPECT_EQ(plainRun.status + jsonRun.status + accentRun.status, 0)
        << plainRun.err << jsonRun.err << accentRun.err;
    const std::vector<std::string> lines = Lines(plainRun.out);
    const std::set<std::string> plain(lines.begin(), lines.end());
    EXPECT_EQ(plain.size(), 9u);
    const std::regex password(R"re("password": "([^"\\]*)")re");
    std::set<std::string> fromJson;
    for (auto it = std::sregex_iterator(jsonRun.out.begin(), jsonRun.out.end(), password);
         it != std::sregex_iterator(); ++it) {
        fromJson.insert(it->str(1));
    }
    EXPECT_EQ(fromJson, plain);
    EXPECT_EQ(jsonRun.out.find('\\'), std::string::npos) << jsonRun.out;
    EXPECT_NE(jsonRun.out.find("\"phonetics\": \"caf\xC3\xA9 - "), std::string::npos)
        << jsonRun.out;
    const std::vector<std::string> joined = Lines(accentRun.out);
    const std::string e = "\xC3\xA9";
    EXPECT_EQ(std::set<std::string>(joined.begin(), joined.end()),
              std::set<std::string>(
                  {naive + e + naive, naive + e + uber, uber + e + naive, uber + e + uber}));
}

// Without a list of one's own a passphrase is drawn from the standard list
// built into the program: the words of its file, each one chance in 7776. A
// separator that some words hold leaves them out, and a note says so once;
// --min-bits chooses the number of words of passphrases that --capitalize
// asks for.
TEST(SorvaneCli, MakesPassphrasesOfTheBuiltInList)
{
    std::string path = SORVANE_WORD_LIST;
#if defined(_WIN32)
    path = "Z:" + path; // Wine's drive for the Unix root
#endif
    std::set<std::string> list;
    std::ifstream file(path, std::ios::binary);
    for (std::string line; std::getline(file, line);) {
        list.insert(line.substr(line.find('\t') + 1));
    }
    ASSERT_EQ(list.size(), 7776u);
    // Whether a passphrase is count words of the list, capitalised if asked.
    const auto ofList = [&](const std::string& passphrase, char separator, std::size_t count,
                            bool capitalized) {
        std::vector<std::string> words = Lines(passphrase, std::string_view(&separator, 1));
        for (std::string& word : words) {
            if (capitalized != (!word.empty() && word[0] >= 'A' && word[0] <= 'Z')) {
                return false;
            }
            word[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(word[0])));
            if (list.count(word) == 0) {
                return false;
            }
        }
        return words.size() == count;
    };
    const ProgramRun json = RunCli({"--words=4", "-n50", "-fjson"});
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.err, "");
    const std::regex object(
        R"re("password": "([^"]*)", "information_bits": ([^,]*),.*"list_words": (\d+)\})re");
    int objects = 0;
    for (auto it = std::sregex_iterator(json.out.begin(), json.out.end(), object);
         it != std::sregex_iterator(); ++it, ++objects) {
        EXPECT_TRUE(ofList(it->str(1), ' ', 4, false)) << it->str(1);
        EXPECT_NEAR(std::strtod(it->str(2).c_str(), nullptr), 4 * std::log2(7776.0), 1e-9);
        EXPECT_EQ(it->str(3), "7776");
    }
    EXPECT_EQ(objects, 50);

    const ProgramRun dashed = RunCli({"--words=3", "--separator=-", "-n50"});
    const ProgramRun capitals = RunCli({"--min-bits=60", "--capitalize", "-n50"});
    EXPECT_EQ(dashed.status + capitals.status, 0) << capitals.err;
    EXPECT_EQ(dashed.err, "sorvane-cli: note: 4 words of the list hold the separator '-' and are "
                          "left out; 7772 remain" +
                              std::string(kSystemLineEnd));
    EXPECT_EQ(capitals.err, "");
    for (const auto& [run, separator, count, capitalized] :
         {std::tuple{&dashed, '-', 3, false}, {&capitals, ' ', 5, true}}) {
        const std::vector<std::string> lines = Lines(run->out);
        EXPECT_EQ(lines.size(), 50u);
        for (const std::string& line : lines) {
            EXPECT_TRUE(ofList(line, separator, count, capitalized)) << line;
        }
    }
}

// A word list that leaves exactly four passwords gives exactly those, then
// status 1. It is read with the dialog's text-mode rules: CR LF, spaces
// trimmed, nothing after a Ctrl-Z (so the word written there is still allowed).
TEST(SorvaneCli, DictionaryLeavesExactlyTheWordsItDoesNotList)
{
    const fs::path list =
        fs::temp_directory_path() / ("sorvane-cli-" + std::to_string(std::random_device{}()));
    const std::set<std::string> allowed = {"234", "987", "562", "458"};
    std::string words;
    for (int n = 1000; n < 2000; ++n) {
        const std::string word = std::to_string(n).substr(1);
        if (allowed.count(word) == 0) {
            words += (n % 3 == 0 ? " " + word + "\t" : word) + "\r\n";
        }
    }
    std::ofstream(list, std::ios::binary) << words << '\x1A' << "458\r\n";
    const ProgramRun run = RunCli({"-t", "digits", "-l", "3", "-d", list.string(), "-n", "5"});
    fs::remove(list);
    EXPECT_EQ(run.status, 1);
    const std::vector<std::string> lines = Lines(run.out);
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), allowed);
    EXPECT_EQ(lines.size(), 4u);
    EXPECT_NE(run.err.find("4 of 5"), std::string::npos) << run.err;
}

// Exactly the passwords the options allow, each once, however rarely the
// last of them is drawn; asked for more, status 1 and a message, also when
// they allow none at all (too few characters for the five-position rule)
// and one is asked for, at the default length too. Letters and digits give
// all 141960 of length 3; six characters without repeats give their 720
// orders, the rest of the password following, less the 120 that would begin
// with a hyphen.
TEST(SorvaneCli, MakesEveryPasswordTheOptionsAllowAndNoMore)
{
    const std::vector<std::string> digits = {"-tdigits", "-l3", "--allow-similar",
                                             "--allow-repeats"};
    std::vector<std::string> symbols = digits;
    symbols.push_back("--symbols=#%");
    std::vector<std::string> everyKind = symbols;
    everyKind.push_back("--every-kind"); // 12^3 less 10^3 and 2^3 without one kind
    // "ABb" and "AbB" both fold to "abb"; capitals mark where the words begin.
    const fs::path list = TempPath("sorvane-cli-passphrase-words");
    const fs::path excluded = TempPath("sorvane-cli-passphrase-excluded");
    std::ofstream(list) << "a\nab\nb\nbb\n";
    std::ofstream(excluded) << "abb\n";
    const std::vector<std::string> words = {"--words=2", "--word-list", list.string(),
                                            "--separator=", "--capitalize"};
    std::vector<std::string> wordsExcluded = words;
    wordsExcluded.insert(wordsExcluded.end(), {"-d", excluded.string()});
    const struct {
        std::vector<std::string> options;
        std::size_t made, asked; // made is all the options allow when below asked
    } kCases[] = {
        {digits, 1000, 1000},
        {digits, 1000, 1001},
        {{"-l", "3"}, 141960, 141961},
        {symbols, 1728, 1728},
        {symbols, 1728, 1729},
        {everyKind, 720, 720},
        {everyKind, 720, 721},
        {words, 16, 16},
        {wordsExcluded, 14, 15},
        {{"-tdigits", "--exclude=012345678"}, 0, 1},
        {{"-tdigits", "--exclude=01234567", "-l3"}, 0, 1},
        {{"--include=a", "-tdigits", "--exclude=0123456789"}, 0, 1},
        {{"-tdigits", "--exclude=2345678", "--min-bits=1"}, 0, 1},
        {{"-tdigits", "--include=+-", "--exclude=2345", "-l10"}, 1, 1},
        {{"-tdigits", "--include=+-", "--exclude=2345", "-l10"}, 600, 601},
    };
    for (const auto& c : kCases) {
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"-n", std::to_string(c.asked)});
        const ProgramRun run = RunCli(arguments);
        const std::vector<std::string> lines = Lines(run.out);
        EXPECT_EQ(lines.size(), c.made);
        EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), c.made);
        const std::string madeOf = std::to_string(c.made) + " of " + std::to_string(c.asked);
        EXPECT_EQ(run.status, c.asked == c.made ? 0 : 1) << madeOf;
        EXPECT_EQ(run.err.find(madeOf) != std::string::npos, c.asked != c.made) << run.err;
    }
    fs::remove(list);
    fs::remove(excluded);
}

// The least information --verbose tells, cut to a tenth of a bit.
double LeastBitsTold(const std::string& err)
{
    const std::size_t at = err.find("at least ");
    return at == std::string::npos ? -1 : std::strtod(err.c_str() + at + 9, nullptr);
}

double ChiSquare(const std::map<char, int>& seen, const std::string& cells, int draws)
{
    const double expected = static_cast<double>(draws) / static_cast<double>(cells.size());
    double sum = 0;
    for (const char cell : cells) {
        const auto found = seen.find(cell);
        const int count = found == seen.end() ? 0 : found->second;
        sum += (count - expected) * (count - expected) / expected;
    }
    return sum;
}

// With no options every character of the 54 letters and digits without
// look-alikes is equally likely: the first characters of 1000 passwords fall
// alike on them (chi-square far below what the Windows program's weights
// give, where nearly half are digits, as they are with --weighted). The
// length is the shortest that gives the least likely password 80 bits:
// every figure reaches 80, as the least one --verbose tells does, and a
// character fewer falls short.
TEST(SorvaneCli, DefaultDrawsEvenlyAndGivesEveryPassword80Bits)
{
    constexpr int kCount = 1000;
    const ProgramRun run = RunCli({"-n", std::to_string(kCount), "-fjson", "-v"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(OneLineMessage(run.err)) << run.err;
    const double least = LeastBitsTold(run.err);
    EXPECT_GE(least, 80) << run.err;
    std::string set;
    for (const std::string_view range : {"az", "AZ", "09"}) {
        for (char c = range[0]; c <= range[1]; ++c) {
            set += std::string_view("0Ooli1Ij").find(c) == std::string_view::npos ? c : '\0';
        }
    }
    std::erase(set, '\0');
    std::map<char, int> first;
    std::size_t length = 0;
    const std::vector<std::smatch> rows = JsonRows(run.out);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kCount));
    for (const std::smatch& row : rows) {
        ++first[row.str(1).front()];
        length = row.str(1).size();
        EXPECT_GE(std::strtod(row.str(2).c_str(), nullptr), least) << row.str(1);
        EXPECT_EQ(set.find(row.str(1).front()) == std::string::npos, false) << row.str(1);
    }
    const double freedom = static_cast<double>(set.size() - 1);
    EXPECT_LT(ChiSquare(first, set, kCount), freedom + 5 * std::sqrt(2 * freedom));
    const ProgramRun shorter = RunCli({"-v", "-l", std::to_string(length - 1)});
    EXPECT_LT(LeastBitsTold(shorter.err), 80) << shorter.err;
    const ProgramRun weighted = RunCli({"--weighted", "-n", std::to_string(kCount), "-l3"});
    const auto digits = std::count_if(weighted.out.begin(), weighted.out.end(),
                                      [](char c) { return c >= '0' && c <= '9'; });
    // 208 of 438 by the weights at each place, with or without repeats.
    EXPECT_NEAR(static_cast<double>(digits) / (3 * kCount), 208.0 / 438, 0.05);
}

// --verbose tells once, on standard error, how many passwords the options
// allow, how many the dictionary takes and how many are left, and the least
// information of any; for passphrases as for characters.
TEST(SorvaneCli, VerboseTellsTheCountAndTheLeastInformation)
{
    const fs::path list = TempPath("sorvane-cli-verbose-list");
    std::ofstream(list) << "123\n456\n456\nabc\n789\n";
    const ProgramRun run = RunCli(
        {"-v", "-tdigits", "--allow-similar", "--allow-repeats", "-l3", "-d", list.string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(OneLineMessage(run.err)) << run.err;
    for (const std::string_view told :
         {"allow 1000 passwords", "takes 3, leaving 997 passwords", "at least 9.9 bits"}) {
        EXPECT_NE(run.err.find(told), std::string::npos) << told << " in " << run.err;
    }
    std::ofstream(list) << "ant\nbee\ncat\ndog\n";
    const ProgramRun words = RunCli({"--verbose", "--words=3", "--word-list", list.string()});
    fs::remove(list);
    EXPECT_EQ(words.status, 0);
    EXPECT_TRUE(OneLineMessage(words.err)) << words.err;
    EXPECT_NE(words.err.find("allow 64 passphrases; each carries at least 6.0 bits"),
              std::string::npos)
        << words.err;
}

// "sorvane-cli -n 1000000 | head -1": the reader leaves after one line; the
// program ends quietly, neither killed by the closed pipe nor complaining.
TEST(SorvaneCli, ClosedOutputEndsTheRunQuietly)
{
    const ProgramRun run = RunCli({"-n", "1000000"}, true);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.find(kSystemLineEnd), 15u) << run.out.substr(0, 40);
}

} // namespace
