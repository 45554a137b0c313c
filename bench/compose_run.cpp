// Composes a fixed number of passwords and prints the last one: a steady
// workload for instruction counts under callgrind.
//   compose_run <count> seeded|secure
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/compose_workload.h"
#include "engine/secure_random.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: compose_run <count> seeded|secure\n");
        return 2;
    }
    const long count = std::strtol(argv[1], nullptr, 10);
    RandomSource seeded;
    seeded.Seed(1234);
    SecureRandomSource secure;
    DrawSource& random =
        std::strcmp(argv[2], "secure") == 0 ? static_cast<DrawSource&>(secure) : seeded;

    const PasswordOptions options = BenchOptions();
    ExclusionDictionary dictionary;
    dictionary.LoadDictionary("no-such-dictionary.txt", nullptr);
    BatchList list;
    std::string last;
    for (long i = 0; i < count; ++i) {
        if (auto row = GeneratePassword(random, options, dictionary, list)) {
            last = row->password;
        }
    }
    std::printf("%s\n", last.c_str());
    return 0;
}
