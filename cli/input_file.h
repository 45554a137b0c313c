#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file the options name for reading, in binary, and tells its size;
// answers why it cannot be read, or an empty text. Only a regular file is
// opened: a device never ends (/dev/zero), a pipe may keep the program
// waiting before it says a word, and a folder holds no lines, so each is
// refused at once.
std::string OpenRegularFile(const std::string& path, UniqueFile& file, std::uint64_t& size);
