#include "cli/run_summary.h"

#include <cmath>
#include <vector>

#include "engine/rule_walk.h"

namespace {

bool AtLeast(const PasswordCount& count, const PasswordCount& other)
{
    PasswordCount difference = count;
    difference -= other; // 0 when other is the larger
    return difference != PasswordCount() || count == other;
}

// log2 of the count from its leading digits, close enough for "about 2^x".
double Log2(const std::string& decimal)
{
    const std::size_t lead = std::min<std::size_t>(decimal.size(), 17);
    return std::log2(std::stod(decimal.substr(0, lead))) +
           static_cast<double>(decimal.size() - lead) * std::log2(10.0);
}

// "1234 passwords (about 2^10.2)".
std::string CountText(const PasswordCount& count, std::string_view unit)
{
    const std::string decimal = DecimalText(count);
    std::string text = decimal + " " + std::string(unit);
    if (decimal.size() > 3) {
        text += " (about 2^" + TenthsCut(Log2(decimal)) + ")";
    }
    return text;
}

double LeastBits(const RunPlan& plan)
{
    if (plan.passphrases) {
        return plan.passphrase.Bits();
    }
    const auto length = static_cast<std::size_t>(plan.length);
    return LeastInformation(plan.rule, length)[length];
}

} // namespace

std::string DecimalText(const PasswordCount& count)
{
    // The count offers sums, differences and products only: its digits come
    // from taking away powers of ten, the largest first.
    std::vector<PasswordCount> powers = {PasswordCount(1)};
    while (AtLeast(count, powers.back() * 10) && powers.size() < PasswordCount::kBits) {
        powers.push_back(powers.back() * 10);
    }
    std::string digits;
    PasswordCount rest = count;
    for (auto power = powers.rbegin(); power != powers.rend(); ++power) {
        char digit = '0';
        for (; AtLeast(rest, *power); ++digit) {
            rest -= *power;
        }
        digits.push_back(digit);
    }
    return digits;
}

std::string RunSummary(const RunPlan& plan, const AllowedPasswords& allowed, bool dictionary)
{
    const std::string unit = plan.passphrases ? "passphrases" : "passwords";
    std::string line = plan.passphrases
                           ? std::to_string(plan.passphrase.count) + " words of " +
                                 std::to_string(plan.passphrase.words.size()) + " a passphrase"
                           : std::to_string(plan.length) + " characters a password";
    line += ": the options allow " + CountText(allowed.all, unit);
    if (dictionary) {
        PasswordCount taken = allowed.all;
        taken -= allowed.left;
        line += "; the dictionary takes " + DecimalText(taken) + ", leaving " +
                CountText(allowed.left, unit);
    }
    if (allowed.all == PasswordCount()) {
        return line; // none to tell of
    }
    return line + "; each carries at least " + TenthsCut(LeastBits(plan)) + " bits of information";
}
