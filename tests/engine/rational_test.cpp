// Exact fractions: every operation gives the reduced fraction that the
// schoolbook definition gives, and an operation whose result does not fit
// gives an invalid value, never a wrong one.
#include <gtest/gtest.h>

#include "engine/rational.h"
#include "tests/engine/test_support.h"

using namespace qismar;
using Int = Rational::Int;

namespace {

// The reduced fraction n/d by the definition, for comparison.
Rational reference(Int n, Int d)
{
    if (d < 0)
        n = -n, d = -d;
    Int a = n < 0 ? -n : n, b = d;
    while (b != 0) {
        const Int t = a % b;
        a = b;
        b = t;
    }
    return Rational::of(n / a, d / a);
}

TEST(Rational, ArithmeticGivesTheReducedResult)
{
    qismar::testing::Random g(5);
    for (int i = 0; i < 200000; ++i) {
        // Small and large denominators, shared factors and coprime ones.
        const auto pick = [&g](bool den) {
            const std::int64_t v = g.chance(50) ? g.upTo(60) : g.upTo(std::int64_t(1) << (g.chance(50) ? 20 : 40));
            return den ? v + 1 : (g.chance(30) ? -v : v);
        };
        const std::int64_t an = pick(false), ad = pick(true), bn = pick(false), bd = pick(true), k = pick(false);
        const Rational a = Rational::of(an, ad), b = Rational::of(bn, bd);
        ASSERT_EQ(a + b, reference(Int(an) * bd + Int(bn) * ad, Int(ad) * bd)) << an << "/" << ad << " + " << bn << "/" << bd;
        ASSERT_EQ(a - b, reference(Int(an) * bd - Int(bn) * ad, Int(ad) * bd));
        ASSERT_EQ(a * b, reference(Int(an) * bn, Int(ad) * bd));
        if (bn != 0) {
            ASSERT_EQ(a / b, reference(Int(an) * bd, Int(ad) * bn));
        }
        ASSERT_EQ(a.times(k), reference(Int(an) * k, ad));
        ASSERT_EQ(Rational::scaled(a, k, bd), reference(Int(an) * k, Int(ad) * bd));
        ASSERT_EQ(a < b, Int(an) * bd < Int(bn) * ad);
        ASSERT_GT(a.den(), 0);
    }
}

TEST(Rational, WhatDoesNotFitIsInvalidNotWrong)
{
    const Int huge = Int(1) << 100;
    const Rational big = Rational::of(huge, 3);
    EXPECT_FALSE((big * big).valid());
    EXPECT_FALSE(big.times(huge).valid());
    EXPECT_FALSE((Rational::of(1, huge) + Rational::of(1, huge - 1)).valid());
    EXPECT_FALSE((Rational(1) / Rational()).valid());
    EXPECT_FALSE(Rational::of(1, 0).valid());
    // Invalid stays invalid, and compares unordered.
    const Rational bad = Rational::invalid();
    EXPECT_FALSE((bad + Rational(1)).valid());
    EXPECT_FALSE(bad < Rational(1));
    EXPECT_FALSE(Rational(1) < bad);
    EXPECT_EQ(bad.text(), "");
}

TEST(Rational, TextOfFractions)
{
    const struct {
        Rational value;
        const char* text;
    } cases[] = {
        {Rational::of(6, 16), "3/8"},
        {Rational::of(-4, 6), "-2/3"},
        {Rational::of(4, -6), "-2/3"},
        {Rational::of(0, 7), "0"},
        {Rational(5), "5"},
        {Rational::of(Int(1) << 90, 1), "1237940039285380274899124224"},
    };
    for (const auto& k : cases)
        EXPECT_EQ(k.value.text(), k.text);
}

}  // namespace
