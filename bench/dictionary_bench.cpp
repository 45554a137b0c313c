// Loading and asking the exclusion dictionary: the largest word list Debian
// ships (wamerican-insane) and a generated list of ten million words.
//
//   dictionary_bench --benchmark_filter=Load        load time, words/s
//   dictionary_bench --benchmark_filter=Lookup      lookups/s, hits and misses
//   dictionary_bench --benchmark_filter=Memory      peak bytes per word beyond its text

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "batch/exclusion_dictionary.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kInsaneList = "/usr/share/dict/american-english-insane";
constexpr std::int64_t kGeneratedLines = 10'000'000;

// Random lower-case words of 3 to 12 letters, the same file on every machine.
std::string GeneratedList()
{
    const fs::path path = fs::path(SORVANE_BENCH_DATA_DIR) / "words-10m.txt";
    if (fs::exists(path)) {
        return path.string();
    }
    fs::create_directories(path.parent_path());
    const fs::path partial = path.string() + ".partial";
    std::FILE* file = std::fopen(partial.string().c_str(), "wb");
    if (!file) {
        return path.string();
    }
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    std::string chunk;
    for (std::int64_t line = 0; line < kGeneratedLines; ++line) {
        const int length = 3 + static_cast<int>(next() % 10);
        for (int i = 0; i < length; ++i) {
            chunk += static_cast<char>('a' + next() % 26);
        }
        chunk += '\n';
        if (chunk.size() > (1u << 20)) {
            std::fwrite(chunk.data(), 1, chunk.size(), file);
            chunk.clear();
        }
    }
    std::fwrite(chunk.data(), 1, chunk.size(), file);
    std::fclose(file);
    fs::rename(partial, path);
    return path.string();
}

std::string ListPath(std::int64_t which)
{
    return which == 0 ? std::string(kInsaneList) : GeneratedList();
}

// The dialog's sink only posts the number on; this one keeps it.
class KeepingSink : public ProgressSink {
public:
    bool ReportProgress(int percentage) override
    {
        last = percentage;
        return true;
    }
    int last = 0;
};

void BM_Load(benchmark::State& state)
{
    const std::string path = ListPath(state.range(0));
    if (!fs::exists(path)) {
        state.SkipWithError(("missing " + path).c_str());
        return;
    }
    std::unique_ptr<ExclusionDictionary> dictionary;
    KeepingSink sink;
    int words = 0;
    for (auto _ : state) {
        state.PauseTiming();
        dictionary = std::make_unique<ExclusionDictionary>();
        state.ResumeTiming();
        words = dictionary->LoadDictionary(path, &sink);
    }
    state.SetLabel(path);
    state.counters["words"] = words;
    state.counters["words/s"] =
        benchmark::Counter(static_cast<double>(words) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(fs::file_size(path)) * state.iterations());
}

// Bytes of the process resident right now: the large tables come straight
// from the system, past malloc's sight.
std::size_t HeapInUse()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) {
        return 0;
    }
    char line[256];
    std::size_t kib = 0;
    while (std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmRSS: %zu kB", &kib) == 1) {
            break;
        }
    }
    std::fclose(status);
    return kib * 1024;
}

// Samples the memory while the load runs, so the reader's buffer is counted too.
class SamplingSink : public ProgressSink {
public:
    bool ReportProgress(int) override
    {
        if ((++calls & 4095) == 0) {
            peak = std::max(peak, HeapInUse());
        }
        return true;
    }
    std::size_t peak = 0;
    std::int64_t calls = 0;
};

void BM_Memory(benchmark::State& state)
{
    const std::string path = ListPath(state.range(0));
    if (!fs::exists(path)) {
        state.SkipWithError(("missing " + path).c_str());
        return;
    }
    double perWord = 0;
    double tablePerWord = 0;
    for (auto _ : state) {
        ExclusionDictionary dictionary;
        SamplingSink sink;
        const std::size_t before = HeapInUse();
        sink.peak = before;
        const int words = dictionary.LoadDictionary(path, &sink);
        const std::size_t peak = std::max(sink.peak, HeapInUse());
        std::size_t text = 0;
        dictionary.Table()->ForEachWord([&](std::string_view word) { text += word.size(); });
        perWord = (static_cast<double>(peak - before) - static_cast<double>(text)) / words;
        tablePerWord = (static_cast<double>(dictionary.Table()->AllocatedBytes()) -
                        static_cast<double>(text)) /
                       words;
        state.counters["words"] = words;
        state.counters["text_bytes"] = static_cast<double>(text);
    }
    state.SetLabel(path);
    state.counters["peak_bytes/word_beyond_text"] = perWord;
    state.counters["table_bytes/word_beyond_text"] = tablePerWord;
}

struct LookupSet {
    std::unique_ptr<ExclusionDictionary> dictionary;
    std::vector<std::string> hits;   // stored lower-case words, letters randomly capitalised
    std::vector<std::string> misses; // generated-looking passwords
};

const LookupSet& Lookups(std::int64_t which)
{
    static std::map<std::int64_t, LookupSet> sets;
    LookupSet& set = sets[which];
    if (set.dictionary) {
        return set;
    }
    set.dictionary = std::make_unique<ExclusionDictionary>();
    set.dictionary->LoadDictionary(ListPath(which), nullptr);
    std::mt19937 random(42);
    set.dictionary->Table()->ForEachWord([&](std::string_view word) {
        if (std::none_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; }) &&
            random() % 8 == 0) {
            std::string key(word);
            for (char& c : key) {
                if (c >= 'a' && c <= 'z' && random() % 2 == 0) {
                    c = static_cast<char>(c - 'a' + 'A');
                }
            }
            set.hits.push_back(std::move(key));
        }
    });
    std::shuffle(set.hits.begin(), set.hits.end(), random);
    set.hits.resize(std::min<std::size_t>(set.hits.size(), 1 << 18));
    const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int i = 0; i < (1 << 18); ++i) {
        std::string key(8, ' ');
        for (char& c : key) {
            c = alphabet[random() % 62];
        }
        set.misses.push_back(std::move(key));
    }
    return set;
}

void Lookup(benchmark::State& state, bool hits)
{
    const LookupSet& set = Lookups(state.range(0));
    const std::vector<std::string>& keys = hits ? set.hits : set.misses;
    if (keys.empty()) {
        state.SkipWithError("no keys");
        return;
    }
    std::size_t next = 0;
    std::int64_t found = 0;
    for (auto _ : state) {
        found += set.dictionary->Contains(keys[next]) ? 1 : 0;
        next = next + 1 == keys.size() ? 0 : next + 1;
    }
    state.SetLabel(ListPath(state.range(0)));
    state.counters["lookups/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}

void BM_LookupHit(benchmark::State& state)
{
    Lookup(state, true);
}
void BM_LookupMiss(benchmark::State& state)
{
    Lookup(state, false);
}

} // namespace

// Argument 0: wamerican-insane; 1: ten million generated words.
BENCHMARK(BM_Load)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Memory)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LookupHit)->Arg(0)->Arg(1);
BENCHMARK(BM_LookupMiss)->Arg(0)->Arg(1);
BENCHMARK_MAIN();
