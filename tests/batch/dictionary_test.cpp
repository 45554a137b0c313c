#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "batch/excluded_passwords.h"
#include "batch/exclusion_dictionary.h"

namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

class RecordingSink : public ProgressSink {
public:
    explicit RecordingSink(int answerFalseAtCall = 0) : stopAt(answerFalseAtCall) {}

    bool ReportProgress(int percentage) override
    {
        seen.push_back(percentage);
        return static_cast<int>(seen.size()) != stopAt;
    }

    std::vector<int> seen;

private:
    int stopAt;
};

Words StoredWords(const ExclusionDictionary& dictionary)
{
    Words words;
    if (const WordTable* table = dictionary.Table()) {
        table->ForEachWord([&](std::string_view word) { words.emplace_back(word); });
    }
    return words;
}

class DictionaryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("sorvane-dictionary-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        const fs::path path = folder / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    fs::path folder;
};

struct LineCase {
    const char* name;
    std::string bytes;
    Words words; // in file order
    int reads;   // fgets calls that returned text
};

std::vector<LineCase> LineCases()
{
    const std::string a1021(1021, 'a');
    const std::string a1022(1022, 'a');
    return {
        {"trimmed, tab-only line skipped, no final break",
         "  apple \n\t\nbanana",
         {"apple", "banana"},
         3},
        {"CR LF", "one\r\ntwo\r\n\r\nthree\r\n", {"one", "two", "three"}, 4},
        {"CR alone stays inside", "a\rb\r\n\r\r\n", {"a\rb"}, 2},
        {"inner spaces kept", " two  words\t\n", {"two  words"}, 1},
        {"lower-cased, duplicates kept", "WoRD\nword\nZ@[`{\n", {"word", "word", "z@[`{"}, 3},
        {"byte-order mark is part of the word",
         "\xEF\xBB\xBF"
         "first\n",
         {"\xEF\xBB\xBF"
          "first"},
         1},
        {"zero byte ends the read", std::string("ab\0cd\n\0x\nef", 11), {"ab", "ef"}, 3},
        {"Ctrl-Z ends the file", "one\ntwo\x1Athree\nfour\n", {"one", "two"}, 2},
        {"Ctrl-Z first",
         "\x1A"
         "one\n",
         {},
         0},
        {"2000 bytes", a1022 + std::string(978, 'b'), {a1022, std::string(978, 'b')}, 2},
        {"1022 bytes and LF take two reads", a1022 + "\nz\n", {a1022, "z"}, 3},
        {"1021 bytes and LF take one read", a1021 + "\nz\n", {a1021, "z"}, 2},
        {"1022 bytes and CR LF take two reads", a1022 + "\r\nz\r\n", {a1022, "z"}, 3},
        {"1021 bytes and CR LF take one read", a1021 + "\r\nz\r\n", {a1021, "z"}, 2},
        {"CR at a read's end before a letter", a1021 + "\rb\n", {a1021, "b"}, 2},
        {"1021 bytes, CR CR LF", a1021 + "\r\r\n", {a1021}, 2},
        {"only breaks", "\n\r\n \n", {}, 3},
    };
}

// Every case is read with blocks far smaller than a read, so that no cut may
// depend on where a block happens to end.
TEST_F(DictionaryTest, LinesAreCutTrimmedAndStoredAsTheWindowsRuntimeReadsThem)
{
    for (const LineCase& c : LineCases()) {
        SCOPED_TRACE(c.name);
        const std::string path = Write("words.txt", c.bytes);
        for (std::size_t blockSize :
             {std::size_t{1}, std::size_t{7}, kDictionaryReadLimit + 1, kDictionaryBlockSize}) {
            SCOPED_TRACE(blockSize);
            std::FILE* file = std::fopen(path.c_str(), "rb");
            ASSERT_NE(file, nullptr);
            ExclusionDictionary dictionary;
            RecordingSink sink;
            const int count = dictionary.LoadFromStream(file, &sink, blockSize);
            std::fclose(file);
            EXPECT_EQ(count, static_cast<int>(c.words.size()));
            EXPECT_EQ(StoredWords(dictionary), c.words);
            EXPECT_EQ(static_cast<int>(sink.seen.size()), c.reads);
        }
        ExclusionDictionary dictionary;
        EXPECT_EQ(dictionary.LoadDictionary(path, nullptr), static_cast<int>(c.words.size()));
        EXPECT_EQ(StoredWords(dictionary), c.words);
    }
}

std::string Folded(std::string word)
{
    for (char& c : word) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return word;
}

// Lookups answer as a plain set of the stored words would, on the files
// above, on words whose whole hashes are equal, and on enough words that the
// index grows many times: every stored word in any case and with spaces
// around it, never a word one byte longer or shorter, nor a word of equal
// hash that was not stored.
TEST_F(DictionaryTest, LookupsAnswerAsTheSetOfStoredWords)
{
    std::vector<LineCase> cases = LineCases();
    ASSERT_EQ(WordHash("k6842l"), WordHash("5zgdba"));
    ASSERT_EQ(WordHash("79tspa"), WordHash("7kxw2q"));
    cases.push_back(
        {"equal hashes", "k6842l\n5zgdba\n7kxw2q\n", {"k6842l", "5zgdba", "7kxw2q"}, 3});
    // Eight words of one hash whose home is the last slot of an index of
    // 1024, among 600 others: their run reaches past the end of the index.
    LineCase top{"equal hashes at the top", "", {}, 0};
    for (int i = 0; i < 600; ++i) {
        top.words.push_back("f" + std::to_string(i));
    }
    for (const char* a : {"k6842l", "5zgdba"}) {
        for (const char* b : {"79tspa", "7kxw2q"}) {
            for (const char* c : {"n8vsph", "81nmn5"}) {
                top.words.push_back(std::string("q185") + a + b + c);
                EXPECT_EQ(WordHash(top.words.back()), 3825669935u);
            }
        }
    }
    for (const std::string& word : top.words) {
        top.bytes += word + "\n";
    }
    cases.push_back(top);
    LineCase many{"many", "", {}, 0};
    for (int i = 0; i < 5000; ++i) {
        many.words.push_back("w" + std::to_string(i % 4000 * 7919));
        many.bytes += many.words.back() + "\n";
    }
    cases.push_back(many);
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExclusionDictionary dictionary;
        dictionary.LoadDictionary(Write("words.txt", c.bytes), nullptr);
        const std::set<std::string> stored(c.words.begin(), c.words.end());
        std::vector<std::string> asked = {"k6842l", "5zgdba", "79tspa", "", " "};
        for (const std::string& word : c.words) {
            std::string upper = word;
            for (char& ch : upper) {
                ch = (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
            }
            asked.insert(asked.end(), {word, upper, " " + upper + "\t", word + "x",
                                       word.substr(0, word.size() - 1)});
        }
        for (const std::string& password : asked) {
            const std::string_view word = DictionaryWord(password);
            EXPECT_EQ(dictionary.Contains(password),
                      !word.empty() && stored.count(Folded(std::string(word))) > 0)
                << '"' << password << '"';
        }
    }
}

#if defined(_WIN32)
bool HasOnlyCrLfBreaksAndNoCtrlZ(const std::string& bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\x1A' || (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))) {
            return false;
        }
    }
    return true;
}

// The runtime's own text mode is the reference for the words, lower-cased.
// Its position after a read is the true offset only when every break is
// CR LF: it counts each LF still in its buffer as two bytes, and is lost after
// a Ctrl-Z. The dictionary reports the true offset always, so percentages are
// compared only where the runtime gets it right.
TEST_F(DictionaryTest, MatchesTextModeFgetsOfTheRuntime)
{
    for (const LineCase& c : LineCases()) {
        SCOPED_TRACE(c.name);
        const std::string path = Write("words.txt", c.bytes);
        Words expectedWords;
        std::vector<int> expectedProgress;
        std::FILE* file = std::fopen(path.c_str(), "rt");
        ASSERT_NE(file, nullptr);
        char buffer[1024] = {};
        while (std::fgets(buffer, 1023, file)) {
            const std::int64_t position = _ftelli64(file);
            expectedProgress.push_back(
                ProgressPercentage(position, static_cast<std::int64_t>(c.bytes.size())));
            std::string word = buffer;
            word.erase(word.find_last_not_of(" \t\r\n") + 1);
            word.erase(0, word.find_first_not_of(" \t\r\n"));
            for (char& byte : word) {
                byte = (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : byte;
            }
            if (!word.empty()) {
                expectedWords.push_back(word);
            }
        }
        std::fclose(file);

        ExclusionDictionary dictionary;
        RecordingSink sink;
        dictionary.LoadDictionary(path, &sink);
        EXPECT_EQ(StoredWords(dictionary), expectedWords);
        if (HasOnlyCrLfBreaksAndNoCtrlZ(c.bytes)) {
            EXPECT_EQ(sink.seen, expectedProgress);
        }
    }
}
#endif

TEST_F(DictionaryTest, ProgressFollowsTheFileOffsetAfterEachRead)
{
    const std::string a1022(1022, 'a');
    const struct {
        const char* name;
        std::string bytes;
        std::vector<int> percentages;
    } cases[] = {
        {"three lines", "  apple \n\t\nbanana", {52, 64, 100}},
        {"CR LF counts both bytes", "ab\r\ncd\r\n", {50, 100}},
        {"read ends before CR LF", a1022 + "\r\n", {99, 100}},
        {"Ctrl-Z: the rest is never read", "one\ntwo\x1Athree", {30, 53}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExclusionDictionary dictionary;
        RecordingSink sink;
        dictionary.LoadDictionary(Write("words.txt", c.bytes), &sink);
        EXPECT_EQ(sink.seen, c.percentages);
    }
}

TEST_F(DictionaryTest, CancelStopsAfterTheReadJustMadeWithoutStoringIt)
{
    const std::string path = Write("words.txt", "one\n\ntwo\nthree\nfour\n");
    ExclusionDictionary dictionary;
    RecordingSink sink(4);
    EXPECT_EQ(dictionary.LoadDictionary(path, &sink), 2);
    EXPECT_EQ(StoredWords(dictionary), (Words{"one", "two"}));
    EXPECT_EQ(sink.seen, (std::vector<int>{20, 25, 45, 75}));
    EXPECT_FALSE(dictionary.Contains("three"));
}

// A sparse file 1000 bytes beyond 4 GB: cut to 32 bits its size would be 1000
// and the first read alone would report 60 %.
TEST_F(DictionaryTest, ProgressOfAFileBeyondFourGigabytes)
{
    const std::string path = Write("huge.txt", std::string(599, 'a') + "\n");
    const std::int64_t size = (std::int64_t{1} << 32) + 1000;
    std::error_code error;
    fs::resize_file(path, static_cast<std::uintmax_t>(size), error);
    if (error) {
        GTEST_SKIP() << "no room for a sparse file: " << error.message();
    }
    // After the line come reads of 1022 zero bytes; the first that reaches
    // 1 % is the first to end at or past this offset.
    const std::int64_t onePercent = (size + 99) / 100;
    const std::int64_t reachingOnePercent = 1 + (onePercent - 600 + 1021) / 1022;
    class StopAtOnePercent : public ProgressSink {
    public:
        bool ReportProgress(int percentage) override
        {
            ++calls;
            first = first < 0 ? percentage : first;
            return percentage < 1;
        }
        std::int64_t calls = 0;
        int first = -1;
    } sink;
    ExclusionDictionary dictionary;
    EXPECT_EQ(dictionary.LoadDictionary(path, &sink), 1);
    EXPECT_EQ(sink.first, 0);
    EXPECT_EQ(sink.calls, reachingOnePercent);
}

TEST(ProgressPercentage, IsExactWithoutOverflowAndStaysWithinRange)
{
    constexpr std::int64_t kTenMillionLineFile = 100'000'000; // bytes; 32-bit arithmetic overflows
    const struct {
        std::int64_t position, size;
        int percentage;
    } cases[] = {
        {0, 0, 0},
        {5, 0, 0},
        {0, 10, 0},
        {1, 3, 33},
        {2, 3, 66},
        {3, 3, 100},
        {kTenMillionLineFile / 2, kTenMillionLineFile, 50},
        {kTenMillionLineFile - 1, kTenMillionLineFile, 99},
        {(std::int64_t{5} << 30) * 3 / 4, std::int64_t{5} << 30, 75}, // 5 GB file
        {INT64_MAX / 2, INT64_MAX, 49},
        {INT64_MAX - 1, INT64_MAX, 99},
        {INT64_MAX / 100 * 37 + 1, INT64_MAX / 100 * 37 + 2, 99},
        {12, 10, 100}, // the file grew while it was read
        {-1, 10, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressPercentage(c.position, c.size), c.percentage)
            << c.position << " of " << c.size;
    }
}

TEST_F(DictionaryTest, WordsMatchInAnyCaseButOnlyWhole)
{
    ExclusionDictionary dictionary;
    ASSERT_EQ(dictionary.LoadDictionary(Write("words.txt", "Paris\nabc123\nx y\nzz9\n"), nullptr),
              4);
    const struct {
        const char* password;
        bool contained;
    } cases[] = {
        {"Paris", true},  {"paris", true},    {"PARIS", true},     {"ZZ9", true},
        {"abc123", true}, {"ABC123", true},   {"aBc123", true},    {"abc1234", false},
        {"abc12", false}, {"xabc123", false}, {" ABC123\t", true}, {"X Y", true},
        {"", false},      {"   ", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dictionary.Contains(c.password), c.contained) << '"' << c.password << '"';
    }
}

// Under the dialog's first options at length 3, a word stands for the
// passwords that fold to it: 2 per letter whose class has both cases
// (l and j keep only L and J), 1 per digit; a word listed again, even in
// other letters' case, counts once.
TEST_F(DictionaryTest, ExcludesEachDifferentWordsPasswordsOnce)
{
    PasswordOptions options;
    options.length = 3;
    const PasswordSpace space(DialogRule(options), 3);
    ExclusionDictionary dictionary;
    EXPECT_EQ(ExcludedPasswords(dictionary, space), PasswordCount());
    dictionary.LoadDictionary(Write("words.txt",
                                    "ab2\nab2\nAB2\n"      // 4, once
                                    "Kx9\nlj3\n"           // 4, and 1
                                    "aa2\nAxa\no23\nz 2\n" // break the rules: 0
                                    "ab\nabcd\n"),         // other lengths: 0
                              nullptr);
    EXPECT_EQ(ExcludedPasswords(dictionary, space), PasswordCount(9));
}

TEST_F(DictionaryTest, EachLoadReplacesTheWordsWhateverItFinds)
{
    ExclusionDictionary dictionary;
    EXPECT_EQ(dictionary.Table(), nullptr);
    EXPECT_FALSE(dictionary.Contains("anything"));

    EXPECT_EQ(dictionary.LoadDictionary(Write("first.txt", "alpha\nbeta\n"), nullptr), 2);
    EXPECT_EQ(dictionary.LoadDictionary(Write("second.txt", "gamma\n"), nullptr), 1);
    EXPECT_EQ(StoredWords(dictionary), Words{"gamma"});
    EXPECT_FALSE(dictionary.Contains("alpha"));

    RecordingSink sink;
    EXPECT_EQ(dictionary.LoadDictionary(Write("empty.txt", ""), &sink), 0);
    ASSERT_NE(dictionary.Table(), nullptr);
    EXPECT_EQ(dictionary.Table()->EntryCount(), 0);
    EXPECT_TRUE(sink.seen.empty());

    dictionary.LoadDictionary(Write("third.txt", "delta\n"), nullptr);
    EXPECT_EQ(dictionary.LoadDictionary((folder / "missing.txt").string(), &sink), 0);
    ASSERT_NE(dictionary.Table(), nullptr);
    EXPECT_EQ(dictionary.Table()->EntryCount(), 0);
    EXPECT_FALSE(dictionary.Contains("delta"));
    EXPECT_TRUE(sink.seen.empty());
}

TEST(WordHash, MatchesKnownValuesWithSignedBytes)
{
    const struct {
        std::string word;
        std::uint32_t hash, bucket;
    } cases[] = {
        {"", 0, 0},
        {"a", 97, 97},
        {"ab", 6363201, 63201},
        {"password", 3471203675u, 203675},
        {"\xE9t\xE9", 4112562142u, 162142},
        {"Zebra-42 stripes", 82620043, 120043},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WordHash(c.word), c.hash) << c.word;
        EXPECT_EQ(WordTable::BucketOf(c.word), c.bucket) << c.word;
    }
}

TEST(WordTable, ComparesWholeBytesWithinASharedBucket)
{
    // "bna", "aaav" and "bnalmw6" land in one bucket, "azqa" and "baak" in another.
    ASSERT_EQ(WordTable::BucketOf("bna"), WordTable::BucketOf("aaav"));
    ASSERT_EQ(WordTable::BucketOf("bna"), WordTable::BucketOf("bnalmw6"));
    ASSERT_EQ(WordTable::BucketOf("azqa"), WordTable::BucketOf("baak"));
    WordTable table;
    EXPECT_FALSE(table.Contains("aaav"));
    for (const char* word : {"aaav", "bnalmw6", "azqa", "azqa", "\xE9t\xE9"}) {
        table.Insert(word);
    }
    EXPECT_EQ(table.EntryCount(), 5);
    const struct {
        const char* word;
        bool contained;
    } cases[] = {
        {"aaav", true},      {"bnalmw6", true},    {"bna", false},
        {"bnalmw", false},   {"azqa", true},       {"baak", false},
        {"\xE9t\xE9", true}, {"\xC9t\xC9", false}, {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(table.Contains(c.word), c.contained) << c.word;
    }

    Words visited;
    table.ForEachWord([&](std::string_view word) { visited.emplace_back(word); });
    EXPECT_EQ(visited, (Words{"aaav", "bnalmw6", "azqa", "azqa", "\xE9t\xE9"}));

    EXPECT_THROW(table.Insert(std::string(WordTable::kMaxWordLength + 1, 'x')), std::length_error);
    EXPECT_EQ(table.EntryCount(), 5);
}

TEST(WordTable, KeepsEveryWordAcrossManyBlocks)
{
    WordTable table;
    Words words;
    for (int i = 0; i < 200000; ++i) {
        words.push_back("w" + std::to_string(i * 7919) +
                        std::string(static_cast<std::size_t>(i % 40), 'q'));
        table.Insert(words.back());
        if (i == 0) {
            words.push_back(std::string(WordTable::kMaxWordLength, 'L')); // beyond the first block
            table.Insert(words.back());
        }
    }
    EXPECT_EQ(table.EntryCount(), static_cast<std::int64_t>(words.size()));
    for (const std::string& word : words) {
        ASSERT_TRUE(table.Contains(word)) << word;
        ASSERT_FALSE(table.Contains(word + "!")) << word;
    }
    Words visited;
    table.ForEachWord([&](std::string_view word) { visited.emplace_back(word); });
    EXPECT_EQ(visited, words);
}

// Settling sorts words by the top bits of their hash mixed as the index
// mixes it, then within each such part; a part crowded with words, each
// listed twice, must be sorted and placed as well as a sparse one.
TEST(WordTable, SettlesAPartOfTheIndexCrowdedWithWords)
{
    const auto crowded = [](const std::string& word) {
        return (WordHash(word) * 0x9E3779B1u) >> 20 == 0x5A5;
    };
    Words words;
    for (int i = 0; words.size() < 700; ++i) {
        if (std::string word = "c" + std::to_string(i); crowded(word)) {
            words.push_back(word);
        }
    }
    WordTable table;
    for (int copy = 0; copy < 2; ++copy) {
        for (const std::string& word : words) {
            table.Append(word);
        }
    }
    // Enough others for an index of 2^17 slots, in which the crowded part's
    // homes spread over 32 of them.
    for (int i = 0; i < 60000; ++i) {
        table.Append("s" + std::to_string(i));
    }
    table.Settle();
    EXPECT_EQ(table.EntryCount(), 2 * 700 + 60000);
    for (const std::string& word : words) {
        ASSERT_TRUE(table.Contains(word)) << word;
        ASSERT_FALSE(table.Contains(word + "0")) << word;
    }
    for (int i = 0; i < 60000; ++i) {
        ASSERT_TRUE(table.Contains("s" + std::to_string(i)));
        ASSERT_FALSE(table.Contains("c" + std::to_string(i) + "s"));
    }
}

#if defined(__GLIBC__)
// A stream that gives some lines and then fails, as a file on a failing disk
// or a dropped network share would.
ssize_t ReadThenFail(void* cookie, char* buffer, std::size_t size)
{
    auto& remaining = *static_cast<std::string*>(cookie);
    if (remaining.empty()) {
        errno = EIO;
        return -1;
    }
    const std::size_t count = std::min(size, remaining.size());
    std::memcpy(buffer, remaining.data(), count);
    remaining.erase(0, count);
    return static_cast<ssize_t>(count);
}

TEST_F(DictionaryTest, AReadErrorKeepsTheWordsReadAndIsTold)
{
    std::string bytes = "alpha\nbeta\n";
    cookie_io_functions_t functions{};
    functions.read = ReadThenFail;
    std::FILE* failing = fopencookie(&bytes, "r", functions);
    ASSERT_NE(failing, nullptr);
    ExclusionDictionary dictionary;
    EXPECT_EQ(dictionary.LoadFromStream(failing, nullptr), 2);
    std::fclose(failing);
    EXPECT_FALSE(dictionary.LoadedWhole());
    EXPECT_TRUE(dictionary.Contains("beta"));

    dictionary.LoadDictionary(Write("whole.txt", "gamma\n"), nullptr);
    EXPECT_TRUE(dictionary.LoadedWhole());
}
#endif

} // namespace
