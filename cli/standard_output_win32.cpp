#include <windows.h>

#include <algorithm>

#include "cli/standard_output.h"

namespace {

// A console takes large writes badly on older systems; a file or pipe takes
// the whole block at once.
constexpr DWORD kConsoleChunk = 16 * 1024;

std::string SystemReason(DWORD error)
{
    char buffer[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, buffer, sizeof buffer, nullptr);
    while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' ||
                          buffer[length - 1] == '.' || buffer[length - 1] == ' ')) {
        --length;
    }
    return length > 0 ? std::string(buffer, length) : "system error " + std::to_string(error);
}

} // namespace

// Nothing to ready: Windows reports a closed pipe as a failed write.
StandardOutput::StandardOutput() = default;

bool StandardOutput::Write(std::string_view bytes)
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) {
        // Started without an output at all: nobody is reading.
        state = State::Closed;
    }
    const bool console = state == State::Open && GetFileType(output) == FILE_TYPE_CHAR;
    while (state == State::Open && !bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(
            std::min<std::size_t>(bytes.size(), console ? kConsoleChunk : 1u << 30));
        DWORD written = 0;
        if (WriteFile(output, bytes.data(), chunk, &written, nullptr)) {
            bytes.remove_prefix(written);
            continue;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA ||
            error == ERROR_PIPE_NOT_CONNECTED) {
            state = State::Closed;
        } else {
            reason = SystemReason(error);
            state = State::Failed;
        }
    }
    return state == State::Open;
}
