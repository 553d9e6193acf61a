// Sailing at the limits of the configuration's ranges: from the latitude limit past the pole, and
// with every number at a bound or beyond it. Every sentence stays well framed, no field is written
// in exponent notation, a position goes out only under a valid status, and no kind vanishes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <regex>
#include <string>
#include <vector>

#include "app/program/Program.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"
#include "support/SentenceTestSupport.h"
#include "support/TempFolder.h"

using namespace corvel;
using nmea::testing::FieldsOf;
using nmea::testing::FrameProblem;
using nmea::testing::TypeOf;

namespace {

// Reads every sentence of a run: how many of each kind, and how many say the position is not valid.
struct SentenceCheck {
    std::array<int, nmea::kSentenceKindCount> counts{};
    int positionsNotValid = 0;
    int positionsValid = 0;

    void operator()(std::string_view sentence) {
        SCOPED_TRACE(std::string(sentence));
        ASSERT_EQ(FrameProblem(sentence), "");
        static const std::regex exponent("[0-9]E[-+]?[0-9]");
        const std::string body(sentence.substr(0, sentence.find('*')));
        EXPECT_FALSE(std::regex_search(body, exponent));
        const std::vector<std::string> f = FieldsOf(sentence);
        const std::string type = TypeOf(sentence);
        // The latitude and longitude fields and the status that vouches for them, by kind.
        struct Rule {
            const char* type;
            std::size_t lat, lon, status;
            const char* valid;
        };
        static constexpr Rule kRules[] = {
            {"GGA", 2, 4, 6, "1"}, {"GLL", 1, 3, 6, "A"},  {"RMC", 3, 5, 2, "A"},
            {"RMB", 6, 8, 1, "A"}, {"BWC", 2, 4, 13, "A"},
        };
        for (const Rule& r : kRules) {
            if (type != r.type) continue;
            ASSERT_GT(f.size(), std::max({r.lat, r.lon, r.status}));
            const bool written = !f[r.lat].empty() && !f[r.lon].empty();
            if (f[r.status] == r.valid) {
                EXPECT_TRUE(written);
                if (type != "RMB" && type != "BWC") ++positionsValid;
            } else if (type != "RMB" && type != "BWC") {
                ++positionsNotValid;
            }
        }
        for (const nmea::SentenceInfo& info : nmea::kSentenceCatalogue) {
            if (type == info.type) ++counts[nmea::IndexOf(info.kind)];
        }
    }

    void ExpectEveryKind() const {
        for (std::size_t i = 0; i < counts.size(); ++i) EXPECT_GT(counts[i], 0) << nmea::kSentenceCatalogue[i].type;
    }
};

struct Limits : ::testing::Test {
    test::TempFolder home;
    test::FakeDialogs dialogs;

    // A program without settings (the windows' designed values) that opens `configuration`,
    // starts the simulation and runs it for `seconds`, every sentence read by `check`.
    void Sail(app::Program& program, const std::string& configuration, int seconds, SentenceCheck& check) {
        app::TFCorvel& w = program.FCorvel;
        test::WriteFile(home / "c.ini", configuration);
        ASSERT_TRUE(w.OpenConfigFile(home / "c.ini"));
        w.Out.OnSentence = [&check](app::SentenceKindOrNone, std::string_view sentence) { check(sentence); };
        w.BtCalCClick();
        w.Timers.Advance(seconds * 1000LL);
    }
};

// From 89 N, heading north at about 90 knots (a fast polar and 50 knots of current) for an hour:
// the boat passes the pole within the hour; from there its position cannot be written and every
// sentence says so.
TEST_F(Limits, SailingFromTheLatitudeLimitPastThePole) {
    app::Program program(dialogs, test::SourceDir() / "data");
    ASSERT_TRUE(program.Polar.LoadFromText("TWA\t6\t30\n30\t40\t40\n90\t40\t40\n180\t40\t40\n").ok());
    SentenceCheck check;
    Sail(program,
         "[NavDATA]\niTWS=100\niTWD=180\niHDG=5\niCUR=50\niCURDir=0\niPOSLat=8900\niPOSLong=500\n"
         "iWpLat=8900\niWpLong=1000\n",
         3600, check);
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();
    check.ExpectEveryKind();
    EXPECT_GT(check.positionsValid, 0);
    EXPECT_GT(check.positionsNotValid, 0);  // the pole was passed
}

// Every number at its upper bound, at its lower bound, and beyond every bound (refused: the
// designed values stay): every kind goes out, whole.
TEST_F(Limits, EveryKindGoesOutAtTheBoundsAndBeyond) {
    const struct {
        const char* name;
        const char* parameters;
        const char* navigation;
        std::size_t messages;
    } cases[] = {
        {"upper bounds", "iOFFS_Keel=100\niOFFS_Surf=100\n",
         "iTWS=200\niTWD=720\niHDG=720\niCUR=50\niCURDir=720\niPOSLat=8900\niPOSLong=36000\niWpLat=-8900\n"
         "iWpLong=-36000\niDeclMag=180\nidTU=14\n",
         0},
        {"lower bounds", "iOFFS_Keel=-100\niOFFS_Surf=-100\n",
         "iTWS=0\niTWD=-360\niHDG=-360\niCUR=0\niCURDir=-360\niPOSLat=-8900\niPOSLong=-36000\niWpLat=8900\n"
         "iWpLong=36000\niDeclMag=-180\nidTU=-14\n",
         0},
        {"beyond every bound", "iOFFS_Keel=1e300\niOFFS_Surf=-1e300\n",
         "iTWS=1e300\niTWD=1e300\niHDG=-1e300\niCUR=1e18\niCURDir=721\niPOSLat=9000\niPOSLong=1e300\n"
         "iWpLat=-9000\niWpLong=36001\niDeclMag=1e300\nidTU=9000\n",
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.messages.clear();
        app::Program program(dialogs, test::SourceDir() / "data");
        SentenceCheck check;
        Sail(program, std::string("[Parametres]\n") + c.parameters + "[NavDATA]\niWpID=Att_Dover\n" + c.navigation, 60,
             check);
        EXPECT_EQ(dialogs.messages.size(), c.messages);
        check.ExpectEveryKind();
        EXPECT_EQ(check.positionsNotValid, 0);
    }
}

}  // namespace
