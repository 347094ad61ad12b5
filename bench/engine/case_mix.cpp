#include "bench/engine/case_mix.h"

namespace qismar::bench {

namespace {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed | 1) {}
    std::uint64_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    long below(long n) { return static_cast<long>(next() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }

private:
    std::uint64_t state_;
};

struct CountField {
    const char* name;
    HeadCount EstateCase::*member;
};

const CountField kCounts[] = {
    {"sons", &EstateCase::sons},
    {"daughters", &EstateCase::daughters},
    {"sonsSons", &EstateCase::sonsSons},
    {"sonsDaughters", &EstateCase::sonsDaughters},
    {"sonsSonsSons", &EstateCase::sonsSonsSons},
    {"sonsSonsDaughters", &EstateCase::sonsSonsDaughters},
    {"fullSisters", &EstateCase::fullSisters},
    {"fullBrothers", &EstateCase::fullBrothers},
    {"paternalBrothers", &EstateCase::paternalBrothers},
    {"paternalSisters", &EstateCase::paternalSisters},
    {"uterineSisters", &EstateCase::uterineSisters},
    {"uterineBrothers", &EstateCase::uterineBrothers},
    {"fullBrothersSons", &EstateCase::fullBrothersSons},
    {"paternalBrothersSons", &EstateCase::paternalBrothersSons},
    {"fullUncles", &EstateCase::fullUncles},
    {"paternalUncles", &EstateCase::paternalUncles},
    {"fullUnclesSons", &EstateCase::fullUnclesSons},
    {"paternalUnclesSons", &EstateCase::paternalUnclesSons},
};

struct FlagField {
    const char* name;
    bool EstateCase::*member;
    int percent;
};

const FlagField kFlags[] = {
    {"father", &EstateCase::father, 30},
    {"mother", &EstateCase::mother, 40},
    {"spouse", &EstateCase::spouse, 50},
    {"grandfather", &EstateCase::grandfather, 25},
    {"mothersMother", &EstateCase::mothersMother, 10},
    {"fathersMother", &EstateCase::fathersMother, 10},
    {"mothersMothersMother", &EstateCase::mothersMothersMother, 5},
    {"fathersMothersMother", &EstateCase::fathersMothersMother, 5},
    {"fathersFathersMother", &EstateCase::fathersFathersMother, 5},
};

}  // namespace

std::vector<MixedCase> makeCaseMix(std::size_t count, std::uint64_t seed)
{
    Random rnd(seed);
    std::vector<MixedCase> mix;
    mix.reserve(count);
    const long commonEstates[] = {12, 24, 28, 60, 100, 1000, 24000, 28000, 1000000};
    for (std::size_t i = 0; i < count; ++i) {
        MixedCase m;
        EstateCase& c = m.estateCase;
        std::string& j = m.jsonLine;
        c.deceased = rnd.chance(50) ? Deceased::Man : Deceased::Woman;
        j = c.isMan() ? "{\"deceased\": \"man\"" : "{\"deceased\": \"woman\"";

        long estate;
        switch (rnd.below(4)) {
        case 0: estate = 1 + rnd.below(100); break;
        case 1: estate = 1 + rnd.below(1000000); break;
        case 2: estate = commonEstates[rnd.below(9)]; break;
        default: estate = 1 + rnd.below(1000000000000); break;
        }

        for (const FlagField& f : kFlags) {
            if (rnd.chance(f.percent)) {
                c.*(f.member) = true;
                j += ", \"" + std::string(f.name) + "\": true";
            }
        }
        if (c.spouse && c.isMan()) {
            const long wives = 1 + rnd.below(4);
            c.wives = HeadCount(wives);
            j += ", \"wives\": " + std::to_string(wives);
        }
        const long classes = rnd.below(5);
        for (long k = 0; k < classes; ++k) {
            const CountField& f = kCounts[rnd.below(std::size(kCounts))];
            if (!(c.*(f.member)).isZero())
                continue;
            const long heads = rnd.chance(90) ? 1 + rnd.below(5) : 1 + rnd.below(200);
            c.*(f.member) = HeadCount(heads);
            j += ", \"" + std::string(f.name) + "\": " + std::to_string(heads);
        }
        // The engine refuses less than 0.01 of the estate for each person:
        // the mix holds only cases that it divides.
        long persons = 0;
        for (const CountField& f : kCounts)
            persons += static_cast<long>((c.*(f.member)).persons());
        for (const FlagField& f : kFlags)
            persons += (c.*(f.member)) ? 1 : 0;
        if (c.spouse && c.isMan())
            persons += static_cast<long>(c.wives.persons()) - 1;
        if (estate * 100 < persons)
            estate = (persons + 99) / 100;
        c.estate = Currency::fromWhole(estate);
        j += ", \"estate\": \"" + std::to_string(estate) + "\"";
        j += "}";
        c.deriveEntryWindowState();
        mix.push_back(std::move(m));
    }
    return mix;
}

}  // namespace qismar::bench
