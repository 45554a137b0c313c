#include "engine/rule_walk.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>

namespace {

struct Member {
    unsigned kind; // its bit
    std::uint32_t weight;
};

// Classes of folded characters that the rule cannot tell apart: the same
// members' kinds and weights. One of them stands for all in the windows.
struct ClassType {
    int count = 0;
    unsigned char representative = 0;
    std::uint32_t weight = 0;
    std::vector<Member> members;
};

std::vector<ClassType> ClassTypes(const Alphabet& alphabet)
{
    const std::array<FoldedClass, 256> classes = FoldedClasses(alphabet);
    std::vector<ClassType> types;
    for (std::size_t folded = 0; folded < classes.size(); ++folded) {
        const FoldedClass& found = classes[folded];
        std::vector<Member> members;
        for (int i = 0; i < found.size; ++i) {
            const char c = found.members[static_cast<std::size_t>(i)];
            members.push_back({KindBit(c), alphabet.weight[static_cast<unsigned char>(c)]});
        }
        if (members.empty()) {
            continue;
        }
        const auto alike = std::find_if(types.begin(), types.end(), [&](const ClassType& type) {
            return type.weight == found.weight &&
                   std::equal(type.members.begin(), type.members.end(), members.begin(),
                              members.end(), [](const Member& a, const Member& b) {
                                  return a.kind == b.kind && a.weight == b.weight;
                              });
        });
        if (alike == types.end()) {
            types.push_back({1, static_cast<unsigned char>(folded), found.weight, members});
        } else {
            ++alike->count;
        }
    }
    return types;
}

// The windows the five-position rule can see, each holding for every class
// among the last five drawn the representative of its type: how many classes
// of each type the window holds is all a character's chance depends on. Only
// windows reachable from the empty one are kept; without the rule the window
// stays empty.
class Windows {
public:
    struct Step {
        int next; // -1: no class of the type is free
        int free; // classes of the type outside the window
    };

    Windows(const std::vector<ClassType>& types, bool excludeDuplicate) : typeCount(types.size())
    {
        std::unordered_map<std::uint64_t, int> index{{RecentCharacters{}.Key(), 0}};
        std::vector<RecentCharacters> windows(1);
        for (std::size_t state = 0; state < windows.size(); ++state) {
            const RecentCharacters window = windows[state];
            std::uint32_t taken = 0;
            for (std::size_t type = 0; type < typeCount; ++type) {
                const int held = window.Count(types[type].representative);
                taken += static_cast<std::uint32_t>(held) * types[type].weight;
                const int free = types[type].count - held;
                if (free <= 0) {
                    steps.push_back({-1, 0});
                    continue;
                }
                RecentCharacters next = window;
                if (excludeDuplicate) {
                    next.PushFolded(types[type].representative);
                }
                const auto [found, added] =
                    index.try_emplace(next.Key(), static_cast<int>(windows.size()));
                if (added) {
                    windows.push_back(next);
                }
                steps.push_back({found->second, free});
            }
            windowWeight.push_back(taken);
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
    // The kinds held are tracked only where some are required.
    const std::size_t masks = required != 0 ? kMasks : 1;
    const double total = rule.alphabet.Total();
    std::vector<Value> now(windows.Size() * masks, Policy::Zero());
    std::vector<Value> next(now.size());
    now[0] = Policy::One();
    std::vector<Value> byLength;
    for (std::size_t length = 0;; ++length) {
        Value all = Policy::Zero();
        for (std::size_t state = 0; state < windows.Size(); ++state) {
            Policy::Add(all, now[state * masks + required]);
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
            const std::size_t state = at / masks;
            const unsigned held = static_cast<unsigned>(at % masks);
            const double left = total - windows.Taken(state);
            for (std::size_t type = 0; type < types.size(); ++type) {
                const Windows::Step& step = windows.At(state, type);
                if (step.next < 0) {
                    continue;
                }
                for (const Member& member : types[type].members) {
                    Policy::Add(next[static_cast<std::size_t>(step.next) * masks +
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
