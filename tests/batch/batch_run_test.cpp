#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "batch/batch_run.h"

namespace {

// Records what a batch does to the dialog, in order.
class RecordingHost : public BatchHost {
public:
    PasswordOptions options;
    bool running = true;
    bool closing = false;
    int stopAfterPasswords = -1; // IsRunning turns false after this many rows

    std::vector<std::string> calls;
    std::vector<int> progress;
    std::vector<PasswordRow> rows;
    std::vector<std::string> statuses;
    int maxBits = -1;
    int minBits = -1;

    bool IsRunning() override
    {
        if (stopAfterPasswords >= 0 && static_cast<int>(rows.size()) >= stopAfterPasswords) {
            running = false;
        }
        return running;
    }
    bool IsClosing() override { return closing; }
    void EnableOptionControls(bool enable) override
    {
        calls.push_back(enable ? "enable" : "disable");
    }
    void UpdateCaseControls() override { calls.push_back("case"); }
    PasswordOptions ReadOptions() override
    {
        calls.push_back("options");
        return options;
    }
    void ClearList() override
    {
        calls.push_back("clear");
        rows.clear();
    }
    void SetStatus(std::string_view text) override
    {
        calls.push_back("status");
        statuses.emplace_back(text);
    }
    void SetProgress(int percentage) override
    {
        calls.push_back("progress");
        progress.push_back(percentage);
    }
    void AddRow(const PasswordRow& row) override
    {
        calls.push_back("row");
        rows.push_back(row);
    }
    void ShowPassword(const PasswordRow& row, int maxValue, int minValue) override
    {
        calls.push_back("show");
        EXPECT_EQ(row.password, rows.back().password); // shown after it is listed
        maxBits = maxValue;
        minBits = minValue;
    }
};

class CancellingSink : public ProgressSink {
public:
    int reportsBeforeCancel = -1;
    std::vector<int> reports;
    bool ReportProgress(int percentage) override
    {
        reports.push_back(percentage);
        return reportsBeforeCancel < 0 || static_cast<int>(reports.size()) < reportsBeforeCancel;
    }
};

class BatchRunTest : public ::testing::Test {
protected:
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("sorvane-batch-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string dictionaryPath = (folder / "dictionary.txt").string();

    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }

    void WriteDictionary(const std::vector<std::string>& words)
    {
        std::ofstream file(dictionaryPath, std::ios::binary);
        for (const auto& word : words) {
            file << word << '\n';
        }
    }
};

TEST_F(BatchRunTest, ReportsProgressInWholePercentages)
{
    const struct {
        int count;
        std::vector<int> positions;
    } kCases[] = {
        {1, {0, 100}},
        {3, {0, 33, 66, 100}},
        {4, {0, 25, 50, 75, 100}},
    };
    for (const auto& c : kCases) {
        GenerationBatch batch(dictionaryPath);
        RecordingHost host;
        host.options.count = c.count;
        CancellingSink sink;
        batch.Run(host, sink);
        EXPECT_EQ(host.progress, c.positions) << c.count;
        EXPECT_EQ(host.rows.size(), static_cast<std::size_t>(c.count));
    }
}

TEST_F(BatchRunTest, ChangesTheDialogInTheBatchOrder)
{
    GenerationBatch batch(dictionaryPath, BatchRandom::Seeded);
    RecordingHost host;
    host.options.count = 2;
    CancellingSink sink;
    batch.Run(host, sink);
    EXPECT_EQ(host.calls, (std::vector<std::string>{
                              "disable", "clear", "status", "options", "progress", "row", "show",
                              "progress", "row", "show", "progress", "status", "enable", "case"}));
    EXPECT_EQ(host.statuses,
              (std::vector<std::string>{"Generating passwords...", "2 password(s) created."}));
    const int first = host.rows[0].entropyBits;
    const int second = host.rows[1].entropyBits;
    EXPECT_EQ(host.maxBits, std::max(first, second));
    EXPECT_EQ(host.minBits, std::min(first, second));
    EXPECT_NE(host.rows[0].password, host.rows[1].password);
    EXPECT_EQ(host.rows[0].password.size(), 10u);
}

TEST_F(BatchRunTest, CountOfZeroOrLessMakesNothingButEndsNormally)
{
    for (const int count : {0, -5}) {
        GenerationBatch batch(dictionaryPath);
        RecordingHost host;
        host.options.count = count;
        CancellingSink sink;
        batch.Run(host, sink);
        EXPECT_TRUE(host.rows.empty());
        EXPECT_EQ(host.progress, (std::vector<int>{100}));
        EXPECT_EQ(host.statuses.back(), std::to_string(count) + " password(s) created.");
        EXPECT_EQ(host.calls.back(), "case");
    }
}

TEST_F(BatchRunTest, ReadsTheDictionaryOnlyOnce)
{
    GenerationBatch batch(dictionaryPath);
    RecordingHost host;
    host.options.count = 1;
    CancellingSink sink;
    batch.Run(host, sink); // no file yet
    EXPECT_TRUE(batch.DictionaryLoaded());

    WriteDictionary({"appears", "later"});
    batch.Run(host, sink);
    EXPECT_FALSE(batch.Dictionary().Contains("appears"));
    EXPECT_TRUE(sink.reports.empty());
}

TEST_F(BatchRunTest, EndsWithAClearStatusWhenNoPasswordFits)
{
    // Every password that "Only numbers", length 3 and both exclusions allow.
    std::vector<std::string> all;
    for (char a = '2'; a <= '9'; ++a) {
        for (char b = '2'; b <= '9'; ++b) {
            for (char c = '2'; c <= '9'; ++c) {
                if (a != b && b != c && a != c) {
                    all.push_back({a, b, c});
                }
            }
        }
    }
    ASSERT_EQ(all.size(), 336u);
    // Leave two possible, ask for five.
    all.erase(all.begin(), all.begin() + 2);
    WriteDictionary(all);

    GenerationBatch batch(dictionaryPath);
    RecordingHost host;
    host.options.count = 5;
    host.options.length = 3;
    host.options.characterType = CharacterType::OnlyNumbers;
    CancellingSink sink;
    batch.Run(host, sink);
    EXPECT_EQ(host.rows.size(), 2u);
    EXPECT_EQ(host.progress.back(), 100);
    EXPECT_EQ(host.statuses.back(), "2 password(s) created; no other password fits these options.");
    EXPECT_EQ(host.calls.back(), "case"); // controls given back
    EXPECT_FALSE(sink.reports.empty());
    EXPECT_EQ(sink.reports.back(), 100);
}

TEST_F(BatchRunTest, StopsWhereItIsAsked)
{
    // Stopped by the closing dialog in the middle of a batch: rows made stay,
    // the controls are left alone.
    GenerationBatch batch(dictionaryPath);
    RecordingHost host;
    host.options.count = 10;
    host.stopAfterPasswords = 3;
    host.closing = true;
    CancellingSink sink;
    batch.Run(host, sink);
    EXPECT_EQ(host.rows.size(), 3u);
    EXPECT_EQ(host.progress.back(), 100);
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "enable"), 0);

    // Stopped during the word file: no batch at all, and the file is never
    // read again by this dialog.
    WriteDictionary({"one", "two", "three", "four"});
    GenerationBatch loading(dictionaryPath);
    RecordingHost closingHost;
    closingHost.closing = true;
    closingHost.running = false;
    CancellingSink cancel;
    cancel.reportsBeforeCancel = 2;
    loading.Run(closingHost, cancel);
    EXPECT_EQ(cancel.reports.size(), 2u);
    EXPECT_TRUE(loading.Dictionary().Contains("one"));
    EXPECT_FALSE(loading.Dictionary().Contains("two"));
    EXPECT_EQ(closingHost.calls, (std::vector<std::string>{"disable"}));
}

TEST_F(BatchRunTest, GivesTheControlsBackWhenARunCannotBegin)
{
    // Without a running event every poll answers false; the run still must
    // not leave the dialog disabled.
    GenerationBatch batch(dictionaryPath);
    RecordingHost host;
    host.running = false;
    CancellingSink sink;
    batch.Run(host, sink);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"disable", "enable", "case"}));
}

#if !defined(_WIN32)
// Here a folder opens like a file and fails at its first read.
TEST_F(BatchRunTest, TheBatchAfterADamagedWordListSaysSo)
{
    GenerationBatch batch(folder.string());
    RecordingHost host;
    host.options.count = 2;
    CancellingSink sink;
    batch.Run(host, sink);
    EXPECT_EQ(host.statuses.back(),
              "2 password(s) created; the word list could not be read whole.");
    batch.Run(host, sink);
    EXPECT_EQ(host.statuses.back(), "2 password(s) created.");
}
#endif

TEST(DictionaryPathBeside, ReplacesTheExecutableName)
{
    EXPECT_EQ(DictionaryPathBeside("C:\\Tools\\Sorvane\\sorvane.exe"),
              "C:\\Tools\\Sorvane\\dictionary.txt");
    EXPECT_EQ(DictionaryPathBeside("sorvane.exe"), "sorvane.exe\\dictionary.txt");
}

} // namespace

namespace {

class ListedRows : public PasswordList {
public:
    std::vector<std::string> rows;
    bool Contains(std::string_view password) const override
    {
        return std::find(rows.begin(), rows.end(), password) != rows.end();
    }
    void Add(const PasswordRow& row) override { rows.push_back(row.password); }
};

// A word of the file, written in small letters, keeps out a candidate that
// spells it with capitals; the same candidate in the list would not.
TEST_F(BatchRunTest, DictionaryWordsAreRejectedInAnyCaseMix)
{
    PasswordOptions options;
    options.length = 8;
    RandomSource preview;
    preview.Seed(78);
    const std::string first = BuildPassword(preview, options);
    const std::string second = BuildPassword(preview, options);
    std::string lower = first;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    ASSERT_NE(lower, first) << "the seed must give a candidate with capitals";
    WriteDictionary({lower});

    ExclusionDictionary dictionary;
    ASSERT_EQ(dictionary.LoadDictionary(dictionaryPath, nullptr), 1);
    RandomSource random;
    random.Seed(78);
    ListedRows list;
    const auto row = GeneratePassword(random, options, dictionary, list);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->password, second);
}

} // namespace
