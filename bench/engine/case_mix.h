// A fixed, varied mix of estate cases for the benchmarks: every kind of heir,
// small and large classes, small and large estates, cases that raise the
// base and cases that return a surplus. The same seed gives the same mix.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/estate_case.h"

namespace qismar::bench {

struct MixedCase {
    EstateCase estateCase;
    std::string jsonLine;  // the same case as a line for qismar-cli
};

std::vector<MixedCase> makeCaseMix(std::size_t count, std::uint64_t seed = 0x5EED);

}  // namespace qismar::bench
