#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// What a failed save got to before it stopped, and the system's error.
struct ReplaceFailure {
    enum class Step { MakeTemporary, Write, Replace };
    Step step;
    DWORD error;
};

// Puts the bytes into the file at target, whole or not at all: they go into a
// new file of this program's own beside the target, made with a name no other
// file has, which then takes the target's place. An existing target keeps its
// attributes and security. Afterwards the target holds either the bytes or
// what it held before, and nothing else in the folder has changed: no other
// file is opened, and the new file is gone again after a failure.
std::optional<ReplaceFailure> ReplaceFileContents(const std::wstring& target,
                                                  std::string_view bytes);

// What the save does when the system refuses to replace the target.
enum class AfterRefusal {
    Fail,          // held open, read-only, no access: a move would fail alike
    RestoreTarget, // the old file was left under the backup's name: it goes back
    Move,          // no target yet: the new file simply takes the name
    MoveOver,      // a file system that cannot replace can still rename
};

// Only a refusal for a reason a move does not share leaves a move to try.
AfterRefusal AfterReplaceRefused(DWORD refusal);

// The text in the ANSI code page (UTF-8 where the manifest asks for it) as
// UTF-16, for the wide calls.
std::wstring WidenAnsi(std::string_view text);
