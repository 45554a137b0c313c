// Times the dictionary load with nothing but the standard library, so that it
// also runs as a Windows program (under Wine, say) where Google Benchmark is
// not at hand.
//
//   dictionary_load_timer FILE [RUNS] [--fgets]
//
// Prints the best of RUNS loads (default 5) and the words per second. With
// --fgets it times, for comparison, the plain way of reading the same lines:
// text mode, fgets into 1023 bytes and a position query after every line.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "batch/exclusion_dictionary.h"

namespace {

class KeepingSink : public ProgressSink {
public:
    bool ReportProgress(int percentage) override
    {
        last = percentage;
        return true;
    }
    int last = 0;
};

using Clock = std::chrono::steady_clock;

// Seconds for one load into a fresh dictionary; freeing it afterwards is not timed.
double LoadOnce(const std::string& path, long long& words)
{
    ExclusionDictionary dictionary;
    KeepingSink sink;
    const Clock::time_point start = Clock::now();
    words = dictionary.LoadDictionary(path, &sink);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double FgetsOnce(const std::string& path, long long& reads)
{
    const Clock::time_point start = Clock::now();
    reads = 0;
    std::FILE* file = std::fopen(path.c_str(), "rt");
    if (!file) {
        return 0;
    }
    char buffer[1024] = {};
    while (std::fgets(buffer, 1023, file) && std::ftell(file) >= 0) {
        ++reads;
    }
    std::fclose(file);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [RUNS] [--fgets]\n", argv[0]);
        return 2;
    }
    const std::string path = argv[1];
    int runs = 5;
    bool fgetsBaseline = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fgets") == 0) {
            fgetsBaseline = true;
        } else {
            runs = std::max(1, std::atoi(argv[i]));
        }
    }

    double best = 1e300;
    long long count = 0;
    for (int run = 0; run < runs; ++run) {
        best = std::min(best, fgetsBaseline ? FgetsOnce(path, count) : LoadOnce(path, count));
    }
    std::printf("%s: %s\n", fgetsBaseline ? "fgets+ftell lines" : "dictionary load", path.c_str());
    std::printf("%lld %s, best of %d: %.3f s, %.0f per second\n", count,
                fgetsBaseline ? "reads" : "words", runs, best,
                best > 0 ? static_cast<double>(count) / best : 0.0);
    return count > 0 ? 0 : 1;
}
