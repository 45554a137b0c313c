#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "batch/progress_sink.h"
#include "batch/word_table.h"
#include "engine/composer.h"

// Bytes of the file per read: a longer line is split into words of this size.
inline constexpr std::size_t kDictionaryReadLimit = 1022;

// Bytes asked of the file at a time.
inline constexpr std::size_t kDictionaryBlockSize = std::size_t{1} << 20;

// position * 100 / size, truncated and kept within 0..100; 0 when size is 0.
// Exact for every 64-bit position and size, without overflow.
int ProgressPercentage(std::int64_t position, std::int64_t size);

// Cuts a binary stream into the reads that text-mode fgets(buffer, 1023, file)
// makes on Windows: up to and including a line feed, at most
// kDictionaryReadLimit bytes once CR LF has become LF, nothing from a Ctrl-Z
// on. Working on raw bytes keeps the file offsets exact without asking the
// stream, which in text mode costs a scan of its buffer each time.
class DictionaryReader {
public:
    // Reads from the stream's current position; blockSize is how many bytes
    // each read of the stream asks for.
    explicit DictionaryReader(std::FILE* source, std::size_t blockSize = kDictionaryBlockSize);

    // The bytes of the next read, without its line feed (a CR before it may
    // remain), and the offset in the stream after it. False at the end of the
    // text, and after a read error.
    bool Next(std::string_view& read, std::int64_t& endOffset);

    // Whether reading the stream failed before its end.
    bool Failed() const { return failed; }

private:
    void Refill();

    std::FILE* file;
    std::size_t capacity;
    std::unique_ptr<char[]> buffer;
    std::size_t begin = 0;
    std::size_t end = 0;
    std::int64_t bufferOffset = 0;
    bool atEnd = false;
    bool failed = false;
};

// What a read stores: its bytes up to the first zero byte, without spaces,
// tabs, CRs and LFs at either end. Empty: nothing is stored.
std::string_view DictionaryWord(std::string_view read);

// The words a password must not be, one per line of a text file.
//
// Lines are cut by DictionaryReader as the Windows runtime's text mode cuts
// them, wherever the program is built, and each read is stored as
// DictionaryWord makes it, folded to lower case as a password is for the
// lookup, so a word matches whatever case it is written in.
class ExclusionDictionary : public ExcludedWords {
public:
    ExclusionDictionary();
    virtual ~ExclusionDictionary();
    ExclusionDictionary(const ExclusionDictionary&) = delete;
    ExclusionDictionary& operator=(const ExclusionDictionary&) = delete;

    // Replaces the words with those of the file and answers how many were
    // stored (duplicates counted). A missing file, or one that cannot be
    // opened, leaves the dictionary empty and answers 0. sink (may be null) hears the percentage
    // of the file read after every read; when it answers false the load stops
    // and the read just made is not stored.
    int LoadDictionary(const std::string& path, ProgressSink* sink);

    // The same from an open stream, read from its start; the stream stays open.
    // blockSize is how many bytes each read of the stream asks for.
    int LoadFromStream(std::FILE* file, ProgressSink* sink,
                       std::size_t blockSize = kDictionaryBlockSize);

    // Whether the password, folded to lower case and trimmed, is a stored word.
    bool Contains(std::string_view password) const override;
    void Prefetch(std::string_view password) const override;

    // False when the last load lost words: the file failed part-way, or the
    // words did not fit in memory. The words read before are kept.
    bool LoadedWhole() const { return loadedWhole; }

    // Null until the first load.
    const WordTable* Table() const { return table.get(); }

private:
    int ReadWords(std::FILE* file, ProgressSink* sink, std::size_t blockSize);
    void AppendWord(std::string_view read);

    std::unique_ptr<WordTable> table;
    bool loadedWhole = true;
};
