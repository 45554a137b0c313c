#include "engine/rule_walk.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

struct Member {
    unsigned kind; // its bit
    std::uint32_t weight;
};

// Classes of folded characters that the rule cannot tell apart: the same
// members' kinds and weights.
struct ClassType {
    int count = 0;
    std::uint32_t foldedWeight = 0;
    std::vector<Member> members;
};

std::vector<ClassType> ClassTypes(const Alphabet& alphabet)
{
    std::array<ClassType, 256> byFolded{};
    for (int byte = 0; byte < 256; ++byte) {
        const std::uint32_t weight = alphabet.weight[static_cast<std::size_t>(byte)];
        if (weight != 0) {
            const char c = static_cast<char>(byte);
            ClassType& folded = byFolded[FoldCase(c)];
            folded.foldedWeight += weight;
            folded.members.push_back({KindBit(c), weight});
        }
    }
    std::vector<ClassType> types;
    for (const ClassType& folded : byFolded) {
        if (folded.members.empty()) {
            continue;
        }
        const auto alike = std::find_if(types.begin(), types.end(), [&](const ClassType& type) {
            return type.foldedWeight == folded.foldedWeight &&
                   std::equal(type.members.begin(), type.members.end(), folded.members.begin(),
                              folded.members.end(), [](const Member& a, const Member& b) {
                                  return a.kind == b.kind && a.weight == b.weight;
                              });
        });
        if (alike == types.end()) {
            types.push_back(folded);
            types.back().count = 1;
        } else {
            ++alike->count;
        }
    }
    return types;
}

// The windows the five-position rule can see: the types of the last classes
// drawn, up to five, each window a number whose digits (base types + 1, the
// newest lowest, 0 for none) are those types. Only windows reachable from
// the empty one are kept; without the rule the window stays empty.
class Windows {
public:
    struct Step {
        int next; // -1: no class of the type is free
        int free; // classes of the type outside the window
    };

    Windows(const std::vector<ClassType>& types, bool excludeDuplicate) : typeCount(types.size())
    {
        const auto base = static_cast<std::uint32_t>(typeCount + 1);
        std::uint32_t limit = 1;
        for (int i = 0; i < (excludeDuplicate ? DuplicateLookBack : 0); ++i) {
            limit *= base;
        }
        std::vector<int> index(limit, -1);
        std::vector<std::uint32_t> codes = {0};
        index[0] = 0;
        for (std::size_t state = 0; state < codes.size(); ++state) {
            std::vector<int> held(typeCount);
            std::uint32_t weight = 0;
            for (std::uint32_t code = codes[state]; code != 0; code /= base) {
                ++held[code % base - 1];
                weight += types[code % base - 1].foldedWeight;
            }
            windowWeight.push_back(weight);
            for (std::size_t type = 0; type < typeCount; ++type) {
                const int free = types[type].count - held[type];
                if (free <= 0) {
                    steps.push_back({-1, 0});
                    continue;
                }
                // Past five places the oldest, the highest digit, falls off.
                const std::uint32_t next =
                    (codes[state] * base + static_cast<std::uint32_t>(type) + 1) % limit;
                if (index[next] < 0) {
                    index[next] = static_cast<int>(codes.size());
                    codes.push_back(next);
                }
                steps.push_back({index[next], free});
            }
        }
    }

    std::size_t Size() const { return windowWeight.size(); }
    const Step& At(std::size_t state, std::size_t type) const
    {
        return steps[state * typeCount + type];
    }
    // The weight the window's classes take out of the draw.
    std::uint32_t Taken(std::size_t state) const { return windowWeight[state]; }

private:
    std::size_t typeCount;
    std::vector<std::uint32_t> windowWeight;
    std::vector<Step> steps;
};

constexpr unsigned kMasks = 1u << kCharacterKinds;

// Walks every password of up to maxLength characters: values by window and
// kinds held (only the kinds the rule requires are tracked), one step a
// character; answers by length the values of the passwords that hold every
// required kind, combined. A Policy says what a value is and how a character
// changes it.
template <typename Policy>
std::vector<typename Policy::Value> Walk(const DrawRule& rule, std::size_t maxLength)
{
    using Value = typename Policy::Value;
    const std::vector<ClassType> types = ClassTypes(rule.alphabet);
    const Windows windows(types, rule.excludeDuplicate);
    const unsigned required = rule.RequiredKinds();
    const double total = rule.alphabet.Total();
    std::vector<Value> now(windows.Size() * kMasks, Policy::Zero());
    std::vector<Value> next(now.size());
    now[0] = Policy::One();
    std::vector<Value> byLength;
    for (std::size_t length = 0;; ++length) {
        Value all = Policy::Zero();
        for (std::size_t state = 0; state < windows.Size(); ++state) {
            Policy::Add(all, now[state * kMasks + required]);
        }
        byLength.push_back(all);
        if (length == maxLength) {
            return byLength;
        }
        std::fill(next.begin(), next.end(), Policy::Zero());
        for (std::size_t at = 0; at < now.size(); ++at) {
            if (now[at] == Policy::Zero()) {
                continue;
            }
            const std::size_t state = at / kMasks;
            const unsigned held = static_cast<unsigned>(at % kMasks);
            const double left = total - windows.Taken(state);
            for (std::size_t type = 0; type < types.size(); ++type) {
                const Windows::Step& step = windows.At(state, type);
                if (step.next < 0) {
                    continue;
                }
                for (const Member& member : types[type].members) {
                    Policy::Add(next[static_cast<std::size_t>(step.next) * kMasks +
                                     (held | (member.kind & required))],
                                Policy::Step(now[at], step.free, member.weight, left));
                }
            }
        }
        std::swap(now, next);
    }
}

struct ChanceSum {
    using Value = double;
    static Value Zero() { return 0; }
    static Value One() { return 1; }
    static void Add(Value& to, Value value) { to += value; }
    static Value Step(Value chance, int free, std::uint32_t weight, double left)
    {
        return chance * free * weight / left;
    }
};

struct ChanceMax {
    using Value = double;
    static Value Zero() { return 0; }
    static Value One() { return 1; }
    static void Add(Value& to, Value value) { to = std::max(to, value); }
    static Value Step(Value chance, int, std::uint32_t weight, double left)
    {
        return chance * weight / left;
    }
};

struct Counting {
    using Value = PasswordCount;
    static Value Zero() { return PasswordCount(); }
    static Value One() { return PasswordCount(1); }
    static void Add(Value& to, const Value& value) { to += value; }
    static Value Step(const Value& count, int free, std::uint32_t, double)
    {
        return count * static_cast<std::uint32_t>(free);
    }
};

} // namespace

std::vector<double> EveryKindChances(const DrawRule& rule, std::size_t maxLength)
{
    DrawRule every = rule;
    every.everyKind = true;
    return Walk<ChanceSum>(every, maxLength);
}

PasswordCount CountPasswords(const DrawRule& rule, std::size_t length)
{
    return Walk<Counting>(rule, length).back();
}

std::vector<double> LeastInformation(const DrawRule& rule, std::size_t maxLength)
{
    const std::vector<double> largest = Walk<ChanceMax>(rule, maxLength);
    const std::vector<double> every =
        rule.everyKind ? EveryKindChances(rule, maxLength) : std::vector<double>(largest.size(), 1);
    std::vector<double> bits;
    for (std::size_t length = 0; length < largest.size(); ++length) {
        bits.push_back(largest[length] == 0
                           ? std::numeric_limits<double>::infinity()
                           : std::log2(every[length]) - std::log2(largest[length]));
    }
    return bits;
}
