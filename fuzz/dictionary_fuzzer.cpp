// Loads arbitrary bytes as a word file and checks what the dictionary keeps
// against a byte-by-byte model of text-mode fgets, read by read: the same words,
// the same progress, and every stored word well formed and found again.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "batch/exclusion_dictionary.h"

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "dictionary_fuzzer: %s\n", what);
        std::abort();
    }
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

struct ModelRead {
    std::string word; // empty when nothing is stored
    std::int64_t endOffset;
};

// Text mode one character at a time: CR LF becomes LF, Ctrl-Z ends the text.
// Then fgets with room for 1022 characters, a zero byte cutting each read short.
std::vector<ModelRead> ModelReads(const std::uint8_t* data, std::size_t size)
{
    std::string text;
    std::vector<std::int64_t> offsetAfter;
    for (std::size_t i = 0; i < size && data[i] != 0x1A; ++i) {
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') {
            continue;
        }
        text.push_back(static_cast<char>(data[i]));
        offsetAfter.push_back(static_cast<std::int64_t>(i + 1));
    }
    std::vector<ModelRead> reads;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t length = 0;
        while (length < 1022 && start + length < text.size()) {
            if (text[start + length++] == '\n') {
                break;
            }
        }
        std::string word = text.substr(start, length);
        word = word.substr(0, word.find('\0'));
        while (!word.empty() && IsSpace(word.back())) {
            word.pop_back();
        }
        std::size_t first = 0;
        while (first < word.size() && IsSpace(word[first])) {
            ++first;
        }
        reads.push_back({word.substr(first), offsetAfter[start + length - 1]});
        start += length;
    }
    return reads;
}

class CancellingSink : public ProgressSink {
public:
    explicit CancellingSink(std::size_t answerFalseAtCall) : stopAt(answerFalseAtCall) {}
    bool ReportProgress(int percentage) override
    {
        seen.push_back(percentage);
        return seen.size() != stopAt;
    }
    std::vector<int> seen;

private:
    std::size_t stopAt;
};

std::string Folded(std::string_view word, char from, char to)
{
    std::string folded(word);
    for (char& c : folded) {
        if (c >= from && c <= static_cast<char>(from + 25)) {
            c = static_cast<char>(c - from + to);
        }
    }
    return folded;
}

void CheckStoredWords(const ExclusionDictionary& dictionary, std::vector<std::string> expected)
{
    std::vector<std::string> stored;
    dictionary.Table()->ForEachWord([&](std::string_view word) {
        Check(!word.empty(), "empty word stored");
        Check(!IsSpace(word.front()) && !IsSpace(word.back()), "word not trimmed");
        Check(word.size() <= kDictionaryReadLimit, "word longer than one read");
        Check(word.find('\0') == std::string_view::npos, "zero byte in a word");
        Check(dictionary.Table()->Contains(word), "stored word not in its bucket");
        stored.emplace_back(word);
    });
    Check(static_cast<std::int64_t>(stored.size()) == dictionary.Table()->EntryCount(),
          "entry count differs from the entries");

    // Words are stored lower-cased and match in any case.
    const std::set<std::string> words(stored.begin(), stored.end());
    for (const std::string& word : words) {
        Check(Folded(word, 'A', 'a') == word, "a capital stored");
        Check(dictionary.Contains(word), "lookup of a stored word");
        Check(dictionary.Contains(Folded(word, 'a', 'A')), "lookup of a stored word in capitals");
    }

    std::sort(stored.begin(), stored.end());
    std::sort(expected.begin(), expected.end());
    Check(stored == expected, "stored words differ from the model");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<ModelRead> reads = ModelReads(data, size);

    // Block sizes and the cancelling read follow from the input, so the fuzzer
    // can steer where blocks end and where a load is abandoned.
    std::uint32_t mix = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) {
        mix = (mix ^ data[i]) * 16777619u;
    }
    static constexpr std::size_t kBlockSizes[] = {1, 2, 3, 17, 1021, 1022, 1023, 1024, 4096};
    const std::size_t blockSize = kBlockSizes[mix % std::size(kBlockSizes)];
    const std::size_t cancelAt = 1 + (mix >> 8) % (reads.size() + 1); // beyond the reads: never

    // fmemopen wants a writable buffer even to read; it never writes in "rb".
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!file) {
        return 0;
    }
    DictionaryReader reader(file, blockSize);
    std::string_view read;
    std::int64_t endOffset = 0;
    for (const ModelRead& expected : reads) {
        Check(reader.Next(read, endOffset), "fewer reads than the model");
        Check(endOffset == expected.endOffset, "read ends elsewhere than in the model");
        Check(DictionaryWord(read) == expected.word, "read differs from the model");
    }
    Check(!reader.Next(read, endOffset), "more reads than the model");

    // The stream is at its end now: the load must go back to its start itself.
    ExclusionDictionary dictionary;
    CancellingSink sink(cancelAt);
    const int count = dictionary.LoadFromStream(file, &sink, blockSize);
    std::fclose(file);

    std::vector<std::string> expected;
    std::vector<int> progress;
    for (std::size_t i = 0; i < reads.size() && i < cancelAt; ++i) {
        progress.push_back(ProgressPercentage(reads[i].endOffset, static_cast<std::int64_t>(size)));
        if (i + 1 < cancelAt && !reads[i].word.empty()) {
            expected.push_back(Folded(reads[i].word, 'A', 'a'));
        }
    }
    Check(sink.seen == progress, "progress differs from the model");
    for (std::size_t i = 0; i < sink.seen.size(); ++i) {
        Check(sink.seen[i] >= 0 && sink.seen[i] <= 100, "percentage out of range");
        Check(i == 0 || sink.seen[i] >= sink.seen[i - 1], "percentage went back");
    }
    const bool wholeFile =
        std::char_traits<char>::find(reinterpret_cast<const char*>(data), size, '\x1A') == nullptr;
    if (wholeFile && cancelAt > reads.size() && !reads.empty()) {
        Check(sink.seen.back() == 100, "a full read did not reach 100");
    }
    Check(count == static_cast<int>(expected.size()), "count differs from the model");
    CheckStoredWords(dictionary, expected);
    return 0;
}
