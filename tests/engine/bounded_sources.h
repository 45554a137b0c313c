// Sources for tests that draw until something happens. Each gives far more
// than any test here takes, then fails: a draw that rejects every candidate
// ends its test with a failure instead of keeping it running for ever.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <utility>

#include "engine/random_source.h"
#include "engine/secure_random.h"
#include "platform/system_random.h"

inline constexpr std::size_t kTestByteBudget = std::size_t{64} << 20;

// The bytes of the source until the budget is spent, then a refusal, which
// the secure source raises as RandomUnavailable.
inline RandomBytes WithinBudget(RandomBytes bytes, std::size_t budget = kTestByteBudget)
{
    return [bytes = std::move(bytes), left = budget](void* buffer, std::size_t size) mutable {
        if (size > left) {
            return false;
        }
        left -= size;
        return bytes(buffer, size);
    };
}

// The system's secure bytes within the budget.
inline RandomBytes BudgetedSystemBytes()
{
    return WithinBudget(SystemRandomBytes);
}

// Another source's draws, served through the virtual table as a test's
// source is, until a bound on their number: then it throws.
class BoundedDraws final : public DrawSource {
public:
    static constexpr long long kMaxDraws = 10'000'000;

    explicit BoundedDraws(DrawSource& wrapped) : inner(wrapped) {}
    int Below(int bound) override
    {
        if (++draws > kMaxDraws) {
            throw std::length_error("more draws than any test takes");
        }
        return inner.Below(bound);
    }

private:
    DrawSource& inner;
    long long draws = 0;
};
