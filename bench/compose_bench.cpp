#include <benchmark/benchmark.h>

#include "bench/compose_workload.h"
#include "engine/secure_random.h"
#include "platform/system_random.h"

namespace {

void ComposeWith(benchmark::State& state, DrawSource& random)
{
    const PasswordOptions options = BenchOptions();
    ExclusionDictionary dictionary;
    dictionary.LoadDictionary("no-such-dictionary.txt", nullptr);
    BatchList list;
    for (auto _ : state) {
        auto row = GeneratePassword(random, options, dictionary, list);
        benchmark::DoNotOptimize(row);
    }
    state.counters["passwords/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ComposeSecure(benchmark::State& state)
{
    SecureRandomSource random(SystemRandomBytes);
    ComposeWith(state, random);
}

void BM_ComposeSeeded(benchmark::State& state)
{
    RandomSource random;
    random.Seed(1234);
    ComposeWith(state, random);
}

} // namespace

BENCHMARK(BM_ComposeSecure);
BENCHMARK(BM_ComposeSeeded);
BENCHMARK_MAIN();
