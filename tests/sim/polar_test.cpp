// The polar table: parsing of the ".pol" layout and its odd lines, the bracket rules of the boat
// speed, refusal of files the table cannot hold, degenerate and malformed tables, the default polar.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "sim/PolarTable.h"
#include "support/TempFolder.h"
#include "support/Watchdog.h"

using namespace corvel::sim;

namespace {

std::vector<double> ToVector(std::span<const Real> values) { return {values.begin(), values.end()}; }

// Every answer over a grid wider than any polar is finite; with no negative speed in the table, none
// is negative either.
void ExpectFiniteEverywhere(const PolarTable& table, bool nonNegative) {
    for (double wa = -10; wa <= 200; wa += 0.5) {
        for (double ws = 0; ws <= 45; ws += 0.5) {
            const BoatSpeedResult r = table.BoatSpeed(wa, ws, 100);
            ASSERT_TRUE(std::isfinite(r.speed)) << "Wa=" << wa << " Ws=" << ws;
            if (nonNegative) {
                ASSERT_GE(r.speed, 0) << "Wa=" << wa << " Ws=" << ws;
            }
        }
    }
}

// A polar of `columns` wind speeds (4, 5, ...) and `rows` angles (30, 32, ...), each line ended.
std::string MakePolar(int columns, int rows) {
    std::string text = "TWA";
    for (int c = 0; c < columns; ++c) text += "\t" + std::to_string(4 + c);
    text += "\n";
    for (int r = 0; r < rows; ++r) {
        text += std::to_string(30 + 2 * r);
        for (int c = 0; c < columns; ++c) text += "\t" + std::to_string(1 + c) + ".5";
        text += "\n";
    }
    return text;
}

TEST(PolarLines, SplitOnLineFeeds) {
    const struct {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"A\nB\n", {"A", "B"}}, {"A\nB\n\n", {"A", "B", ""}}, {"A\nB", {"A", "B"}}, {"", {}},
        {"\n", {""}},           {"A\r\nB\r\n", {"A", "B"}},   {"A\r\r\n", {"A\r"}},  // one CR ends the line, the other
                                                                                     // is text
    };
    for (const auto& c : cases) EXPECT_EQ(SplitPolarLines(c.text), c.lines) << c.text;
}

TEST(PolarParsing, LayoutAndOddLines) {
    const struct {
        const char* name;
        std::string text;
        std::vector<double> winds;
        std::vector<double> angles;
        std::vector<std::vector<double>> speeds;
    } cases[] = {
        {"label header", "TWA\t4\t6\t8\n40\t1\t2\t3\n90\t4\t5\t6\n", {4, 6, 8}, {40, 90}, {{1, 2, 3}, {4, 5, 6}}},
        {"header without label", "4\t6\n40\t1\t2\n90\t3\t4\n", {4, 6}, {40, 90}, {{1, 2}, {3, 4}}},
        {"comma in the header is a label", "TWA\t4,5\t6\t8\n40\t1\t2\n90\t3\t4\n", {6, 8}, {40, 90}, {{1, 2}, {3, 4}}},
        {"empty header fields and a trailing tab take no column",
         "TWA\t\t4\t6\t\n40\t1\t2\n90\t3\t4\n",
         {4, 6},
         {40, 90},
         {{1, 2}, {3, 4}}},
        {"header 0 takes a column and keeps its value",
         "TWA\t0\t6\t8\n40\t1\t2\t3\n90\t4\t5\t6\n",
         {0, 6, 8},
         {40, 90},
         {{1, 2, 3}, {4, 5, 6}}},
        {"short line repeats its last field",
         "TWA\t4\t6\t8\t10\n40\t1\t2\n90\t1\t2\t3\t4\n",
         {4, 6, 8, 10},
         {40, 90},
         {{1, 2, 2, 2}, {1, 2, 3, 4}}},
        {"line ending in a tab gives 0",
         "TWA\t4\t6\t8\t10\n40\t1\t2\t\n90\t1\t2\t3\t4\n",
         {4, 6, 8, 10},
         {40, 90},
         {{1, 2, 0, 0}, {1, 2, 3, 4}}},
        {"line without tab: angle 0, the number everywhere",
         "TWA\t4\t6\n7.5\n90\t1\t2\n",
         {4, 6},
         {0, 90},
         {{7.5, 7.5}, {1, 2}}},
        {"trailing empty line adds a zero row",
         "TWA\t4\t6\n40\t1\t2\n90\t3\t4\n\n",
         {4, 6},
         {40, 90, 0},
         {{1, 2}, {3, 4}, {0, 0}}},
        {"extra speed fields ignored", "TWA\t4\t6\n40\t1\t2\t3\t4\n90\t3\t4\n", {4, 6}, {40, 90}, {{1, 2}, {3, 4}}},
        {"comma decimals and CRLF in the data",
         "TWA\t4\t6\r\n40\t1,5\t2.5\r\n90\t3\t4,25\r\n",
         {4, 6},
         {40, 90},
         {{1.5, 2.5}, {3, 4.25}}},
        {"text reads 0", "TWA\t4\t6\nabc\tx\t2\n90\t3\t4\n", {4, 6}, {0, 90}, {{0, 2}, {3, 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PolarTable table;
        const PolarLoadResult result = table.LoadFromText(c.text);
        ASSERT_EQ(result.refusal, PolarRefusal::None);
        EXPECT_EQ(ToVector(table.WindSpeeds()), c.winds);
        EXPECT_EQ(ToVector(table.Angles()), c.angles);
        ASSERT_EQ(table.RowCount(), static_cast<int>(c.speeds.size()));
        for (int row = 0; row < table.RowCount(); ++row) EXPECT_EQ(ToVector(table.Speeds(row)), c.speeds[row]);
        EXPECT_EQ(table.Lines(), SplitPolarLines(c.text));
    }
}

TEST(PolarParsing, HeaderZeroKeepsTheWindSpeedInForce) {
    PolarTable table;
    ASSERT_TRUE(table.LoadFromText("TWA\t4\t6\t8\n40\t1\t2\t3\n90\t4\t5\t6\n").ok());
    ASSERT_TRUE(table.LoadFromText("TWA\t0\t10\t12\n40\t1\t2\t3\n90\t4\t5\t6\n").ok());
    EXPECT_EQ(ToVector(table.WindSpeeds()), (std::vector<double>{4, 10, 12}));
}

// A wind angle (degrees), a wind speed (knots) and the boat speed expected (knots).
struct SpeedCase {
    Real wa, ws;
    double expected;
};

// Four wind columns, first row at 40 degrees.
class BoatSpeedTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(polar
                        .LoadFromText("TWA\t6\t8\t10\t12\n"
                                      "40\t4\t5\t6\t6.4\n"
                                      "90\t5\t6.5\t7.2\t7.6\n"
                                      "180\t3\t4\t5\t6\n")
                        .ok());
    }
    float Speed(Real wa, Real ws, int percent = 100) const {
        const BoatSpeedResult r = polar.BoatSpeed(wa, ws, percent);
        EXPECT_FALSE(r.angleAboveTable) << "Wa=" << double(wa);
        return r.speed;
    }
    PolarTable polar;
};

TEST_F(BoatSpeedTest, BracketsAndInterpolation) {
    const SpeedCase cases[] = {
        // Tabulated cells, table edges included.
        {40, 6, 4},
        {90, 10, 7.2},
        {180, 12, 6},
        {40, 12, 6.4},
        {180, 6, 3},
        {90, 8, 6.5},
        // Bilinear.
        {65, 7, 5.125},
        {135, 9, 5.675},
        {40, 11, 6.2},
        // Above the last column: the last column, no extrapolation.
        {90, 30, 7.6},
        {65, 12.5, 7.0},
        {180, 1e6L, 6},
        // Below the first column: 0.8 of it gives the factor 0.5636, half of it nothing.
        {90, 4.8, 5 * 1.55 / 2.75},
        {65, 4.8, 4.5 * 1.55 / 2.75},
        {90, 3, 0},
        {90, 0, 0},
        {90, 3.6, 0},
        // Closer to the wind than the first row: 0 up to a quarter of it, then (Wa / 40)^2.
        {10, 7, 0},
        {5, 7, 0},
        {0, 7, 0},
        {20, 7, 4.5 / 4},
        {30, 6, 4 * 0.5625},
        {20, 30, 6.4 / 4},
        {20, 4.8, 4 / 4.0 * 1.55 / 2.75},
    };
    for (const SpeedCase& c : cases) {
        EXPECT_NEAR(Speed(c.wa, c.ws), c.expected, 2e-6) << "Wa=" << double(c.wa) << " Ws=" << double(c.ws);
    }
}

TEST_F(BoatSpeedTest, PolarPercentScalesTheTableButNotCloseToTheWind) {
    const SpeedCase cases[] = {
        {90, 10, 0.8 * 7.2}, {65, 7, 0.8 * 5.125},
        {90, 30, 0.8 * 7.6}, {90, 4.8, 0.8 * 5 * 1.55 / 2.75},  // the reference speed at the first column is scaled
        {20, 7, 4.5 / 4},                                       // not scaled
        {10, 7, 0},
    };
    for (const SpeedCase& c : cases) {
        EXPECT_NEAR(Speed(c.wa, c.ws, 80), c.expected, 2e-6) << "Wa=" << double(c.wa) << " Ws=" << double(c.ws);
    }
}

TEST_F(BoatSpeedTest, UnderWminFactor) {
    // a = Ws / 6; factor (-5a^2 + 15a - 7.25) / 2.75: 1 at a = 1, 0 at and below 0.6056.
    EXPECT_FLOAT_EQ(polar.BoatSpeedUnderWmin(2.75, 90, 6), 2.75f);
    EXPECT_NEAR(polar.BoatSpeedUnderWmin(2.75, 90, 4.8), 1.55, 1e-6);
    EXPECT_EQ(polar.BoatSpeedUnderWmin(2.75, 90, 6 * 0.6), 0);
    EXPECT_EQ(polar.BoatSpeedUnderWmin(2.75, 0, 0), 0);
    EXPECT_EQ(polar.BoatSpeedUnderWmin(2.75, 0, 4.8), polar.BoatSpeedUnderWmin(2.75, 180, 4.8));
}

TEST_F(BoatSpeedTest, NoAnswerWithoutAUsableInput) {
    EXPECT_EQ(polar.BoatSpeed(NAN, 8, 100).speed, 0);
    EXPECT_EQ(polar.BoatSpeed(90, NAN, 100).speed, 0);
    EXPECT_EQ(polar.BoatSpeed(INFINITY, 8, 100).speed, 0);
    EXPECT_FALSE(polar.BoatSpeed(NAN, 8, 100).angleAboveTable);
    const PolarTable never;
    EXPECT_FALSE(never.Loaded());
    EXPECT_EQ(never.BoatSpeed(90, 8, 100).speed, 0);
}

TEST(BoatSpeedAboveTheLastRow, LastRowSpeedAndFlag) {
    PolarTable polar;
    ASSERT_TRUE(polar.LoadFromText("TWA\t6\t8\n40\t4\t5\n90\t5\t6\n150\t4\t5.5\n").ok());
    const struct {
        Real wa, ws;
        int percent;
        double expected;
        bool above;
    } cases[] = {
        {150, 7, 100, 4.75, false},
        {170, 7, 100, 4.75, true},
        {170, 7, 80, 0.8 * 4.75, true},
        {180, 20, 100, 5.5, true},
        {170, 4.8, 100, 4 * 1.55 / 2.75, true},  // below the first column the flag comes through
    };
    for (const auto& c : cases) {
        const BoatSpeedResult r = polar.BoatSpeed(c.wa, c.ws, c.percent);
        EXPECT_NEAR(r.speed, c.expected, 2e-6) << "Wa=" << double(c.wa) << " Ws=" << double(c.ws);
        EXPECT_EQ(r.angleAboveTable, c.above) << "Wa=" << double(c.wa) << " Ws=" << double(c.ws);
    }
}

TEST(BoatSpeedDegenerateTables, ZeroWidthBracketsTakeTheirFirstCell) {
    const struct {
        const char* name;
        std::string text;
        Real wa, ws;
        double expected;
    } cases[] = {
        {"repeated wind speed", "TWA\t6\t6\t8\n40\t4\t4.5\t5\n90\t5\t5.5\t6\n", 40, 6, 4},
        {"repeated wind speed, next bracket", "TWA\t6\t6\t8\n40\t4\t4.5\t5\n90\t5\t5.5\t6\n", 40, 7, 4.75},
        {"repeated last wind speed, clamped", "TWA\t6\t8\t8\n40\t4\t5\t5.5\n90\t5\t6\t6.5\n", 40, 20, 5.5},
        {"repeated angle", "TWA\t6\t8\n40\t4\t5\n40\t4.5\t5.5\n180\t3\t4\n", 40, 6, 4},
        {"repeated angle, next bracket", "TWA\t6\t8\n40\t4\t5\n40\t4.5\t5.5\n180\t3\t4\n", 100, 6,
         4.5 - 1.5 * 60 / 140.0},
        {"close to the wind, repeated wind speed", "TWA\t6\t6\t8\n40\t4\t4.5\t5\n90\t5\t5.5\t6\n", 20, 6, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PolarTable polar;
        ASSERT_TRUE(polar.LoadFromText(c.text).ok());
        EXPECT_NEAR(polar.BoatSpeed(c.wa, c.ws, 100).speed, c.expected, 2e-6);
    }
}

TEST(BoatSpeedDegenerateTables, NonIncreasingColumnsAndRowsStayFinite) {
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"repeated wind speeds", "TWA\t6\t6\t8\n40\t4\t4.5\t5\n90\t5\t5.5\t6\n"},
        {"repeated last wind speed", "TWA\t6\t8\t8\n40\t4\t5\t5.5\n90\t5\t6\t6.5\n"},
        {"all wind speeds equal", "TWA\t8\t8\n40\t4\t5\n90\t5\t6\n"},
        {"first wind speed 0", "TWA\t0\t8\t12\n40\t4\t5\t6\n90\t5\t6\t7\n"},
        {"repeated angles", "TWA\t6\t8\n40\t4\t5\n40\t4.5\t5.5\n180\t3\t4\n"},
        {"decreasing angles", "TWA\t6\t8\n180\t3\t4\n90\t5\t6\n40\t4\t5\n"},
        {"all angles equal", "TWA\t6\t8\n90\t4\t5\n90\t5\t6\n"},
        {"all angles 0 (no tabs)", "TWA\t6\t8\n5\n6\n"},
        {"negative first angle", "TWA\t6\t8\n-40\t4\t5\n90\t5\t6\n"},
        {"trailing empty lines", "TWA\t6\t8\n40\t4\t5\n180\t3\t4\n\n\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PolarTable polar;
        ASSERT_TRUE(polar.LoadFromText(c.text).ok());
        ExpectFiniteEverywhere(polar, true);
    }
}

// A table in force, then files it cannot hold: each is refused, saying why, and changes nothing.
TEST(PolarRefusal, KeepsTheTableInForce) {
    std::string allLabels = "TWA\tnoeuds\n40\t1\t2\n90\t3\t4\n";
    const std::string longField = "1" + std::string(299, '0');
    const struct {
        const char* name;
        std::string text;
        PolarRefusal refusal;
        std::size_t count;  // the rows or columns found
        std::size_t line;   // the speed's line, 1 being the header
        std::string field;  // the speed as written
    } cases[] = {
        {"52 rows", MakePolar(4, 52), PolarRefusal::TooManyRows, 52, 0, ""},
        {"42 columns", MakePolar(42, 3), PolarRefusal::TooManyColumns, 42, 0, ""},
        {"1000 columns", MakePolar(1000, 3), PolarRefusal::TooManyColumns, 1000, 0, ""},
        {"1 column", MakePolar(1, 3), PolarRefusal::TooFewColumns, 1, 0, ""},
        {"no column", allLabels, PolarRefusal::TooFewColumns, 0, 0, ""},
        {"1 row", MakePolar(4, 1), PolarRefusal::TooFewRows, 1, 0, ""},
        {"header only", "TWA\t4\t6", PolarRefusal::TooFewRows, 0, 0, ""},
        {"empty", "", PolarRefusal::Empty, 0, 0, ""},
        // Boat speeds outside 0..100 knots: the first one is named, with its line in the file.
        {"huge speeds", "TWA\t6\t8\n40\t1e300\t-1e300\n90\t1e300\t1e300\n", PolarRefusal::SpeedOutOfRange, 0, 2,
         "1e300"},
        {"negative speed", "TWA\t6\t8\n40\t4\t5\n90\t5\t-0.01\n", PolarRefusal::SpeedOutOfRange, 0, 3, "-0.01"},
        {"just above 100", "TWA\t6\t8\n40\t4\t5\n90\t100,001\t6\n", PolarRefusal::SpeedOutOfRange, 0, 3, "100,001"},
        {"short line repeating a huge field", "TWA\t6\t8\t10\n40\t4\t1e18\n90\t5\t6\t7\n",
         PolarRefusal::SpeedOutOfRange, 0, 2, "1e18"},
        {"first of several on a later line", "TWA\t6\t8\n40\t4\t5\n90\t5\t6\n180\t-3\t400\n",
         PolarRefusal::SpeedOutOfRange, 0, 4, "-3"},
        // Wind speeds and angles a boat cannot sail with: the header's wind speeds as read, an
        // angle with its line and text; checked before the boat speeds.
        {"decreasing wind speeds", "TWA\t10\t8\t6\n40\t4\t5\t6\n90\t5\t6\t7\n", PolarRefusal::WindDecreasing, 0, 1,
         "10 puis 8"},
        {"decreasing after a repeat", "TWA\t6\t8\t8\t7.5\n40\t4\t5\t5\t5\n90\t5\t6\t6\t6\n",
         PolarRefusal::WindDecreasing, 0, 1, "8 puis 7.5"},
        {"huge wind speed", "TWA\t6\t1e300\n40\t4\t1e300\n90\t5\t6\n", PolarRefusal::WindOutOfRange, 0, 1, "1E300"},
        {"wind just above 200", "TWA\t6\t200.5\n40\t4\t5\n90\t5\t6\n", PolarRefusal::WindOutOfRange, 0, 1, "200.5"},
        {"negative wind", "TWA\t-4\t8\n40\t4\t5\n90\t5\t6\n", PolarRefusal::WindOutOfRange, 0, 1, "-4"},
        {"huge angle", "TWA\t6\t8\n40\t4\t5\n1e300\t5\t6\n", PolarRefusal::AngleOutOfRange, 0, 3, "1e300"},
        {"angle below -360", "TWA\t6\t8\n-361\t4\t5\n90\t5\t6\n", PolarRefusal::AngleOutOfRange, 0, 2, "-361"},
        // A field longer than a number is named by its first 255 bytes.
        {"300-digit speed", "TWA\t6\t8\n40\t4\t" + longField + "\n90\t5\t6\n", PolarRefusal::SpeedOutOfRange, 0, 2,
         longField.substr(0, 255)},
    };
    PolarTable polar;
    const std::string inForce = "TWA\t6\t8\n40\t4\t5\n90\t5\t6\n180\t3\t4\n";
    ASSERT_TRUE(polar.LoadFromText(inForce).ok());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PolarLoadResult result = polar.LoadFromText(c.text);
        EXPECT_EQ(result.refusal, c.refusal);
        EXPECT_EQ(result.count, c.count);
        EXPECT_EQ(result.line, c.line);
        EXPECT_EQ(result.text, c.field);
        EXPECT_EQ(result.file, "") << "a text names no file";
        EXPECT_EQ(polar.WindCount(), 2);
        EXPECT_EQ(polar.RowCount(), 3);
        EXPECT_EQ(polar.Lines(), SplitPolarLines(inForce));
        EXPECT_NEAR(polar.BoatSpeed(65, 7, 100).speed, 5.0, 1e-6);
    }
}

TEST(PolarRefusal, SpeedsAtTheBoundsAndFieldsBeyondTheColumnsLoad) {
    PolarTable polar;
    // Wind speeds and angles at their bounds.
    ASSERT_TRUE(polar.LoadFromText("TWA\t0\t200\n-360\t4\t5\n360\t5\t6\n").ok());
    ASSERT_TRUE(polar.LoadFromText("TWA\t6\t8\n40\t0\t100\n90\t100\t0\n").ok());
    EXPECT_EQ(polar.BoatSpeed(90, 6, 100).speed, 100);
    // A field after the last wind column is not a speed of the table.
    ASSERT_TRUE(polar.LoadFromText("TWA\t6\t8\n40\t4\t5\t1e300\n90\t5\t6\t-7\n").ok());
    EXPECT_EQ(ToVector(polar.Speeds(0)), (std::vector<double>{4, 5}));
}

TEST(PolarRefusal, TheLargestTableLoads) {
    PolarTable polar;
    ASSERT_EQ(polar.LoadFromText(MakePolar(41, 51)).refusal, PolarRefusal::None);
    EXPECT_EQ(polar.WindCount(), 41);
    EXPECT_EQ(polar.RowCount(), 51);
    EXPECT_EQ(polar.WindSpeeds().back(), 44);
    EXPECT_EQ(polar.Angles().back(), 130);
    EXPECT_NEAR(polar.BoatSpeed(130, 100, 100).speed, 41.5, 1e-6);
}

class PolarFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::path(::testing::TempDir()) / ("polar_test_" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::filesystem::path Write(const std::string& name, const std::string& text) {
        const auto path = folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::filesystem::path folder;
};

TEST_F(PolarFileTest, LoadsAFileAndRefusesWhatCannotBeRead) {
    PolarTable polar;
    const auto good = Write("Good.pol", "TWA\t6\t8\r\n40\t4\t5\r\n90\t5\t6\r\n");
    ASSERT_EQ(polar.LoadFromFile(good).refusal, PolarRefusal::None);
    EXPECT_EQ(polar.Lines(), (std::vector<std::string>{"TWA\t6\t8", "40\t4\t5", "90\t5\t6"}));

    for (const auto& [path, why] :
         {std::pair{folder / "missing.pol", PolarRefusal::Unreadable}, std::pair{folder, PolarRefusal::NotRegular}}) {
        const PolarLoadResult refused = polar.LoadFromFile(path);
        EXPECT_EQ(refused.refusal, why);
        EXPECT_EQ(refused.file, path.string());
        EXPECT_EQ(polar.RowCount(), 2);
        EXPECT_EQ(polar.Lines().front(), "TWA\t6\t8");
    }
}

// Files that are no polar: each is refused, naming the file and why, without blocking and without
// touching the table in force.
TEST_F(PolarFileTest, HostileFilesAreRefusedAndChangeNothing) {
    const std::string inForce = "TWA\t6\t8\n40\t4\t5\n90\t5\t6\n";
    const std::string megabyte(PolarTable::kMaxFileBytes, '\n');
    // clang-format off
    const struct {
        const char* name;
        std::function<std::filesystem::path()> make;
        PolarRefusal refusal;
        std::size_t count;  // the rows or columns found
    } cases[] = {
        {"fifo",
         [&] {
             corvel::test::MakeFifo(folder / "fifo.pol");
             return folder / "fifo.pol";
         },
         PolarRefusal::NotRegular, 0},
        {"link to /dev/zero",
         [&] {
             std::filesystem::create_symlink("/dev/zero", folder / "zero.pol");
             return folder / "zero.pol";
         },
         PolarRefusal::NotRegular, 0},
        {"link to nothing",
         [&] {
             std::filesystem::create_symlink(folder / "gone.pol", folder / "dangling.pol");
             return folder / "dangling.pol";
         },
         PolarRefusal::DanglingLink, 0},
        {"one byte over the limit", [&] { return Write("big.pol", inForce + megabyte); }, PolarRefusal::TooLarge, 0},
        {"16 MB of line feeds", [&] { return Write("lf16.pol", std::string(16 * 1024 * 1024 - 1, '\n')); },
         PolarRefusal::TooLarge, 0},
        {"1 MB of line feeds", [&] { return Write("lf1.pol", megabyte); }, PolarRefusal::TooManyRows, 1048575},
        {"empty", [&] { return Write("empty.pol", ""); }, PolarRefusal::Empty, 0},
        {"one line of text", [&] { return Write("text.pol", "not a polar at all"); }, PolarRefusal::TooFewRows, 0},
        {"binary", [&] { return Write("binary.pol", std::string("\x7F" "ELF\x02\x01\n\0\xFF\n\x01\n", 12)); },
         PolarRefusal::TooFewColumns, 0},
    };
    // clang-format on
    PolarTable polar;
    ASSERT_TRUE(polar.LoadFromText(inForce).ok());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path path = c.make();
        const PolarLoadResult r = corvel::test::WithinSeconds(c.name, [&] { return polar.LoadFromFile(path); });
        EXPECT_EQ(r.refusal, c.refusal);
        EXPECT_EQ(r.count, c.count);
        EXPECT_EQ(r.file, path.string());
        EXPECT_EQ(polar.Lines(), SplitPolarLines(inForce));
        EXPECT_EQ(polar.RowCount(), 2);
    }
}

std::filesystem::path DefaultPolarPath() {
    const char* source = std::getenv("CORVEL_SOURCE_DIR");
    const std::filesystem::path root = source
                                           ? std::filesystem::path(source)
                                           : std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
    return root / "data" / "DefPolars" / "First31_7.pol";
}

TEST(DefaultPolar, LoadsAndIsPlausible) {
    PolarTable polar;
    ASSERT_EQ(polar.LoadFromFile(DefaultPolarPath()).refusal, PolarRefusal::None);
    ASSERT_EQ(polar.WindCount(), 9);
    ASSERT_EQ(polar.RowCount(), 17);  // no empty last line, so no zero row
    EXPECT_EQ(polar.Angles().front(), 30);
    EXPECT_EQ(polar.Angles().back(), 180);
    for (size_t k = 1; k < polar.WindSpeeds().size(); ++k) EXPECT_GT(polar.WindSpeeds()[k], polar.WindSpeeds()[k - 1]);
    for (size_t k = 1; k < polar.Angles().size(); ++k) EXPECT_GT(polar.Angles()[k], polar.Angles()[k - 1]);
    for (int row = 0; row < polar.RowCount(); ++row) {
        for (const Real s : polar.Speeds(row)) {
            EXPECT_GT(s, 1.0L);
            EXPECT_LT(s, 8.6L);
        }
    }
    // Close-hauled, reaching in a breeze, and the slow no-go edge.
    EXPECT_NEAR(polar.BoatSpeed(45, 6, 100).speed, 4.0, 0.2);
    EXPECT_NEAR(polar.BoatSpeed(45, 16, 100).speed, 6.3, 0.2);
    EXPECT_GT(polar.BoatSpeed(100, 16, 100).speed, 7.2);
    EXPECT_LT(polar.BoatSpeed(30, 16, 100).speed, 0.6 * polar.BoatSpeed(45, 16, 100).speed);
    for (double wa = 0; wa <= 180; wa += 1) EXPECT_FALSE(polar.BoatSpeed(wa, 12, 100).angleAboveTable) << wa;
}

// Whatever the input, a load ends with a sound table or a refusal of the text and the table unchanged.
void LoadAndCheck(PolarTable& polar, const std::string& text) {
    const std::vector<std::string> before = polar.Lines();
    const int windCount = polar.WindCount(), rowCount = polar.RowCount();
    const PolarLoadResult result = polar.LoadFromText(text);
    if (result.ok()) {
        EXPECT_GE(polar.WindCount(), 2);
        EXPECT_LE(polar.WindCount(), PolarTable::kMaxWindColumns);
        EXPECT_GE(polar.RowCount(), 2);
        EXPECT_LE(polar.RowCount(), PolarTable::kMaxAngleRows);
        for (int row = 0; row < polar.RowCount(); ++row) {
            for (const Real s : polar.Speeds(row)) ASSERT_TRUE(s >= 0 && s <= PolarTable::kMaxBoatSpeed);
        }
    } else {
        EXPECT_NE(result.refusal, PolarRefusal::Unreadable);
        EXPECT_NE(result.refusal, PolarRefusal::TooLarge);
        EXPECT_EQ(result.file, "");
        EXPECT_EQ(polar.Lines(), before);
        EXPECT_EQ(polar.WindCount(), windCount);
        EXPECT_EQ(polar.RowCount(), rowCount);
    }
    for (double wa = 0; wa <= 190; wa += 10) {
        for (double ws = 0; ws <= 40; ws += 5) ASSERT_TRUE(std::isfinite(polar.BoatSpeed(wa, ws, 100).speed));
    }
}

TEST(PolarMalformedInput, NoCrashNoHang) {
    PolarTable polar;
    ASSERT_TRUE(polar.LoadFromText(MakePolar(5, 6)).ok());

    const std::string megabyte(1 << 20, '7');
    const std::string tabs(1 << 20, '\t');
    std::string manyColumnsInData = "TWA\t4\t6\n40";
    for (int c = 0; c < 1000; ++c) manyColumnsInData += "\t3.5";
    manyColumnsInData += "\n90\t5\t6\n";
    const std::string specials[] = {
        megabyte + "\n40\t1\t2\n90\t3\t4\n",            // a 1 MB header field
        "TWA\t4\t6\n40\t" + megabyte + "\n90\t3\t4\n",  // a 1 MB speed
        megabyte,                                       // one huge line
        tabs,
        tabs + "\n" + tabs + "\n" + tabs + "\n",
        "TWA 4 6 8\n40 1 2 3\n90 4 5 6\n",  // no tabs at all
        "\t\t\n\t\t\n\t\t\n",
        MakePolar(1000, 3),
        MakePolar(4, 1000),
        manyColumnsInData,
        std::string("TWA\t4\t6\n40\t1") + '\0' + "\t2\n90\t3\t4\n",
        "TWA\t1e999\t-1e999\t1e-999\t0e5\n40\t1e999\t2\n90\t3\t4\n",
    };
    for (const auto& text : specials) LoadAndCheck(polar, text);

    // Random bytes, weighted towards the characters a polar is made of.
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> length(0, 3000), byte(0, 255), kind(0, 99);
    const auto nextChar = [&] {
        const int k = kind(random);
        if (k < 20) return '\t';
        if (k < 28) return '\n';
        if (k < 60) return static_cast<char>('0' + k % 10);
        if (k < 65) return '.';
        if (k < 68) return ',';
        return static_cast<char>(byte(random));
    };
    for (int trial = 0; trial < 400; ++trial) {
        std::string text;
        for (int n = length(random); n > 0; --n) text += nextChar();
        SCOPED_TRACE(trial);
        LoadAndCheck(polar, text);
    }
}

}  // namespace

namespace {

// The documented rule written plainly, first brackets found by scanning: the table's bracket
// search (bisection on increasing axes) must give the same speed to the last bit, on the axis
// values themselves as between them, for increasing tables and for tables with repeats.
float PlainBoatSpeed(const PolarTable& t, Real wa, Real ws) {
    const auto w = t.WindSpeeds();
    const auto a = t.Angles();
    const auto first = [](std::span<const Real> axis, Real x) {
        for (size_t k = 0; k + 1 < axis.size(); ++k) {
            if (axis[k] <= x && x <= axis[k + 1]) return static_cast<int>(k);
        }
        return -1;
    };
    int i = first(w, ws);
    const bool clamped = ws > w.back();
    if (clamped) ws = w.back();
    if (clamped || i < 0) i = static_cast<int>(w.size()) - 2;
    const auto inWind = [&](int row) -> Real {
        const auto s = t.Speeds(row);
        if (w[i + 1] == w[i]) return clamped ? s[i + 1] : s[i];
        return s[i] + (s[i + 1] - s[i]) / (w[i + 1] - w[i]) * (ws - w[i]);
    };
    const int j = first(a, wa);
    if (j < 0) return static_cast<float>(inWind(static_cast<int>(a.size()) - 1) * 100 / 100);
    const Real lo = inWind(j), hi = inWind(j + 1);
    return static_cast<float>((a[j + 1] == a[j] ? lo : lo + (hi - lo) / (a[j + 1] - a[j]) * (wa - a[j])) * 100 / 100);
}

TEST(BoatSpeedBrackets, SameSpeedAsAPlainScanOfTheTable) {
    std::mt19937 rng(17);
    std::uniform_int_distribution<int> step(0, 9), pick(0, 5);
    std::uniform_real_distribution<double> speed(0.5, 9);
    for (int table = 0; table < 60; ++table) {
        // Increasing axes; every third table has a repeated wind speed and a repeated or a
        // decreasing angle somewhere (decreasing wind speeds are refused).
        std::vector<double> winds{4}, angles{30};
        for (int c = 1; c < 3 + table % 9; ++c) winds.push_back(winds.back() + 1 + step(rng) * 0.5);
        for (int r = 1; r < 3 + table % 17; ++r) angles.push_back(angles.back() + 2 + step(rng) * 1.25);
        if (table % 3 == 2) {
            winds[winds.size() / 2] = winds[winds.size() / 2 - 1];
            angles[angles.size() / 2] = angles[angles.size() / 2 - 1] - (pick(rng) % 2) * 5;
        }
        std::string text = "TWA";
        for (double w : winds) text += "\t" + std::to_string(w);
        text += "\n";
        for (double a : angles) {
            text += std::to_string(a);
            for (size_t c = 0; c < winds.size(); ++c) text += "\t" + std::to_string(speed(rng));
            text += "\n";
        }
        PolarTable polar;
        ASSERT_TRUE(polar.LoadFromText(text).ok()) << text;
        std::vector<Real> was, wss;
        // On the values, between them in 64 bits (0.25, 0.5) and in the extended type only (0.3, 0.2).
        for (Real a : polar.Angles()) was.insert(was.end(), {a, a + 0.25L, a + 0.3L, a - 0.3L});
        for (Real w : polar.WindSpeeds()) wss.insert(wss.end(), {w, w + 0.5L, w + 0.2L});
        wss.push_back(polar.WindSpeeds().back() + 7);
        for (Real wa : was) {
            for (Real ws : wss) {
                // Below the first row or the first column: rules of their own.
                if (wa < polar.Angles()[0] || ws < polar.WindSpeeds()[0]) continue;
                ASSERT_EQ(polar.BoatSpeed(wa, ws, 100).speed, PlainBoatSpeed(polar, wa, ws))
                    << text << "Wa=" << static_cast<double>(wa) << " Ws=" << static_cast<double>(ws);
            }
        }
    }
}

}  // namespace
