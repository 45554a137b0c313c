#include "tests/cli/program_runner.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace {

std::string ReadWhole(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::filesystem::path ErrorFile()
{
    return std::filesystem::temp_directory_path() /
           ("sorvane-cli-err-" + std::to_string(std::random_device{}()) + ".txt");
}

// Reads the pipe into out until its end, or until the first line is in.
template <typename ReadSome>
void Collect(ReadSome readSome, bool firstLineOnly, std::string& out)
{
    char buffer[65536];
    for (;;) {
        const long got = readSome(buffer, sizeof buffer);
        if (got <= 0) {
            return;
        }
        out.append(buffer, static_cast<std::size_t>(got));
        if (firstLineOnly && out.find('\n') != std::string::npos) {
            return;
        }
    }
}

#if defined(_WIN32)

// The rules CommandLineToArgvW and the runtime read arguments by.
std::string Quote(const std::string& argument)
{
    std::string quoted = "\"";
    std::size_t slashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
        slashes = 0;
        quoted.push_back(c);
    }
    quoted.append(2 * slashes, '\\');
    return quoted + "\"";
}

ProgramRun Run(const std::vector<std::string>& arguments, bool firstLineOnly)
{
    ProgramRun run;
    std::string commandLine = Quote(NativePath(SORVANE_CLI_PATH));
    for (const std::string& argument : arguments) {
        commandLine += " " + Quote(argument);
    }
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    const std::filesystem::path errorPath = ErrorFile();
    const HANDLE error = CreateFileA(errorPath.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                     &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const HANDLE input = CreateFileA("NUL", GENERIC_READ, 0, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = writeEnd;
    startup.hStdError = error;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    CloseHandle(error);
    CloseHandle(input);
    if (started) {
        Collect(
            [&](char* buffer, std::size_t size) {
                DWORD got = 0;
                return ReadFile(readEnd, buffer, static_cast<DWORD>(size), &got, nullptr)
                           ? static_cast<long>(got)
                           : -1L;
            },
            firstLineOnly, run.out);
        CloseHandle(readEnd);
        DWORD status = 0;
        if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(process.hProcess, &status)) {
            run.status = static_cast<int>(status);
        }
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    } else {
        CloseHandle(readEnd);
    }
    run.err = ReadWhole(errorPath);
    std::filesystem::remove(errorPath);
    return run;
}

#else

ProgramRun Run(const std::vector<std::string>& arguments, bool firstLineOnly)
{
    ProgramRun run;
    std::vector<std::string> all = {SORVANE_CLI_PATH};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const std::filesystem::path errorPath = ErrorFile();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return run;
    }
    const pid_t child = fork();
    if (child == 0) {
        // As a shell starts a pipeline's command: SIGPIPE at its default, so
        // a program that does not guard against it dies of it here too.
        std::signal(SIGPIPE, SIG_DFL);
        const int error = open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int input = open("/dev/null", O_RDONLY);
        dup2(input, 0);
        dup2(pipeEnds[1], 1);
        dup2(error, 2);
        close(pipeEnds[0]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    Collect([&](char* buffer,
                std::size_t size) { return static_cast<long>(read(pipeEnds[0], buffer, size)); },
            firstLineOnly, run.out);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    // A death by signal shows as 128 + the signal, as a shell reports it.
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.err = ReadWhole(errorPath);
    std::filesystem::remove(errorPath);
    return run;
}

#endif

} // namespace

ProgramRun RunCli(const std::vector<std::string>& arguments, bool firstLineOnly)
{
    return Run(arguments, firstLineOnly);
}

std::string NativePath(const std::string& path)
{
#if defined(_WIN32)
    if (!path.empty() && path.front() == '/') {
        std::string windows = "Z:" + path;
        for (char& c : windows) {
            c = c == '/' ? '\\' : c;
        }
        return windows;
    }
#endif
    return path;
}
