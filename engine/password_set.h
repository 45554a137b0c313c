#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

// The passwords of one batch, for the uniqueness test. Looked up by view, so
// asking about a candidate makes no copy of it.
class PasswordSet {
public:
    bool Contains(std::string_view password) const
    {
        return passwords.find(password) != passwords.end();
    }
    void Insert(std::string_view password) { passwords.emplace(password); }
    void Clear() { passwords.clear(); }
    std::size_t Size() const { return passwords.size(); }

private:
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const
        {
            return std::hash<std::string_view>{}(text);
        }
    };

    std::unordered_set<std::string, TextHash, std::equal_to<>> passwords;
};
