// Saving by replacement without the dialog: where the save's own files are
// made, and which refusals of the system's replace leave a move to try.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <string>

#include "app/file_replacement.h"

// Readable failures.
void PrintTo(AfterRefusal after, std::ostream* out)
{
    const char* const kNames[] = {"Fail", "RestoreTarget", "Move", "MoveOver"};
    *out << kNames[static_cast<int>(after)];
}

namespace {

// The names the system reports as added to a folder, from the watch's start
// until the marker file the test makes there last; the notices of one folder
// come in order, so every name added before the marker is among them.
class FolderWatch {
public:
    explicit FolderWatch(const std::filesystem::path& watched) : folder(watched)
    {
        directory =
            CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
        pending.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        watching = Ask();
    }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;
    ~FolderWatch()
    {
        if (watching) {
            CancelIoEx(directory, &pending);
            DWORD size = 0;
            GetOverlappedResult(directory, &pending, &size, TRUE);
        }
        CloseHandle(pending.hEvent);
        CloseHandle(directory);
    }

    bool Watching() const { return watching; }

    std::set<std::wstring> AddedBeforeMarker()
    {
        const std::wstring marker = L"marker";
        std::ofstream(folder / marker).put('\n');
        std::set<std::wstring> added;
        // Bounds only a broken watch: the marker's notice comes at once.
        constexpr DWORD kNoticeBound = 60000;
        while (watching) {
            DWORD size = 0;
            if (WaitForSingleObject(pending.hEvent, kNoticeBound) != WAIT_OBJECT_0 ||
                !GetOverlappedResult(directory, &pending, &size, FALSE) || size == 0) {
                ADD_FAILURE() << "the folder's notices stopped before the marker's";
                break;
            }
            for (const char* at = notices;;) {
                const auto* notice = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
                const std::wstring name(notice->FileName, notice->FileNameLength / sizeof(WCHAR));
                if (notice->Action == FILE_ACTION_ADDED) {
                    if (name == marker) {
                        return added;
                    }
                    added.insert(name);
                }
                if (notice->NextEntryOffset == 0) {
                    break;
                }
                at += notice->NextEntryOffset;
            }
            watching = Ask();
        }
        return added;
    }

private:
    bool Ask()
    {
        ResetEvent(pending.hEvent);
        return ReadDirectoryChangesW(directory, notices, sizeof notices, FALSE,
                                     FILE_NOTIFY_CHANGE_FILE_NAME, nullptr, &pending,
                                     nullptr) != FALSE;
    }

    std::filesystem::path folder;
    HANDLE directory = INVALID_HANDLE_VALUE;
    OVERLAPPED pending{};
    bool watching = false;
    alignas(DWORD) char notices[16384];
};

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The new file and the backup are made beside the target, so that the
// replacement is a rename within one folder and no other folder changes.
TEST(ReplaceFileContents, MakesItsOwnFilesInTheTargetsFolder)
{
    const std::filesystem::path root = std::filesystem::temp_directory_path() /
                                       ("sorvane-replace-" + std::to_string(GetCurrentProcessId()));
    const std::filesystem::path folder = root / "lists";
    std::filesystem::create_directories(folder);
    const std::filesystem::path target = folder / "passwords.txt";
    std::ofstream(target, std::ios::binary) << "earlier\r\n";
    {
        FolderWatch watch(folder);
        ASSERT_TRUE(watch.Watching());
        EXPECT_FALSE(ReplaceFileContents(target.wstring(), "saved\r\n").has_value());
        std::set<std::wstring> added = watch.AddedBeforeMarker();
        added.erase(target.filename().wstring()); // the new file may be reported as added under it
        EXPECT_EQ(added.size(), 2u) << "the new file and the backup";
    }
    EXPECT_EQ(ReadFile(target), "saved\r\n");
    std::filesystem::remove_all(root);
}

// A move is tried only where replacing is impossible for a reason a move does
// not share; a file held open or out of reach stays as it is.
TEST(AfterReplaceRefused, LeavesAMoveOnlyWhereReplacingCannotWork)
{
    const struct {
        DWORD refusal;
        AfterRefusal after;
    } kCases[] = {
        {ERROR_FILE_NOT_FOUND, AfterRefusal::Move},
        {ERROR_NOT_SUPPORTED, AfterRefusal::MoveOver},
        {ERROR_INVALID_FUNCTION, AfterRefusal::MoveOver},
        {ERROR_INVALID_PARAMETER, AfterRefusal::MoveOver},
        {ERROR_CALL_NOT_IMPLEMENTED, AfterRefusal::MoveOver},
        {ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, AfterRefusal::RestoreTarget},
        {ERROR_SHARING_VIOLATION, AfterRefusal::Fail},
        {ERROR_LOCK_VIOLATION, AfterRefusal::Fail},
        {ERROR_ACCESS_DENIED, AfterRefusal::Fail},
        {ERROR_WRITE_PROTECT, AfterRefusal::Fail},
        {ERROR_UNABLE_TO_REMOVE_REPLACED, AfterRefusal::Fail},
        {ERROR_UNABLE_TO_MOVE_REPLACEMENT, AfterRefusal::Fail},
        {ERROR_DISK_FULL, AfterRefusal::Fail},
        {ERROR_PATH_NOT_FOUND, AfterRefusal::Fail},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(AfterReplaceRefused(c.refusal), c.after) << "error " << c.refusal;
    }
}

} // namespace
