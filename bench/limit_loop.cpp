// The physical limit of the command line's default run: the tightest loop
// that still does the work. It draws 16 characters from the 54 that letters
// and digits in both cases leave once the look-alikes are out, one byte of
// the system's generator a draw, rejecting bytes from 216 (4 * 54) up so that
// every character is equally likely, and writes each password with its line
// feed through a 256 KiB buffer to the standard output. No uniqueness test,
// no five-position rule: what sorvane-cli does beyond this is its overhead.
//   limit_loop COUNT
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view kCharacters = "23456789abcdefghkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ";
static_assert(kCharacters.size() == 54);
constexpr unsigned kAcceptedBelow = 4 * 54;
constexpr std::size_t kLength = 16;
constexpr std::size_t kOutputBytes = std::size_t{256} << 10;
constexpr std::size_t kRandomBytes = std::size_t{64} << 10;

class RandomBytes {
public:
    unsigned char Next()
    {
        if (position == kRandomBytes) {
            Refill();
        }
        return bytes[position++];
    }

private:
    void Refill()
    {
        std::size_t filled = 0;
        while (filled < kRandomBytes) {
            const ssize_t got = getrandom(bytes + filled, kRandomBytes - filled, 0);
            if (got < 0 && errno != EINTR) {
                std::perror("getrandom");
                std::exit(1);
            }
            filled += got > 0 ? static_cast<std::size_t>(got) : 0;
        }
        position = 0;
    }

    unsigned char bytes[kRandomBytes];
    std::size_t position = kRandomBytes;
};

class Output {
public:
    ~Output() { Flush(); }

    char* Room(std::size_t size)
    {
        if (kOutputBytes - used < size) {
            Flush();
        }
        return buffer + used;
    }
    void Commit(std::size_t size) { used += size; }

private:
    void Flush()
    {
        for (std::size_t done = 0; done < used;) {
            const ssize_t written = write(STDOUT_FILENO, buffer + done, used - done);
            if (written < 0 && errno != EINTR) {
                std::exit(1);
            }
            done += written > 0 ? static_cast<std::size_t>(written) : 0;
        }
        used = 0;
    }

    char buffer[kOutputBytes];
    std::size_t used = 0;
};

RandomBytes source;
Output output;

} // namespace

int main(int argc, char** argv)
{
    const long long count = argc > 1 ? std::atoll(argv[1]) : 1;
    for (long long made = 0; made < count; ++made) {
        char* const text = output.Room(kLength + 1);
        for (std::size_t i = 0; i < kLength; ++i) {
            unsigned byte;
            do {
                byte = source.Next();
            } while (byte >= kAcceptedBelow);
            text[i] = kCharacters[byte % kCharacters.size()];
        }
        text[kLength] = '\n';
        output.Commit(kLength + 1);
    }
    return 0;
}
