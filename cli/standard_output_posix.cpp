#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "cli/standard_output.h"

StandardOutput::StandardOutput()
{
    std::signal(SIGPIPE, SIG_IGN);
}

bool StandardOutput::Write(std::string_view bytes)
{
    while (state == State::Open && !bytes.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written >= 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (errno == EPIPE) {
            state = State::Closed;
        } else if (errno != EINTR) {
            reason = std::strerror(errno);
            state = State::Failed;
        }
    }
    return state == State::Open;
}
