#include "engine/rule_walk.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <unordered_map>

namespace {

struct Member {
    int kind; // its CharacterKind
    std::uint32_t weight;

    bool operator==(const Member&) const = default;
};

// Classes of folded characters that the rule cannot tell apart: the same
// members' kinds and weights. One of them stands for all in the windows.
// Only the first place tells them apart once more, by the members that may
// not begin a password; the window is empty there, so counting those is
// enough.
struct ClassType {
    int count = 0;
    unsigned char representative = 0;
    std::uint32_t weight = 0;
    std::vector<Member> members;
    std::vector<int> barredFirst; // by member: classes whose member may not begin
};

std::vector<ClassType> ClassTypes(const DrawRule& rule)
{
    const std::array<FoldedClass, 256> classes = FoldedClasses(rule.alphabet);
    std::vector<ClassType> types;
    for (std::size_t folded = 0; folded < classes.size(); ++folded) {
        const FoldedClass& found = classes[folded];
        std::vector<Member> members;
        std::vector<int> barred;
        for (int i = 0; i < found.size; ++i) {
            const auto c = static_cast<unsigned char>(found.members[static_cast<std::size_t>(i)]);
            members.push_back(
                {static_cast<int>(KindOf(static_cast<char>(c))), rule.alphabet.weight[c]});
            barred.push_back(rule.notFirst[c] ? 1 : 0);
        }
        if (members.empty()) {
            continue;
        }
        auto alike = std::find_if(types.begin(), types.end(), [&](const ClassType& type) {
            return type.weight == found.weight && type.members == members;
        });
        if (alike == types.end()) {
            types.push_back({0, static_cast<unsigned char>(folded), found.weight, members,
                             std::vector<int>(members.size())});
            alike = types.end() - 1;
        }
        ++alike->count;
        for (std::size_t i = 0; i < barred.size(); ++i) {
            alike->barredFirst[i] += barred[i];
        }
    }
    return types;
}

// The windows the repeat rule can see, as states of one kind or another:
// how many classes of each type a window holds is all a character's chance
// depends on. Each kind answers that count, the window after a class of a
// type, and a key equal for equal windows.

// The last five classes, each by the representative of its type.
struct FiveBack {
    const std::vector<ClassType>* types;
    RecentCharacters recent;

    int Held(std::size_t type) const { return recent.Count((*types)[type].representative); }
    FiveBack After(std::size_t type) const
    {
        FiveBack next = *this;
        next.recent.PushFolded((*types)[type].representative);
        return next;
    }
    std::string Key() const
    {
        const std::uint64_t key = recent.Key();
        return std::string(reinterpret_cast<const char*>(&key), sizeof key);
    }
};

// Every class before, counted by type.
struct AllBefore {
    std::string used; // a count a type

    int Held(std::size_t type) const { return static_cast<unsigned char>(used[type]); }
    AllBefore After(std::size_t type) const
    {
        AllBefore next = *this;
        ++next.used[type];
        return next;
    }
    const std::string& Key() const { return used; }
};

// No window at all: repeats are allowed.
struct NothingBefore {
    int Held(std::size_t) const { return 0; }
    NothingBefore After(std::size_t) const { return {}; }
    std::string Key() const { return {}; }
};

// The reachable windows, numbered from the empty one (0), with the step a
// class of each type takes from each.
class Windows {
public:
    struct Step {
        int next; // -1: no class of the type is free
        int free; // classes of the type outside the window
    };

    Windows(const std::vector<ClassType>& types, Repeats repeats) : typeCount(types.size())
    {
        switch (repeats) {
        case Repeats::NotWithinFive:
            Explore(types, FiveBack{&types, {}});
            return;
        case Repeats::Never:
            Explore(types, AllBefore{std::string(types.size(), '\0')});
            return;
        case Repeats::Allowed:
            break;
        }
        Explore(types, NothingBefore{});
    }

    std::size_t Size() const { return windowWeight.size(); }
    const Step& At(std::size_t state, std::size_t type) const
    {
        return steps[state * typeCount + type];
    }
    // The weight the window's classes take out of the draw.
    std::uint32_t Taken(std::size_t state) const { return windowWeight[state]; }

private:
    template <typename Window>
    void Explore(const std::vector<ClassType>& types, Window start)
    {
        std::unordered_map<std::string, int> index{{start.Key(), 0}};
        std::vector<Window> windows{start};
        for (std::size_t state = 0; state < windows.size(); ++state) {
            const Window window = windows[state];
            std::uint32_t taken = 0;
            for (std::size_t type = 0; type < typeCount; ++type) {
                const int held = window.Held(type);
                taken += static_cast<std::uint32_t>(held) * types[type].weight;
                const int free = types[type].count - held;
                if (free <= 0) {
                    steps.push_back({-1, 0});
                    continue;
                }
                const Window next = window.After(type);
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

    std::size_t typeCount;
    std::vector<std::uint32_t> windowWeight;
    std::vector<Step> steps;
};

// How many characters of each kind a password holds so far, each counted up
// to its minimum only: a number whose digits (one a kind, base the minimum
// plus one) are those counts. The last number is every minimum held.
class KindCounts {
public:
    explicit KindCounts(const std::array<int, kCharacterKinds>& atLeast)
    {
        for (int kind = 0; kind < kCharacterKinds; ++kind) {
            place[static_cast<std::size_t>(kind)] = size;
            size *= static_cast<std::size_t>(atLeast[static_cast<std::size_t>(kind)]) + 1;
        }
        for (std::size_t counts = 0; counts < size; ++counts) {
            for (int kind = 0; kind < kCharacterKinds; ++kind) {
                const auto k = static_cast<std::size_t>(kind);
                const std::size_t held =
                    counts / place[k] % (static_cast<std::size_t>(atLeast[k]) + 1);
                after.push_back(held < static_cast<std::size_t>(atLeast[k]) ? counts + place[k]
                                                                            : counts);
            }
        }
    }

    std::size_t Size() const { return size; }
    std::size_t Full() const { return size - 1; }
    std::size_t After(std::size_t counts, int kind) const
    {
        return after[counts * kCharacterKinds + static_cast<std::size_t>(kind)];
    }

private:
    std::array<std::size_t, kCharacterKinds> place{};
    std::size_t size = 1;
    std::vector<std::size_t> after;
};

// Walks every password of up to maxLength characters: values by window and
// kind counts, one step a character; answers by length the values of the
// passwords that hold every minimum, combined. A Policy says what a value is
// and how a character changes it.
template <typename Policy>
std::vector<typename Policy::Value> Walk(const DrawRule& rule, std::size_t maxLength)
{
    using Value = typename Policy::Value;
    const std::vector<ClassType> types = ClassTypes(rule);
    const Windows windows(types, rule.repeats);
    const KindCounts kinds(rule.atLeast);
    const double total = rule.alphabet.Total();
    double notFirstWeight = 0;
    for (const ClassType& type : types) {
        for (std::size_t i = 0; i < type.members.size(); ++i) {
            notFirstWeight += static_cast<double>(type.members[i].weight) * type.barredFirst[i];
        }
    }
    std::vector<Value> now(windows.Size() * kinds.Size(), Policy::Zero());
    std::vector<Value> next(now.size());
    now[0] = Policy::One();
    std::vector<Value> byLength;
    for (std::size_t length = 0;; ++length) {
        Value all = Policy::Zero();
        for (std::size_t state = 0; state < windows.Size(); ++state) {
            Policy::Add(all, now[state * kinds.Size() + kinds.Full()]);
        }
        byLength.push_back(all);
        if (length == maxLength) {
            return byLength;
        }
        const bool first = length == 0;
        std::fill(next.begin(), next.end(), Policy::Zero());
        for (std::size_t at = 0; at < now.size(); ++at) {
            if (now[at] == Policy::Zero()) {
                continue;
            }
            const std::size_t state = at / kinds.Size();
            const std::size_t counts = at % kinds.Size();
            const double left = total - windows.Taken(state) - (first ? notFirstWeight : 0);
            for (std::size_t type = 0; type < types.size(); ++type) {
                const Windows::Step& step = windows.At(state, type);
                if (step.next < 0) {
                    continue;
                }
                const std::vector<Member>& members = types[type].members;
                for (std::size_t i = 0; i < members.size(); ++i) {
                    // Only the first place is offered fewer classes: the
                    // window is empty there, so every class is free.
                    const int free = first ? step.free - types[type].barredFirst[i] : step.free;
                    if (free <= 0) {
                        continue;
                    }
                    Policy::Add(next[static_cast<std::size_t>(step.next) * kinds.Size() +
                                     kinds.After(counts, members[i].kind)],
                                Policy::Step(now[at], free, members[i].weight, left));
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

std::vector<double> MinimumsChances(const DrawRule& rule, std::size_t maxLength)
{
    return Walk<ChanceSum>(rule, maxLength);
}

PasswordCount CountPasswords(const DrawRule& rule, std::size_t length)
{
    return Walk<Counting>(rule, length).back();
}

std::vector<double> LeastInformation(const DrawRule& rule, std::size_t maxLength)
{
    const std::vector<double> largest = Walk<ChanceMax>(rule, maxLength);
    const std::vector<double> held = rule.HasMinimums() ? MinimumsChances(rule, maxLength)
                                                        : std::vector<double>(largest.size(), 1);
    std::vector<double> bits;
    for (std::size_t length = 0; length < largest.size(); ++length) {
        bits.push_back(largest[length] == 0 ? std::numeric_limits<double>::infinity()
                                            : std::log2(held[length]) - std::log2(largest[length]));
    }
    return bits;
}
