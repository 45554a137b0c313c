#pragma once

#include <cstddef>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

// A cell text of a password row, kept inside the row while it fits Capacity
// bytes, which it always does for the lengths the dialog offers: making a row
// then asks the heap for nothing. Longer text, from a stored length out of
// range, goes to a string. It reads like a constant std::string: c_str(),
// size(), comparisons, and conversions to std::string_view and std::string.
template <std::size_t Capacity>
class RowText {
public:
    RowText() { chars[0] = '\0'; }
    explicit RowText(std::string_view text) : RowText() { assign(text); }
    RowText(const RowText& other) : RowText() { assign(other); }
    RowText& operator=(const RowText& other)
    {
        assign(other);
        return *this;
    }
    RowText& operator=(std::string_view text)
    {
        assign(text);
        return *this;
    }

    void assign(std::string_view text)
    {
        // The text may be this one's own, so it moves rather than copies.
        if (text.size() <= Capacity) {
            if (!text.empty()) {
                std::memmove(chars, text.data(), text.size());
            }
            chars[text.size()] = '\0';
            count = text.size();
        } else {
            overflow.assign(text);
            count = text.size();
        }
    }

    // Makes the text size bytes long and answers where they are written; the
    // bytes are unspecified until then.
    char* Resize(std::size_t size)
    {
        count = size;
        if (size <= Capacity) {
            chars[size] = '\0';
            return chars;
        }
        overflow.resize(size);
        return overflow.data();
    }

    // Keeps the first size bytes, size not above size().
    void Shrink(std::size_t size)
    {
        if (count > Capacity && size <= Capacity) {
            std::memcpy(chars, overflow.data(), size);
        }
        count = size;
        if (size <= Capacity) {
            chars[size] = '\0';
        } else {
            overflow.resize(size);
        }
    }

    const char* data() const { return count <= Capacity ? chars : overflow.data(); }
    const char* c_str() const { return data(); }
    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }

    operator std::string_view() const { return {data(), count}; }
    operator std::string() const { return std::string(data(), count); }

    friend bool operator==(const RowText& text, std::string_view other)
    {
        return std::string_view(text) == other;
    }
    friend bool operator==(const RowText& text, const RowText& other)
    {
        return std::string_view(text) == std::string_view(other);
    }
    friend std::ostream& operator<<(std::ostream& out, const RowText& text)
    {
        return out << std::string_view(text);
    }

private:
    std::size_t count = 0;
    // Only chars[0] to chars[count] are ever written or read, so a new row
    // does not clear the whole buffer.
    char chars[Capacity + 1];
    std::string overflow;
};
