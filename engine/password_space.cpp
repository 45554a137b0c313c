#include "engine/password_space.h"

#include <array>

#include "engine/rule_walk.h"

namespace {

// n choose k for the lengths a password can have; the largest, 64 choose 32,
// fits in 64 bits.
constexpr int kMostLetters = 64;
const auto kChoose = [] {
    std::array<std::array<std::uint64_t, kMostLetters + 1>, kMostLetters + 1> choose{};
    for (int n = 0; n <= kMostLetters; ++n) {
        choose[n][0] = 1;
        for (int k = 1; k <= n; ++k) {
            choose[n][k] = choose[n - 1][k - 1] + choose[n - 1][k];
        }
    }
    return choose;
}();

} // namespace

PasswordSpace::PasswordSpace(const DrawRule& drawRule, std::size_t passwordLength)
    : rule(drawRule), classes(FoldedClasses(drawRule.alphabet)), length(passwordLength),
      size(CountPasswords(drawRule, passwordLength))
{
}

template <typename Window>
bool PasswordSpace::KeepsRepeatRule(std::string_view word)
{
    Window window;
    for (const char c : word) {
        if (window.Holds(FoldCase(c))) {
            return false;
        }
        window.Push(c);
    }
    return true;
}

PasswordCount PasswordSpace::CaseChoices(const std::array<int, kCharacterKinds>& fixed,
                                         int flexible) const
{
    const auto kind = [](CharacterKind k) { return static_cast<std::size_t>(k); };
    for (const CharacterKind other : {CharacterKind::Digit, CharacterKind::Symbol}) {
        if (fixed[kind(other)] < rule.atLeast[kind(other)]) {
            return PasswordCount();
        }
    }
    // Capitals of the flexible letters: choose how many, then which.
    PasswordCount choices;
    for (int capitals = 0; capitals <= flexible && flexible <= kMostLetters; ++capitals) {
        if (fixed[kind(CharacterKind::Upper)] + capitals >=
                rule.atLeast[kind(CharacterKind::Upper)] &&
            fixed[kind(CharacterKind::Lower)] + flexible - capitals >=
                rule.atLeast[kind(CharacterKind::Lower)]) {
            choices += PasswordCount(
                kChoose[static_cast<std::size_t>(flexible)][static_cast<std::size_t>(capitals)]);
        }
    }
    return choices;
}

PasswordCount PasswordSpace::Variants(std::string_view word) const
{
    if (word.size() != length) {
        return PasswordCount();
    }
    std::array<int, kCharacterKinds> fixed{};
    int flexible = 0;
    for (std::size_t i = 0; i < word.size(); ++i) {
        // Classes are kept by folded byte, so a capital has none: the lookup
        // folds a password, so a word that holds one stands for none.
        const FoldedClass& folded = classes[static_cast<unsigned char>(word[i])];
        int allowed = 0;
        char member = '\0';
        for (int m = 0; m < folded.size; ++m) {
            const char c = folded.members[static_cast<std::size_t>(m)];
            if (!(i == 0 && rule.notFirst[static_cast<unsigned char>(c)])) {
                ++allowed;
                member = c;
            }
        }
        if (allowed == 0) {
            return PasswordCount();
        }
        if (allowed == 2) {
            ++flexible; // a small letter and its capital
        } else {
            ++fixed[static_cast<std::size_t>(KindOf(member))];
        }
    }
    const bool keeps = rule.repeats == Repeats::NotWithinFive
                           ? KeepsRepeatRule<RecentCharacters>(word)
                       : rule.repeats == Repeats::Never ? KeepsRepeatRule<UsedCharacters>(word)
                                                        : true;
    return keeps ? CaseChoices(fixed, flexible) : PasswordCount();
}
