// String helpers, degree maths and the shared random generator.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <climits>
#include <numbers>
#include <random>
#include <set>
#include <sstream>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/record/replay.h"

namespace {

TEST(Strings, ToIntReadsSignsPrefixesAndStopsAtTheFirstStrayCharacter) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {
      {"42", 42},        {"  \t-17", -17}, {"+8", 8},         {"12abc", 12},   {"", 0},
      {"abc", 0},        {"-", 0},         {"$FF", 255},      {"$1fz", 31},    {"-$10", -16},
      {"%101", 5},       {"%102", 2},      {"1280 x", 1280},  {"\r\n 7\r", 7}, {"1 2", 1},
      {"2147483647", 2147483647},          {"-2147483648", -2147483647 - 1},
      // Decimal overflow saturates; hexadecimal wraps as a 32-bit pattern.
      {"4294967297", 2147483647},          {"-99999999999", -2147483647 - 1}, {"$FFFFFFFF", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::ToInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(Strings, PiecesAreClippedNeverAnError) {
  const std::string s = "Puffwick";
  EXPECT_EQ(plat::Mid(s, 1, 4), "Puff");
  EXPECT_EQ(plat::Mid(s, 5), "wick");
  EXPECT_EQ(plat::Mid(s, 0, 2), "P");  // position 0 does not exist
  EXPECT_EQ(plat::Mid(s, -5, 3), "");
  EXPECT_EQ(plat::Mid(s, 7, 100), "ck");
  EXPECT_EQ(plat::Mid(s, 9, 1), "");
  EXPECT_EQ(plat::Mid(s, 3, 0), "");
  EXPECT_EQ(plat::Left(s, 3), "Puf");
  EXPECT_EQ(plat::Left(s, 99), s);
  EXPECT_EQ(plat::Left(s, -1), "");
  EXPECT_EQ(plat::Right(s, 4), "wick");
  EXPECT_EQ(plat::Right(s, 99), s);
  EXPECT_EQ(plat::Right(s, 0), "");
}

TEST(Strings, InstrCountsFromOne) {
  EXPECT_EQ(plat::Instr("a-+-b-+-c", "-+-"), 2);
  EXPECT_EQ(plat::Instr("a-+-b-+-c", "-+-", 3), 6);
  EXPECT_EQ(plat::Instr("a-+-b-+-c", "-+-", 7), 0);
  EXPECT_EQ(plat::Instr("abc", "c", -4), 3);
  EXPECT_EQ(plat::Instr("abc", "x"), 0);
  EXPECT_EQ(plat::Instr("abc", ""), 0);
  EXPECT_EQ(plat::Instr("abc", "c", 50), 0);
}

TEST(Strings, ReplaceTrimUpper) {
  EXPECT_EQ(plat::Replace("aaa", "aa", "b"), "ba");  // left to right, no overlap
  EXPECT_EQ(plat::Replace("x.y.z", ".", "::"), "x::y::z");
  EXPECT_EQ(plat::Replace("abc", "", "q"), "abc");
  EXPECT_EQ(plat::Replace("abc", "b", ""), "ac");

  EXPECT_EQ(plat::Trim(" \t\r\n key = 1 \x1f"), "key = 1");
  EXPECT_EQ(plat::Trim("   "), "");
  EXPECT_EQ(plat::Trim("\xe9t\xe9"), "\xe9t\xe9");  // Latin-1 letters are not blanks

  EXPECT_EQ(plat::Upper("Puffwick 257!"), "PUFFWICK 257!");
  // Latin-1: e acute, o umlaut, y umlaut (no capital in Latin-1), sharp s, division sign.
  EXPECT_EQ(plat::Upper("\xe9\xf6\xff\xdf\xf7"), "\xc9\xd6\xff\xdf\xf7");
}

TEST(Maths, SinCosTakeDegreesAndAreExactOnTheAxes) {
  for (double turn : {-720.0, -360.0, 0.0, 360.0, 1080.0}) {
    EXPECT_EQ(plat::Sin(turn + 0), 0.0);
    EXPECT_EQ(plat::Sin(turn + 90), 1.0);
    EXPECT_EQ(plat::Sin(turn + 180), 0.0);
    EXPECT_EQ(plat::Sin(turn + 270), -1.0);
    EXPECT_EQ(plat::Cos(turn + 0), 1.0);
    EXPECT_EQ(plat::Cos(turn + 90), 0.0);
    EXPECT_EQ(plat::Cos(turn + 180), -1.0);
    EXPECT_EQ(plat::Cos(turn + 270), 0.0);
    EXPECT_EQ(plat::Sin(turn + 30), 0.5);
    EXPECT_EQ(plat::Cos(turn + 120), -0.5);
  }
  EXPECT_NEAR(plat::Sin(45), std::sqrt(0.5), 1e-12);
  EXPECT_NEAR(plat::Cos(-45), std::sqrt(0.5), 1e-12);
  EXPECT_NEAR(plat::Sin(12.5), std::sin(12.5 * std::numbers::pi / 180), 1e-12);
  EXPECT_NEAR(plat::Cos(200), std::cos(200 * std::numbers::pi / 180), 1e-12);
}

// A replay made on one machine replays on another only if every target gets the
// same bits: the sum below was taken on Linux and must come out the same under
// Windows and in the page. The angles cover whole degrees, fractions, both signs
// and more than one turn.
TEST(Maths, SinCosGiveTheSameBitsOnEveryTargetAndStayAccurate) {
  uint64_t hash = 1469598103934665603ull;
  auto mix = [&hash](double v) {
    hash ^= std::bit_cast<uint64_t>(v);
    hash *= 1099511628211ull;
  };
  for (int k = -40000; k <= 40000; ++k) {
    const double degrees = k * 0.0137;
    const double s = plat::Sin(degrees), c = plat::Cos(degrees);
    mix(s);
    mix(c);
    const double radians = degrees * (std::numbers::pi / 180);
    ASSERT_NEAR(s, std::sin(radians), 2e-15) << degrees;
    ASSERT_NEAR(c, std::cos(radians), 2e-15) << degrees;
  }
  for (int k = -720; k <= 720; ++k) mix(plat::Sin(k)), mix(plat::Cos(k));
  EXPECT_EQ(hash, 5259121610673592986ull);
}

TEST(Random, IntegersCoverTheInclusiveRangeInEitherOrder) {
  plat::UseHeadless();
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) {
    int v = plat::Rand(6, -2);
    ASSERT_GE(v, -2);
    ASSERT_LE(v, 6);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 9u);
  EXPECT_EQ(plat::Rand(5, 5), 5);
  for (int i = 0; i < 100; ++i) {
    int v = plat::Rand(-2147483647 - 1, 2147483647);
    (void)v;  // the full range must not overflow
  }
}

TEST(Random, RealsStayBelowTheHighEnd) {
  plat::UseHeadless();
  double lowest = 1, highest = 0;
  for (int i = 0; i < 5000; ++i) {
    double v = plat::Rnd(0, 1);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 1);
    lowest = std::min(lowest, v);
    highest = std::max(highest, v);
  }
  EXPECT_LT(lowest, 0.01);
  EXPECT_GT(highest, 0.99);
  for (int i = 0; i < 100; ++i) {
    double v = plat::Rnd(1.0, 1.0 + 1e-15);
    ASSERT_GE(v, 1.0);
    ASSERT_LT(v, 1.0 + 1e-15);
  }
}

TEST(Random, TheSameSeedRepeatsTheSequence) {
  plat::UseHeadless();
  auto draw = [] {
    std::vector<double> v;
    for (int i = 0; i < 20; ++i) v.push_back(i % 2 ? plat::Rand(1, 1000) : plat::Rnd(-5, 5));
    return v;
  };
  plat::SeedRnd(1234567);
  auto first = draw();
  plat::SeedRnd(99);
  auto other = draw();
  plat::SeedRnd(1234567);
  EXPECT_EQ(draw(), first);
  EXPECT_NE(other, first);
  // A fresh backend starts the default sequence again, so runs are repeatable.
  plat::UseHeadless();
  auto fresh = draw();
  plat::UseHeadless();
  EXPECT_EQ(draw(), fresh);
}

// The shared generator is our own twister: it must draw exactly what std::mt19937
// draws, and its state digest (in every replay's checksum) must be the one the
// recorded replays hold, the digest of libstdc++'s text form, on every target.
TEST(Random, DrawsAsStdMt19937AndDigestsItsStateAsLibstdcxxWritesIt) {
  plat::UseHeadless();
  for (int seed : {0x1234, 0, -5, 2010}) {
    // Across the twists: before the first, on it, just after, and a few later.
    for (int draws : {0, 1, 623, 624, 625, 1500}) {
      std::mt19937 reference(static_cast<uint32_t>(seed));
      plat::SeedRnd(seed);
      for (int i = 0; i < draws; ++i) {
        // The whole range hands out the raw 32-bit draw.
        const uint32_t got = static_cast<uint32_t>(plat::Rand(INT_MIN, INT_MAX)) ^ 0x80000000u;
        ASSERT_EQ(got, reference()) << "seed " << seed << ", draw " << i;
      }
#ifdef __GLIBCXX__
      std::ostringstream text;
      text << reference;
      uint64_t h = 1469598103934665603ull;
      for (unsigned char ch : text.str()) {
        h ^= ch;
        h *= 1099511628211ull;
      }
      EXPECT_EQ(plat::RandomStateDigest(), h) << "seed " << seed << " after " << draws << " draws";
#endif
    }
  }
}

}  // namespace
