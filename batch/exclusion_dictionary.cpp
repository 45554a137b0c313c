#include "batch/exclusion_dictionary.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace {

// The Windows runtime's text mode ends a file at this byte.
constexpr char kEndOfText = 0x1A;

// With this many bytes at hand a read can always be cut: either a line feed is
// among them, or the read takes kDictionaryReadLimit bytes and the CR LF
// question at its end is settled by the byte after it.
constexpr std::size_t kLookahead = kDictionaryReadLimit + 1;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool IsTrimmed(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view Trim(std::string_view text)
{
    std::size_t last = text.size();
    while (last > 0 && IsTrimmed(text[last - 1])) {
        --last;
    }
    std::size_t first = 0;
    while (first < last && IsTrimmed(text[first])) {
        ++first;
    }
    return text.substr(first, last - first);
}

// ASCII case folding, A to Z only: the one folding of both the stored words
// and the passwords looked up.
char FoldedByte(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The folded text, in buffer.
std::string_view Folded(std::string_view text, char (&buffer)[kDictionaryReadLimit])
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        buffer[i] = FoldedByte(text[i]);
    }
    return std::string_view(buffer, text.size());
}

// Anything a bigger buffer could gain is long gone at this size.
constexpr std::size_t kLargestBlockSize = std::size_t{1} << 28;

// Loads answer a signed 32-bit count; past INT_MAX words it saturates rather
// than wraps.
int StoredCount(const WordTable& table)
{
    return static_cast<int>(std::min<std::int64_t>(table.EntryCount(), INT_MAX));
}

// 64-bit positions: a dictionary may be larger than 2 GB, and long is 32 bits
// on Windows. Leaves the stream at its start; 0 when it cannot seek.
std::int64_t StreamSize(std::FILE* file)
{
#if defined(_WIN32)
    if (_fseeki64(file, 0, SEEK_END) != 0) {
        return 0;
    }
    const std::int64_t size = _ftelli64(file);
    _fseeki64(file, 0, SEEK_SET);
#else
    if (fseeko(file, 0, SEEK_END) != 0) {
        return 0;
    }
    const std::int64_t size = ftello(file);
    fseeko(file, 0, SEEK_SET);
#endif
    return std::max<std::int64_t>(size, 0);
}

} // namespace

DictionaryReader::DictionaryReader(std::FILE* source, std::size_t blockSize)
    : file(source), capacity(kLookahead + std::clamp<std::size_t>(blockSize, 1, kLargestBlockSize)),
      buffer(std::make_unique_for_overwrite<char[]>(capacity))
{
}

bool DictionaryReader::Next(std::string_view& read, std::int64_t& endOffset)
{
    if (!atEnd && end - begin < kLookahead) {
        Refill();
    }
    const std::size_t available = end - begin;
    if (available == 0) {
        return false;
    }
    const char* start = buffer.get() + begin;
    std::size_t consumed = std::min(available, kDictionaryReadLimit);
    std::size_t length = consumed;
    if (const void* lineFeed = std::memchr(start, '\n', std::min(available, kLookahead))) {
        const auto at = static_cast<std::size_t>(static_cast<const char*>(lineFeed) - start);
        // CR LF arrives as one LF, so its CR takes no room in the read.
        const std::size_t translated = (at > 0 && start[at - 1] == '\r') ? at : at + 1;
        if (translated <= kDictionaryReadLimit) {
            consumed = at + 1;
            length = at;
        }
    }
    read = std::string_view(start, length);
    begin += consumed;
    endOffset = bufferOffset + static_cast<std::int64_t>(begin);
    return true;
}

void DictionaryReader::Refill()
{
    const std::size_t kept = end - begin;
    std::memmove(buffer.get(), buffer.get() + begin, kept);
    bufferOffset += static_cast<std::int64_t>(begin);
    begin = 0;
    end = kept;
    while (!atEnd && end < kLookahead) {
        const std::size_t got = std::fread(buffer.get() + end, 1, capacity - end, file);
        if (got == 0) {
            // An error looks like the end to fread; the caller must be able
            // to tell a short list from a damaged one.
            failed = std::ferror(file) != 0;
            atEnd = true;
            break;
        }
        if (const void* stop = std::memchr(buffer.get() + end, kEndOfText, got)) {
            end = static_cast<std::size_t>(static_cast<const char*>(stop) - buffer.get());
            atEnd = true;
            break;
        }
        end += got;
    }
}

int ProgressPercentage(std::int64_t position, std::int64_t size)
{
    if (size <= 0 || position <= 0) {
        return 0;
    }
    // A file that grew while it was read must not report more than all of it.
    if (position >= size) {
        return 100;
    }
    if (position <= INT64_MAX / 100) {
        return static_cast<int>(position * 100 / size);
    }
    // Beyond 92 PB: long multiplication by repeated addition, which cannot
    // overflow because each partial remainder stays below size.
    const auto total = static_cast<std::uint64_t>(size);
    const auto part = static_cast<std::uint64_t>(position);
    std::uint64_t remainder = 0;
    int percentage = 0;
    for (int i = 0; i < 100; ++i) {
        remainder += part;
        if (remainder >= total) {
            remainder -= total;
            ++percentage;
        }
    }
    return percentage;
}

std::string_view DictionaryWord(std::string_view read)
{
    return Trim(read.substr(0, read.find('\0')));
}

ExclusionDictionary::ExclusionDictionary() = default;

ExclusionDictionary::~ExclusionDictionary() = default;

int ExclusionDictionary::LoadDictionary(const std::string& path, ProgressSink* sink)
{
    // Binary, not text mode: DictionaryReader cuts the lines exactly as the
    // Windows text mode would, on every platform.
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (file) {
        // Blocks go straight into the reader's buffer, without a second copy.
        std::setvbuf(file.get(), nullptr, _IONBF, 0);
    }
    return LoadFromStream(file.get(), sink);
}

int ExclusionDictionary::LoadFromStream(std::FILE* file, ProgressSink* sink, std::size_t blockSize)
{
    loadedWhole = true;
    try {
        // The old table goes first, so that two never occupy memory at once.
        table.reset();
        table = std::make_unique<WordTable>();
        if (!file) {
            return 0;
        }
        return ReadWords(file, sink, blockSize);
    } catch (const std::bad_alloc&) {
        // A list larger than memory keeps the words that fit; passwords are
        // still checked against those.
        loadedWhole = false;
        if (!table) {
            return 0;
        }
        try {
            table->Settle();
        } catch (const std::bad_alloc&) {
            // Not even an index fits: nothing can be looked up.
            table.reset();
            return 0;
        }
        return StoredCount(*table);
    }
}

int ExclusionDictionary::ReadWords(std::FILE* file, ProgressSink* sink, std::size_t blockSize)
{
    const std::int64_t size = StreamSize(file);
    DictionaryReader reader(file, blockSize);
    std::string_view read;
    std::int64_t position = 0;
    while (reader.Next(read, position)) {
        if (sink && !sink->ReportProgress(ProgressPercentage(position, size))) {
            break;
        }
        AppendWord(read);
    }
    table->Settle();
    loadedWhole = !reader.Failed();
    return StoredCount(*table);
}

// DictionaryWord and Folded in one pass, straight into the table's storage:
// the blanks before the word are skipped, its bytes copied folded up to a
// zero byte, and the blanks they end with dropped.
void ExclusionDictionary::AppendWord(std::string_view read)
{
    std::size_t at = 0;
    while (at < read.size() && IsTrimmed(read[at])) {
        ++at;
    }
    if (at == read.size() || read[at] == '\0') {
        return;
    }
    char* const word = table->SpaceFor(read.size() - at);
    std::size_t length = 0;
    for (; at < read.size() && read[at] != '\0'; ++at) {
        word[length++] = FoldedByte(read[at]);
    }
    while (IsTrimmed(word[length - 1])) {
        --length;
    }
    table->AppendWritten(length);
}

void ExclusionDictionary::Prefetch(std::string_view password) const
{
    if (!table || table->EntryCount() == 0) {
        return;
    }
    const std::string_view trimmed = Trim(password);
    if (trimmed.size() <= kDictionaryReadLimit) {
        char folded[kDictionaryReadLimit];
        table->Prefetch(Folded(trimmed, folded));
    }
}

bool ExclusionDictionary::Contains(std::string_view password) const
{
    if (password.empty() || !table || table->EntryCount() == 0) {
        return false;
    }
    // Trimming first is the same as folding first: the trimmed bytes are no letters.
    const std::string_view trimmed = Trim(password);
    // Every stored word came from one read, so a longer key cannot match.
    if (trimmed.empty() || trimmed.size() > kDictionaryReadLimit) {
        return false;
    }
    char folded[kDictionaryReadLimit];
    return table->Contains(Folded(trimmed, folded));
}
