#pragma once

#include <string>
#include <string_view>

#include "cli/password_writer.h"

// The process's standard output, written unbuffered and in binary, so the
// bytes the writer formats are the bytes that arrive. A reader that went away
// (a closed pipe: "sorvane-cli -n 1000000 | head -1") ends the output
// quietly; any other failure is kept for the user to hear.
class StandardOutput final : public ByteSink {
public:
    enum class State { Open, Closed, Failed };

    // Readies the process: a write to a closed pipe must fail with an error
    // the program sees, not end the process by a signal.
    StandardOutput();

    bool Write(std::string_view bytes) override;

    State Current() const { return state; }
    // The system's words for a failure.
    const std::string& Reason() const { return reason; }

private:
    State state = State::Open;
    std::string reason;
};
