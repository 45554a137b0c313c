// Saving a file so that nothing but the file itself can change: the bytes go
// into a new file made here, in the target's folder, under a name checked to
// be free by the call that creates it. No name comes back from a system call
// that might have cut it short, so the save can never write into some other
// file whose name happens to be a prefix of the one it meant.
#include "app/file_replacement.h"

#include <algorithm>
#include <atomic>

#include "toolkit/unique_handles.h"

namespace {

// The folder part of a path with its last separator, empty for a bare name.
std::wstring FolderOf(const std::wstring& path)
{
    const std::size_t end = path.find_last_of(L"\\/:");
    return end == std::wstring::npos ? std::wstring() : path.substr(0, end + 1);
}

// A path the wide calls take whatever its length: one of MAX_PATH characters
// or more is made absolute and given the prefix that lifts the limit.
std::wstring AnyLengthPath(const std::wstring& path)
{
    if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0) {
        return path;
    }
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return path;
    }
    std::wstring full(size, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), size, full.data(), nullptr));
    if (full.rfind(L"\\\\?\\", 0) == 0) {
        return full;
    }
    if (full.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + full.substr(2); // a share: \\server\share\...
    }
    return L"\\\\?\\" + full;
}

// A fresh name for each attempt: the process, the moment and a counter, so two
// saves never race for one name and a name left by a crash is stepped over.
std::wstring CandidateName(int attempt)
{
    static std::atomic<unsigned> counter{0};
    const unsigned mixed = (GetCurrentProcessId() * 2654435761u) ^ (GetTickCount() * 40503u) ^
                           (++counter * 97u) ^ static_cast<unsigned>(attempt);
    wchar_t name[32];
    wsprintfW(name, L"~srv%08X.tmp", mixed);
    return name;
}

DWORD ErrorOr(DWORD fallback)
{
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}

// A file this save made itself, under a name that was free: deleted again
// when the object goes, unless it was kept. Only a file the object made is
// ever deleted; a name that was already taken belongs to someone else.
class OwnFile {
public:
    explicit OwnFile(const std::wstring& folder)
    {
        constexpr int kAttempts = 64;
        for (int attempt = 0; attempt < kAttempts && !made; ++attempt) {
            path = AnyLengthPath(folder + CandidateName(attempt));
            // CREATE_NEW fails on every existing file, so this never opens
            // anything but a file it has just made.
            const HANDLE created = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                               FILE_ATTRIBUTE_NORMAL, nullptr);
            if (created != INVALID_HANDLE_VALUE) {
                file.reset(created);
                made = true;
                error = ERROR_SUCCESS;
            } else {
                error = ErrorOr(ERROR_CANNOT_MAKE);
                if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
                    break;
                }
            }
        }
    }
    OwnFile(const OwnFile&) = delete;
    OwnFile& operator=(const OwnFile&) = delete;
    ~OwnFile()
    {
        file.reset();
        if (made && !kept) {
            DeleteFileW(path.c_str());
        }
    }

    bool Made() const { return made; }
    DWORD Error() const { return error; }
    const std::wstring& Path() const { return path; }
    // The file has taken another name, or must stay: it is no longer ours to delete.
    void Keep() { kept = true; }

    // Writes the bytes and has them on the disk before the file is closed.
    DWORD Fill(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
            DWORD written = 0;
            if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr) || written == 0) {
                return ErrorOr(ERROR_WRITE_FAULT);
            }
            bytes.remove_prefix(written);
        }
        if (!FlushFileBuffers(file.get())) {
            return ErrorOr(ERROR_WRITE_FAULT);
        }
        return Close();
    }

    DWORD Close()
    {
        const HANDLE handle = file.release();
        return handle == nullptr || CloseHandle(handle) ? ERROR_SUCCESS
                                                        : ErrorOr(ERROR_WRITE_FAULT);
    }

private:
    std::wstring path;
    UniqueHandle file;
    DWORD error = ERROR_CANNOT_MAKE;
    bool made = false;
    bool kept = false;
};

// Puts the new file in the target's place. An existing target is replaced so
// that it keeps its attributes and security, its old contents passing through
// the backup, a name of our own (so the system makes no file of its own that
// a failure could leave behind).
DWORD TakePlace(OwnFile& replacement, OwnFile& backup, const std::wstring& target)
{
    const std::wstring destination = AnyLengthPath(target);
    if (ReplaceFileW(destination.c_str(), replacement.Path().c_str(), backup.Path().c_str(),
                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        replacement.Keep();
        return ERROR_SUCCESS;
    }
    const DWORD refusal = ErrorOr(ERROR_ACCESS_DENIED);
    const AfterRefusal after = AfterReplaceRefused(refusal);
    switch (after) {
    case AfterRefusal::Fail:
        return refusal;
    case AfterRefusal::RestoreTarget:
        if (MoveFileExW(backup.Path().c_str(), destination.c_str(), MOVEFILE_WRITE_THROUGH)) {
            backup.Keep();
        }
        return refusal;
    case AfterRefusal::Move:
    case AfterRefusal::MoveOver:
        break;
    }
    const DWORD moveFlags =
        MOVEFILE_WRITE_THROUGH | (after == AfterRefusal::MoveOver ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(replacement.Path().c_str(), destination.c_str(), moveFlags)) {
        return ErrorOr(ERROR_ACCESS_DENIED);
    }
    replacement.Keep();
    return ERROR_SUCCESS;
}

} // namespace

AfterRefusal AfterReplaceRefused(DWORD refusal)
{
    switch (refusal) {
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
        return AfterRefusal::RestoreTarget;
    case ERROR_FILE_NOT_FOUND:
        return AfterRefusal::Move;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
    case ERROR_INVALID_PARAMETER:
    case ERROR_CALL_NOT_IMPLEMENTED:
        return AfterRefusal::MoveOver;
    default:
        return AfterRefusal::Fail;
    }
}

std::wstring WidenAnsi(std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    }
    return wide;
}

std::optional<ReplaceFailure> ReplaceFileContents(const std::wstring& target,
                                                  std::string_view bytes)
{
    using Step = ReplaceFailure::Step;
    const std::wstring folder = FolderOf(target);
    OwnFile replacement(folder);
    if (!replacement.Made()) {
        return ReplaceFailure{Step::MakeTemporary, replacement.Error()};
    }
    if (const DWORD error = replacement.Fill(bytes); error != ERROR_SUCCESS) {
        return ReplaceFailure{Step::Write, error};
    }
    OwnFile backup(folder);
    if (!backup.Made()) {
        return ReplaceFailure{Step::MakeTemporary, backup.Error()};
    }
    backup.Close();
    if (const DWORD error = TakePlace(replacement, backup, target); error != ERROR_SUCCESS) {
        return ReplaceFailure{Step::Replace, error};
    }
    return std::nullopt;
}
