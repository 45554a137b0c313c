#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What a run of sorvane-cli left: its exit status, and the bytes of its
// standard output and error exactly as written (no line-end translation).
struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the sorvane-cli built beside the tests with the arguments. Reads its
// output until the end, or closes the pipe after the first line when
// firstLineOnly is set, the way "| head -1" does. The program's standard
// input is empty.
ProgramRun RunCli(const std::vector<std::string>& arguments, bool firstLineOnly = false);

// A file name the program can open: the Windows build runs under Wine, where
// the Unix root is drive Z:.
std::string NativePath(const std::string& path);
