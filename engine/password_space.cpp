#include "engine/password_space.h"

#include <bit>

#include "engine/rule_walk.h"

PasswordSpace::PasswordSpace(const DrawRule& rule, std::size_t passwordLength)
    : classes(FoldedClasses(rule.alphabet)), requiredKinds(rule.RequiredKinds()),
      length(passwordLength), excludeDuplicate(rule.excludeDuplicate),
      size(CountPasswords(rule, passwordLength))
{
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
        const FoldedClass& folded = classes[static_cast<unsigned char>(c)];
        if (folded.size == 0 || recent.Holds(FoldCase(c))) {
            return PasswordCount();
        }
        variants *= static_cast<std::uint32_t>(folded.size);
        if (folded.size == 2) {
            ++flexible;
        } else {
            fixedKinds |= folded.kinds;
        }
        if (excludeDuplicate) {
            recent.Push(c);
        }
    }
    return requiredKinds == 0 ? variants : WithEveryKind(fixedKinds, flexible);
}
