#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "engine/password_space.h"

namespace {

PasswordCount SpaceSize(const PasswordOptions& options)
{
    return PasswordSpace(DialogRule(options), static_cast<std::size_t>(options.length)).Size();
}

constexpr std::string_view kMixed =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Every text of the given length over the characters the type and case can
// draw, counted when each character passes the rules after those before it.
// The rules look at no more than the last five characters, folded (ending,
// one byte each), so texts that end alike, with as many characters still to
// come, are counted once.
struct OneByOne {
    std::uint64_t Count(int length, RecentCharacters recent = {}, std::uint64_t ending = 0)
    {
        std::uint64_t count = 0;
        if (length == 1) {
            for (const char c : drawable) {
                count += IsAcceptable(c, recent, options.excludeSimilar) ? 1 : 0;
            }
            return count;
        }
        const std::uint64_t key = ending << 8 | static_cast<std::uint64_t>(length);
        if (const auto known = counted.find(key); known != counted.end()) {
            return known->second;
        }
        for (const char c : drawable) {
            if (IsAcceptable(c, recent, options.excludeSimilar)) {
                RecentCharacters next = recent;
                std::uint64_t nextEnding = 0;
                if (options.excludeDuplicate) {
                    next.Push(c);
                    nextEnding = (ending << 8 | FoldCase(c)) & 0xFF'FFFF'FFFF;
                }
                count += Count(length - 1, next, nextEnding);
            }
        }
        return counted[key] = count;
    }

    PasswordOptions options;
    std::string_view drawable;
    std::unordered_map<std::uint64_t, std::uint64_t> counted = {};
};

// From the seventh character on the window of five moves; only from the
// eighth does it matter which end leaves it, and hex in mixed case mixes
// classes of one and two characters there.
TEST(PasswordSpace, CountsWhatTheRulesAllowExactly)
{
    using enum CharacterType;
    using enum LetterCase;
    const struct {
        PasswordOptions options;
        std::string_view drawable;
    } kCases[] = {
        {{.length = 3}, kMixed},
        {{.length = 3, .letterCase = LowerCase, .excludeSimilar = false, .excludeDuplicate = false},
         kMixed.substr(0, 36)},
        {{.length = 8, .characterType = OnlyNumbers}, kMixed.substr(0, 10)},
        {{.length = 8, .characterType = HexDigits}, "0123456789abcdefABCDEF"},
        {{.length = 5,
          .characterType = HexDigits,
          .letterCase = LowerCase,
          .excludeSimilar = false},
         "0123456789abcdef"},
        {{.length = 4, .characterType = OnlyLetters, .letterCase = UpperCase}, kMixed.substr(36)},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(SpaceSize(c.options).Saturated(),
                  (OneByOne{c.options, c.drawable}.Count(c.options.length)))
            << c.drawable << " length " << c.options.length;
    }
    EXPECT_EQ((OneByOne{kCases[0].options, kMixed}.Count(3)), 141960u);
}

// 62^10 fits 64 bits and 62^11 does not; 16^16 is 2^63 twice; 62^64 is
// 2^64 * 31^64, so one less borrows through its two lowest words.
TEST(PasswordSpace, StaysExactPastSixtyFourBits)
{
    const auto size = [](const PasswordOptions& options) { return SpaceSize(options); };
    PasswordOptions all{.length = 10, .excludeSimilar = false, .excludeDuplicate = false};
    EXPECT_EQ(size(all).Saturated(), 839299365868340224u);
    all.length = 11;
    EXPECT_EQ(size(all).Saturated(), std::numeric_limits<std::uint64_t>::max());
    PasswordCount twice(std::uint64_t{1} << 63);
    twice += PasswordCount(std::uint64_t{1} << 63);
    EXPECT_EQ(size({.length = 16,
                    .characterType = CharacterType::HexDigits,
                    .letterCase = LetterCase::LowerCase,
                    .excludeSimilar = false,
                    .excludeDuplicate = false}),
              twice);
    all.length = PasswordOptions::kMaxLength;
    PasswordCount lessOne = size(all);
    lessOne -= PasswordCount(1);
    PasswordCount one = size(all);
    one -= lessOne;
    EXPECT_EQ(one, PasswordCount(1));
    lessOne += PasswordCount(1);
    EXPECT_EQ(lessOne, size(all));
}

} // namespace
