// Whatever the user types as the waypoint name, every sentence keeps its frame: at most 82
// characters with CR LF, ASCII only, the fields where they belong, a checksum over exactly what is sent. Then a whole
// cycle under a comma locale. (An independent NMEA parser reads a whole day of the real program's
// sentences in tests/e2e.)
#include <gtest/gtest.h>

#include <clocale>
#include <map>
#include <string>
#include <vector>

#include "nmea/NmeaBuilders.h"
#include "support/SentenceTestSupport.h"

using namespace corvel::nmea;
using namespace corvel::nmea::testing;
using corvel::sim::SimulationState;

namespace {

// Index of the waypoint name among the fields of each sentence that carries it.
const std::map<std::string, std::size_t> kNameField = {{"RMB", 5}, {"APB", 10}, {"BWR", 12}, {"ZTG", 3},
                                                       {"WCV", 3}, {"WNC", 5},  {"WPL", 5},  {"BWC", 12}};

std::vector<std::string> SpeedWaypointSentences(const std::string& name) {
    SimulationState s = ReferenceState();
    s.Waypoint.nom = name;
    RecordingOutput sink;
    BuildSpeedWaypoint(s, ReferenceContext(), ReferenceClock(), sink);
    return sink.lines;
}

struct NameCase {
    const char* label;
    std::string typed;
    std::string asSent;  // the whole name in sentence bytes
};

TEST(WaypointNames, EverySentenceFitsAndKeepsItsFields) {
    const NameCase cases[] = {
        {"255 characters", std::string(255, 'W'), std::string(255, 'W')},
        {"frame characters", "Dover, UK*$!\\^~end", "Dover_ UK______end"},
        {"line ends", "Pointe\r\nNord", "Pointe__Nord"},
        {"accented (UTF-8)", "\xC3\x8Ele d'Yeu \xC3\xA9t\xC3\xA9", "Ile d'Yeu ete"},
        {"outside Latin-1", "\xE2\x9A\x93 \xE6\xB8\xAF", "? ?"},
        {"long and odd", std::string(100, ',') + "\xC3\xA9" + std::string(154, '*'),
         std::string(100, '_') + "e" + std::string(154, '_')},
    };
    const auto plain = SpeedWaypointSentences("WP");
    ASSERT_EQ(plain.size(), 11u);
    for (const NameCase& c : cases) {
        const auto lines = SpeedWaypointSentences(c.typed);
        ASSERT_EQ(lines.size(), plain.size()) << c.label;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            EXPECT_EQ(FrameProblem(line), "") << c.label << ": " << line;
            const auto fields = FieldsOf(line);
            EXPECT_EQ(fields.size(), FieldsOf(plain[i]).size()) << c.label << ": " << line;
            const auto at = kNameField.find(TypeOf(line));
            if (at == kNameField.end() || at->second >= fields.size()) continue;
            const std::string& name = fields[at->second];
            EXPECT_FALSE(name.empty()) << c.label << ": " << line;
            EXPECT_EQ(c.asSent.compare(0, name.size(), name), 0) << c.label << ": " << line;
            // Cut only when needed, and then to exactly 82 characters with CR LF; BWC and BWR first
            // write their distance with a single decimal.
            if (name.size() < c.asSent.size()) {
                EXPECT_EQ(line.find('*'), kMaxBodyLength) << c.label << ": " << line;
                if (TypeOf(line) == "BWC" || TypeOf(line) == "BWR") {
                    EXPECT_EQ(fields[10].size() - fields[10].find('.'), 2u) << c.label << ": " << line;
                }
            }
        }
    }
}

TEST(WaypointNames, OnlyTheSentencesThatOverflowAreShortened) {
    for (const std::string& line : SpeedWaypointSentences("Att_Dover")) {
        const auto at = kNameField.find(TypeOf(line));
        if (at == kNameField.end()) continue;
        const std::string name = FieldsOf(line)[at->second];
        if (TypeOf(line) == "BWC") {
            EXPECT_LT(name.size(), 9u) << line;
            EXPECT_EQ(line.find('*'), kMaxBodyLength) << line;
        } else if (TypeOf(line) == "BWR") {  // two decimals of distance make room for the whole name
            EXPECT_EQ(name, "Att_Dover") << line;
            EXPECT_EQ(FieldsOf(line)[10], "40.25") << line;
        } else {
            EXPECT_EQ(name, "Att_Dover") << line;
        }
    }
    for (const std::string& line : SpeedWaypointSentences("WP1")) {  // six decimals and the whole name
        const auto at = kNameField.find(TypeOf(line));
        if (at != kNameField.end()) {
            EXPECT_EQ(FieldsOf(line)[at->second], "WP1") << line;
        }
        if (TypeOf(line) == "BWC") {
            EXPECT_EQ(FieldsOf(line)[10], "40.099998") << line;
        }
    }
}

TEST(Locale, CommaLocaleChangesNoSentence) {
    auto cycle = [] {
        NmeaContext context = ReferenceContext();
        RecordingOutput sink;
        for (int group : {1, 3, 2}) BuildGroup(group, ReferenceState(), context, ReferenceClock(), sink);
        return sink.lines;
    };
    const auto inC = cycle();
    const char* names[] = {"fr_FR.UTF-8", "fr_FR.utf8", "de_DE.UTF-8"};
    const char* set = nullptr;
    for (const char* name : names) {
        if ((set = std::setlocale(LC_ALL, name)) != nullptr) break;
    }
    if (set == nullptr) GTEST_SKIP() << "no locale with a comma separator is installed";
    const auto inFrench = cycle();
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(inFrench, inC);
}

}  // namespace
