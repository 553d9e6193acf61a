// The injected faults: the list of the command line, what each fault does to a sentence, and the
// same decisions from the same seed.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "nmea/FaultInjector.h"
#include "support/SentenceTestSupport.h"

namespace corvel::nmea {
namespace {

using testing::FrameProblem;
using testing::RecomputedChecksum;

constexpr double kMaxSeconds = 3155760000.0;
constexpr std::string_view kRmc = "$GPRMC,123456.00,A,4730.00000,N,00215.00000,W,6.20,318.50,091226,1.50,W,A*3C";

FaultSettings Only(FaultKind kind, double p = 1) {
    FaultSettings s;
    s.probability[static_cast<std::size_t>(kind)] = p;
    return s;
}

TEST(FaultList, GoodListsGiveTheirSettings) {
    const FaultListParse all = ParseFaultList(
        "checksum=0.05,drop=0.1,truncate=0,duplicate=1e-2,garbage=.2,nofix=60:30.5,seed=42", kMaxSeconds);
    ASSERT_EQ(all.error, FaultListError::None) << all.item;
    EXPECT_DOUBLE_EQ(all.settings.Probability(FaultKind::Checksum), 0.05);
    EXPECT_DOUBLE_EQ(all.settings.Probability(FaultKind::Drop), 0.1);
    EXPECT_DOUBLE_EQ(all.settings.Probability(FaultKind::Truncate), 0);
    EXPECT_DOUBLE_EQ(all.settings.Probability(FaultKind::Duplicate), 0.01);
    EXPECT_DOUBLE_EQ(all.settings.Probability(FaultKind::Garbage), 0.2);
    EXPECT_EQ(all.settings.seed, 42u);
    ASSERT_TRUE(all.settings.noFix);
    EXPECT_EQ(all.settings.noFix->startMillis, 60000);
    EXPECT_EQ(all.settings.noFix->durationMillis, 30500);

    const FaultListParse one = ParseFaultList("drop=1", kMaxSeconds);
    ASSERT_EQ(one.error, FaultListError::None);
    EXPECT_EQ(one.settings.seed, 1u);  // the default seed
    EXPECT_FALSE(one.settings.noFix);
    EXPECT_EQ(ParseFaultList("seed=18446744073709551615", kMaxSeconds).settings.seed, UINT64_MAX);
    EXPECT_EQ(ParseFaultList("checksum=0.5,drop=0.5", kMaxSeconds).error, FaultListError::None);  // exactly 1
}

TEST(FaultList, EachBadItemIsNamed) {
    const struct {
        const char* list;
        FaultListError error;
        const char* item;
    } cases[] = {
        {"", FaultListError::Empty, ""},
        {"drop=0.1,,checksum=0.1", FaultListError::Empty, ""},
        {"drop=0.1,", FaultListError::Empty, ""},
        {"checksums=0.1", FaultListError::UnknownKind, "checksums=0.1"},
        {"drop=0.1,Drop=0.1", FaultListError::UnknownKind, "Drop=0.1"},
        {"drop", FaultListError::NoValue, "drop"},
        {"seed=", FaultListError::NoValue, "seed="},
        {"drop=0.1,drop=0.2", FaultListError::Repeated, "drop=0.2"},
        {"seed=1,seed=2", FaultListError::Repeated, "seed=2"},
        {"checksum=1.5", FaultListError::BadProbability, "checksum=1.5"},
        {"truncate=-0.1", FaultListError::BadProbability, "truncate=-0.1"},
        {"garbage=abc", FaultListError::BadProbability, "garbage=abc"},
        {"duplicate=0,5", FaultListError::UnknownKind, "5"},  // "," separates items, "." is the decimal point
        {"drop=nan", FaultListError::BadProbability, "drop=nan"},
        {"nofix=60", FaultListError::BadWindow, "nofix=60"},
        {"nofix=-1:10", FaultListError::BadWindow, "nofix=-1:10"},
        {"nofix=10:4e9", FaultListError::BadWindow, "nofix=10:4e9"},
        {"nofix=10:", FaultListError::BadWindow, "nofix=10:"},
        {"seed=-1", FaultListError::BadSeed, "seed=-1"},
        {"seed=1.5", FaultListError::BadSeed, "seed=1.5"},
        {"seed=18446744073709551616", FaultListError::BadSeed, "seed=18446744073709551616"},
        {"drop=0.6,garbage=0.5", FaultListError::ProbabilitiesOver, "drop=0.6,garbage=0.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        const FaultListParse r = ParseFaultList(c.list, kMaxSeconds);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.item, c.item);
    }
}

TEST(FaultInjector, EachFaultDamagesTheSentenceAsDescribed) {
    for (std::uint64_t seed = 0; seed < 200; ++seed) {
        SCOPED_TRACE(seed);
        const auto apply = [&](FaultKind kind) {
            FaultSettings s = Only(kind);
            s.seed = seed;
            FaultInjector injector(s);
            FaultedSentence f = injector.Apply(kRmc);
            EXPECT_EQ(f.kind, kind);
            // Copies: the views last until the next Apply only.
            return std::pair{f.count, std::vector<std::string>(f.lines.begin(), f.lines.begin() + f.count)};
        };
        EXPECT_EQ(apply(FaultKind::Drop).first, 0);
        EXPECT_EQ(apply(FaultKind::Duplicate).second, (std::vector<std::string>{std::string(kRmc), std::string(kRmc)}));

        const std::string wrong = apply(FaultKind::Checksum).second.at(0);
        EXPECT_EQ(wrong.size(), kRmc.size());
        EXPECT_EQ(wrong.substr(0, wrong.size() - 2), kRmc.substr(0, kRmc.size() - 2));  // frame and body intact
        EXPECT_NE(wrong.substr(wrong.size() - 2), RecomputedChecksum(kRmc));
        EXPECT_EQ(FrameProblem(wrong), "wrong checksum");
        EXPECT_EQ(wrong.find_first_not_of("0123456789ABCDEF", wrong.size() - 2), std::string::npos) << wrong;

        const std::string cut = apply(FaultKind::Truncate).second.at(0);
        EXPECT_GE(cut.size(), 1u);
        EXPECT_LT(cut.size(), kRmc.size());
        EXPECT_TRUE(kRmc.starts_with(cut));

        const std::string garbage = apply(FaultKind::Garbage).second.at(0);
        EXPECT_GE(garbage.size(), 1u);
        EXPECT_LE(garbage.size(), 80u);
        EXPECT_EQ(garbage.find_first_of("\r\n"), std::string::npos);
    }
    FaultInjector none(FaultSettings{});
    const FaultedSentence& f = none.Apply(kRmc);
    EXPECT_EQ(f.kind, FaultKind::None);
    ASSERT_EQ(f.count, 1);
    EXPECT_EQ(f.lines[0], kRmc);
}

// Garbage over many lines: every byte value but CR and LF comes, printable and not.
TEST(FaultInjector, GarbageUsesEveryByteButTheLineEnds) {
    FaultInjector injector(Only(FaultKind::Garbage));
    std::vector<bool> seen(256);
    for (int i = 0; i < 3000; ++i) {
        for (char c : injector.Apply(kRmc).lines[0]) seen[static_cast<unsigned char>(c)] = true;
    }
    for (int b = 0; b < 256; ++b) EXPECT_EQ(seen[static_cast<std::size_t>(b)], b != '\r' && b != '\n') << b;
}

// The decisions: the same seed gives the same faults and bytes, another seed others, and each
// kind comes at its rate (within six standard deviations of the binomial count: never a flake).
TEST(FaultInjector, TheSeedDecidesAndTheRatesHold) {
    const FaultListParse list =
        ParseFaultList("checksum=0.05,drop=0.1,truncate=0.02,duplicate=0.03,garbage=0.01,seed=7", kMaxSeconds);
    ASSERT_EQ(list.error, FaultListError::None);
    const auto run = [](const FaultSettings& s, std::map<FaultKind, int>* counts) {
        FaultInjector injector(s);
        std::string bytes;
        for (int i = 0; i < 100000; ++i) {
            const FaultedSentence& f = injector.Apply(kRmc);
            if (counts) ++(*counts)[f.kind];
            for (int l = 0; l < f.count; ++l) bytes.append(f.lines[static_cast<std::size_t>(l)]).append("\r\n");
        }
        return bytes;
    };
    std::map<FaultKind, int> counts;
    const std::string first = run(list.settings, &counts);
    EXPECT_EQ(run(list.settings, nullptr), first);
    FaultSettings other = list.settings;
    other.seed = 8;
    EXPECT_NE(run(other, nullptr), first);
    for (const FaultName& f : kFaultNames) {
        SCOPED_TRACE(std::string(f.name));
        const double n = 100000, p = list.settings.Probability(f.kind);
        EXPECT_LE(std::abs(counts[f.kind] - n * p), 6 * std::sqrt(n * p * (1 - p)) + 1) << counts[f.kind];
    }
}

TEST(FaultInjector, TheNoFixWindowCoversItsSecondsOnly) {
    FaultSettings s;
    s.noFix = NoFixWindow{60000, 30000};
    const FaultInjector injector(s);
    const struct {
        std::int64_t millis;
        bool noFix;
    } cases[] = {{0, false}, {59999, false}, {60000, true}, {89999, true}, {90000, false}, {1000000, false}};
    for (const auto& c : cases) EXPECT_EQ(injector.NoFixAt(c.millis), c.noFix) << c.millis;
    EXPECT_FALSE(FaultInjector(FaultSettings{}).NoFixAt(60000));
}

}  // namespace
}  // namespace corvel::nmea
