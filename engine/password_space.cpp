#include "engine/password_space.h"

#include <bit>

#include "engine/information.h"
#include "engine/rule_walk.h"

namespace {

// Past the first five characters each new one must differ from the five
// before it, whose folded classes are all different; so the choices left
// depend only on the sizes of those five classes (1 or 2), not on which they
// are. A state holds those sizes, oldest in the lowest bit (set for a class
// of two), behind a leading 1 that marks how many there are: 1 for none, up
// to 0b1xxxxx for five. Each step counts the ways into every state.
constexpr int kStates = 2 << DuplicateLookBack;

PasswordCount CountWithoutRepeats(const std::array<int, 3>& classesOfSize, std::size_t length)
{
    std::array<PasswordCount, kStates> ways{};
    ways[1] = PasswordCount(1);
    for (std::size_t position = 0; position < length; ++position) {
        std::array<PasswordCount, kStates> next{};
        for (unsigned state = 1; state < kStates; ++state) {
            if (ways[state] == PasswordCount()) {
                continue;
            }
            const int held = std::bit_width(state) - 1;
            const unsigned sizes = state & ((1u << held) - 1);
            const int recentOfSize[3] = {0, held - std::popcount(sizes), std::popcount(sizes)};
            for (const int classSize : {1, 2}) {
                const int free = classesOfSize[classSize] - recentOfSize[classSize];
                if (free <= 0) {
                    continue;
                }
                unsigned recent = sizes | (classSize == 2 ? 1u << held : 0u);
                int count = held + 1;
                if (count > DuplicateLookBack) {
                    recent >>= 1; // the oldest leaves the window
                    count = DuplicateLookBack;
                }
                next[(1u << count) | recent] +=
                    ways[state] * static_cast<std::uint32_t>(free * classSize);
            }
        }
        ways = next;
    }
    PasswordCount total;
    for (const PasswordCount& count : ways) {
        total += count;
    }
    return total;
}

} // namespace

PasswordSpace::PasswordSpace(const PasswordOptions& options)
    : classSize(FoldedClassSizes(options)),
      length(options.length > 0 ? static_cast<std::size_t>(options.length) : 0),
      excludeDuplicate(options.excludeDuplicate)
{
    std::array<int, 3> classesOfSize{};
    for (const std::uint8_t members : classSize) {
        ++classesOfSize[members];
    }
    if (excludeDuplicate) {
        size = CountWithoutRepeats(classesOfSize, length);
        return;
    }
    const auto characters = static_cast<std::uint32_t>(classesOfSize[1] + 2 * classesOfSize[2]);
    size = PasswordCount(1);
    for (std::size_t position = 0; position < length; ++position) {
        size *= characters;
    }
}

PasswordSpace::PasswordSpace(const DrawRule& rule, std::size_t passwordLength)
    : classSize{}, length(passwordLength), excludeDuplicate(rule.excludeDuplicate),
      size(CountPasswords(rule, passwordLength))
{
    for (int byte = 0; byte < 256; ++byte) {
        if (rule.alphabet.weight[static_cast<std::size_t>(byte)] != 0) {
            const char c = static_cast<char>(byte);
            ++classSize[FoldCase(c)];
            classKinds[FoldCase(c)] |= static_cast<std::uint8_t>(KindBit(c));
        }
    }
    requiredKinds = rule.RequiredKinds();
}

PasswordCount PasswordSpace::WithEveryKind(unsigned fixedKinds, std::size_t flexible) const
{
    const unsigned letters = KindBit('a') | KindBit('A');
    const unsigned missing = requiredKinds & ~fixedKinds;
    if ((missing & ~letters) != 0) {
        return PasswordCount();
    }
    // All 2^flexible, less the one all in capitals where a small letter is
    // missing, less the one all small where a capital is.
    PasswordCount all(1);
    for (std::size_t i = 0; i < flexible; ++i) {
        all *= 2;
    }
    const std::size_t excluded = std::popcount(missing);
    if (flexible == 0 ? excluded > 0 : (flexible == 1 && excluded == 2)) {
        return PasswordCount();
    }
    all -= PasswordCount(excluded);
    return all;
}

PasswordCount PasswordSpace::Variants(std::string_view word) const
{
    PasswordCount variants;
    if (word.size() != length) {
        return variants;
    }
    variants = PasswordCount(1);
    unsigned fixedKinds = 0;
    std::size_t flexible = 0;
    RecentCharacters recent;
    for (const char c : word) {
        // Classes are kept by folded byte, so a capital has none. The rule
        // compares folded characters: a password follows it exactly when
        // its folded form does.
        const std::uint8_t members = classSize[static_cast<unsigned char>(c)];
        if (members == 0 || !IsAcceptable(c, recent, false)) {
            return PasswordCount();
        }
        variants *= members;
        if (members == 2) {
            ++flexible;
        } else {
            fixedKinds |= classKinds[static_cast<unsigned char>(c)];
        }
        if (excludeDuplicate) {
            recent.Push(c);
        }
    }
    return requiredKinds == 0 ? variants : WithEveryKind(fixedKinds, flexible);
}
