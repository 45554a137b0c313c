#include "cli/input_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

constexpr const char* kNotRegular = "it is not a regular file";

} // namespace

#if defined(_WIN32)

std::string OpenRegularFile(const std::string& path, UniqueFile& file, std::uint64_t& size)
{
    errno = 0;
    file.reset(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return std::strerror(errno);
    }
    struct _stat64 status {};
    if (_fstat64(_fileno(file.get()), &status) != 0) {
        const int error = errno;
        file.reset();
        return std::strerror(error);
    }
    if ((status.st_mode & _S_IFMT) != _S_IFREG) {
        file.reset();
        return kNotRegular;
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return {};
}

#else

std::string OpenRegularFile(const std::string& path, UniqueFile& file, std::uint64_t& size)
{
    // Without O_NONBLOCK, opening a pipe would wait for a writer before the
    // check could refuse it; on a regular file the flag changes nothing.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return std::strerror(errno);
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0) {
        const int error = errno;
        close(descriptor);
        return std::strerror(error);
    }
    if (!S_ISREG(status.st_mode)) {
        close(descriptor);
        return kNotRegular;
    }
    file.reset(fdopen(descriptor, "rb"));
    if (!file) {
        const int error = errno;
        close(descriptor);
        return std::strerror(error);
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return {};
}

#endif
