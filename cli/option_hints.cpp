#include "cli/option_hints.h"

#include <algorithm>
#include <vector>

namespace {

// The optimal string alignment distance: a swap of neighbours counts as one
// step, as the typing slip it usually is.
std::size_t EditDistance(std::string_view a, std::string_view b)
{
    const std::size_t width = b.size() + 1;
    std::vector<std::size_t> cost((a.size() + 1) * width);
    const auto at = [&](std::size_t i, std::size_t j) -> std::size_t& {
        return cost[i * width + j];
    };
    for (std::size_t i = 0; i <= a.size(); ++i) {
        at(i, 0) = i;
    }
    for (std::size_t j = 0; j <= b.size(); ++j) {
        at(0, j) = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t changed = a[i - 1] == b[j - 1] ? 0 : 1;
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + changed});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
            }
        }
    }
    return at(a.size(), b.size());
}

} // namespace

std::string_view NearestName(std::string_view name, std::span<const std::string_view> names)
{
    const std::size_t most = std::min<std::size_t>(2, name.size() / 3);
    std::string_view nearest;
    std::size_t best = most + 1;
    for (const std::string_view candidate : names) {
        if (const std::size_t distance = EditDistance(name, candidate); distance < best) {
            best = distance;
            nearest = candidate;
        }
    }
    return nearest;
}

std::string ShellQuoted(std::string_view text)
{
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string_view("'\\''") : std::string_view(&c, 1);
    }
    return quoted + "'";
}
