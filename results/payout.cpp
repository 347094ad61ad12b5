#include "results/payout.h"

#include <algorithm>
#include <numeric>

namespace qismar::results {

namespace {

using Wide = __int128;

Currency fromWide(Wide raw)
{
    if (raw > Currency::kMaxRaw || raw < Currency::kMinRaw)
        throw EngineError(ErrorCode::OutOfRange);
    return Currency::fromRaw(std::int64_t(raw));
}

Wide roundedToUnit(Wide raw, std::int64_t unit)
{
    const Wide half = unit / 2;
    if (raw >= 0)
        return (raw + half) / unit * unit;
    return -((-raw + half) / unit * unit);
}

}  // namespace

std::int64_t payoutUnit(int decimals) noexcept
{
    if (decimals < kFewestDecimals || decimals > kMostDecimals)
        decimals = kDefaultDecimals;
    std::int64_t unit = Currency::kScale;
    for (int i = 0; i < decimals; ++i)
        unit /= 10;
    return unit;
}

Currency roundToUnit(Currency amount, std::int64_t unit) noexcept
{
    const Wide r = roundedToUnit(amount.raw(), unit);
    // The largest amounts round down rather than leave the range.
    if (r > Currency::kMaxRaw)
        return Currency::fromRaw(Currency::kMaxRaw / unit * unit);
    if (r < Currency::kMinRaw)
        return Currency::fromRaw(Currency::kMinRaw / unit * unit);
    return Currency::fromRaw(std::int64_t(r));
}

std::vector<Payout> roundPayouts(std::span<const PayoutItem> items, Currency target, int decimals)
{
    const std::int64_t unit = payoutUnit(decimals);
    const std::size_t n = items.size();
    std::vector<Payout> out(n);
    if (n == 0)
        return out;
    if (target.raw() < 0)
        throw EngineError(ErrorCode::InvalidCount);

    // Every item rounded down to the unit, and what that leaves of each.
    std::vector<Wide> units(n);
    std::vector<std::int64_t> remainders(n);
    Wide floors = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (items[i].exact.raw() < 0 || items[i].heads < 1)
            throw EngineError(ErrorCode::InvalidCount);
        units[i] = items[i].exact.raw() / unit;
        remainders[i] = items[i].exact.raw() % unit;
        floors += units[i];
    }
    // The units the target holds beyond the items rounded down: given one
    // each to the largest remainders. The exact items add up to the target
    // but for the engine's own rounding, so this is 0 to n; beyond that the
    // rest is given (or taken) in turns, the largest remainders first.
    Wide left = roundedToUnit(target.raw(), unit) / unit - floors;
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (left >= 0) {
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return remainders[a] > remainders[b]; });
        const Wide rounds = left / Wide(n);
        for (std::size_t i = 0; i < n; ++i)
            units[i] += rounds;
        left -= rounds * Wide(n);
        for (std::size_t i = 0; left > 0; ++i, --left)
            units[order[i]] += 1;
    } else {
        // The items pass the target: units are taken from the smallest
        // remainders first, never below nothing.
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return remainders[a] < remainders[b]; });
        while (left < 0) {
            bool took = false;
            for (std::size_t i = 0; i < n && left < 0; ++i)
                if (units[order[i]] > 0) {
                    units[order[i]] -= 1;
                    ++left;
                    took = true;
                }
            if (!took)
                throw EngineError(ErrorCode::InvalidCount);
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        const Wide heads = items[i].heads;
        out[i].total = fromWide(units[i] * unit);
        out[i].perHead = fromWide(units[i] / heads * unit);
        out[i].headsWithOneUnitMore = std::int64_t(units[i] % heads);
    }
    return out;
}

}  // namespace qismar::results
