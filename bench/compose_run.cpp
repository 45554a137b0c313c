// Composes a fixed number of passwords and prints the last one: a steady
// workload for instruction counts under callgrind. From the secure source it
// also prints how many bytes the source took from the system's generator.
//   compose_run <count> seeded|secure
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/compose_workload.h"
#include "engine/secure_random.h"
#include "platform/system_random.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: compose_run <count> seeded|secure\n");
        return 2;
    }
    const long count = std::strtol(argv[1], nullptr, 10);
    const bool fromSecure = std::strcmp(argv[2], "secure") == 0;
    RandomSource seeded;
    seeded.Seed(1234);
    unsigned long long randomBytes = 0;
    SecureRandomSource secure([&randomBytes](void* buffer, std::size_t size) {
        randomBytes += size;
        return SystemRandomBytes(buffer, size);
    });
    DrawSource& random = fromSecure ? static_cast<DrawSource&>(secure) : seeded;

    const PasswordOptions options = BenchOptions();
    ExclusionDictionary dictionary;
    dictionary.LoadDictionary("no-such-dictionary.txt", nullptr);
    BatchList list;
    std::string last;
    for (long i = 0; i < count; ++i) {
        if (auto row = GeneratePassword(random, options, dictionary, list)) {
            last = std::string_view(row->password);
        }
    }
    std::printf("%s\n", last.c_str());
    if (fromSecure && count > 0) {
        // Whole blocks are fetched, so the figure is exact to a block.
        std::printf("%llu random bytes from the system, %.2f per password\n", randomBytes,
                    static_cast<double>(randomBytes) / static_cast<double>(count));
    }
    return 0;
}
