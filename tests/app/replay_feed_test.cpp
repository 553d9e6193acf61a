// The lines of a recorded voyage: which are sentences, their instants, and the fault marks taken off;
// the time-stamped log's lines as they are written.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/program/SimulationTexts.h"
#include "app/transmission/ReplayFeed.h"

namespace corvel::app {
namespace {

// Milliseconds from 0001-01-01 to 2026-12-10T09:30:01.250 (739,959 days).
constexpr std::int64_t kStamp = 739959LL * 86400000 + (9 * 3600 + 30 * 60 + 1) * 1000LL + 250;

TEST(ReplayFeed, EachLineGivesItsSentenceAndInstantOrNothing) {
    const std::string rmc = "$GPRMC,123456.00,A,4730.00000,N,00215.00000,W,6.20,318.50,091226,1.50,W,A*3C";
    const std::string stamp = "NMEA183:2026-12-10Z09:30:01.250:";
    const struct {
        std::string line;
        std::optional<std::string> sentence;  // nothing: skipped
        bool stamped;
    } cases[] = {
        {rmc, rmc, false},
        {rmc + "\r", rmc, false},  // CR LF files
        {stamp + rmc, rmc, true},
        {stamp + rmc + "\r", rmc, true},
        {stamp + rmc + std::string(FaultMark(nmea::FaultKind::Checksum)), rmc, true},
        {stamp + rmc + std::string(FaultMark(nmea::FaultKind::Duplicate)) + "\r", rmc, true},
        {stamp + std::string(FaultMark(nmea::FaultKind::Drop)), std::nullopt, true},  // a dropped sentence
        {stamp + "$GPRMC,12" + std::string(FaultMark(nmea::FaultKind::Truncate)), std::nullopt, true},
        {"!AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL289?,0*26", "!AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL289?,0*26", false},
        {"$GPHDT,318.00,T*0c", "$GPHDT,318.00,T*0c", false},  // lower-case digits, wrong sum: sent as recorded
        {"", std::nullopt, false},
        {"\r", std::nullopt, false},
        {"NMEA183 fichier de test", std::nullopt, false},
        {"GPRMC,1*00", std::nullopt, false},
        {"$GPRMC,123456.00,A", std::nullopt, false},                      // no checksum
        {"$GPRMC,123456.00,A*3", std::nullopt, false},                    // one digit
        {"$GPRMC,123456.00,A*3G", std::nullopt, false},                   // not hexadecimal
        {"$GPRMC,123456.00,A*3C ", std::nullopt, false},                  // something after it
        {"$GPRMC,12$GPHDT,318.00,T*0C", std::nullopt, false},             // two sentences run together
        {"$GPRMC,1\t2*00", std::nullopt, false},                          // a control byte
        {"$GPRMC,\xe9t\xe9*00", std::nullopt, false},                     // not ASCII
        {"NMEA183:2026-13-10Z09:30:01.250:" + rmc, std::nullopt, false},  // no such month
        {"NMEA183:2026-12-10T09:30:01.250:" + rmc, std::nullopt, false},  // not the log's stamp
        {"NMEA183:2026-12-10Z09:30:01.25:" + rmc, std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto r = ReadReplayLine(c.line);
        ASSERT_EQ(r.has_value(), c.sentence.has_value());
        if (!r) continue;
        EXPECT_EQ(r->sentence, *c.sentence);
        EXPECT_EQ(r->stampMillis, c.stamped ? std::optional<std::int64_t>(kStamp) : std::nullopt);
    }
}

TEST(ReplayFeed, StampsCountMillisecondsAcrossDaysAndYears) {
    const auto at = [](const std::string& stamp) {
        return ReadReplayLine("NMEA183:" + stamp + ":$GPHDT,318.00,T*0C")->stampMillis.value();
    };
    EXPECT_EQ(at("2026-12-10Z09:30:02.001") - at("2026-12-10Z09:30:01.250"), 751);
    EXPECT_EQ(at("2027-01-01Z00:00:00.000") - at("2026-12-31Z23:59:59.999"), 1);
    EXPECT_EQ(at("2028-03-01Z00:00:00.000") - at("2028-02-28Z00:00:00.000"), 2 * 86400000LL);  // leap year
}

// What the log writes is what a replay reads: the sentence, its instant to the millisecond, a fault's
// mark left out; the buffer is written over, line after line.
TEST(ReplayFeed, AWrittenStampedLineReadsBack) {
    const std::string hdt = "$GPHDT,318.00,T*0C";
    std::string line = "what the line before left";
    for (const std::string_view mark : {std::string_view(), FaultMark(nmea::FaultKind::Checksum)}) {
        SCOPED_TRACE(mark);
        WriteStampedLine(line, {2026, 12, 10, 9, 30, 1, 250}, hdt, mark);
        EXPECT_EQ(line, "NMEA183:2026-12-10Z09:30:01.250:" + hdt + std::string(mark));
        const auto read = ReadReplayLine(line);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->sentence, hdt);
        EXPECT_EQ(read->stampMillis, kStamp);
    }
}

// The lines of `bytes`, read through FileLines in pieces of `piece` bytes: each line's text, or
// "<long>" for a line too long to keep.
std::vector<std::string> LinesOf(const std::string& bytes, std::size_t piece) {
    std::size_t at = 0;
    FileLines lines(
        [&](char* buffer, std::size_t size) {
            const std::size_t n = std::min({size, piece, bytes.size() - at});
            bytes.copy(buffer, n, at);
            at += n;
            return n;
        },
        piece);
    std::vector<std::string> out;
    while (const auto line = lines.Next()) out.push_back(line->tooLong ? "<long>" : std::string(line->text));
    return out;
}

TEST(ReplayFeed, LinesEndAtLfCrOrCrLf) {
    using Lines = std::vector<std::string>;
    const std::string longest(FileLines::kLongestLine, 'x');
    const struct {
        const char* name;
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"LF", "a\nb\n", {"a", "b"}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"CR alone", "a\rb\r", {"a", "b"}},
        {"mixed", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"last line without its end", "a\nb", {"a", "b"}},
        {"empty lines", "\n\r\r\n\n\r", {"", "", "", "", ""}},  // LF, CR, CR LF, LF, CR
        {"LF CR: two ends", "a\n\rb", {"a", "", "b"}},
        {"CR CR LF", "a\r\r\nb", {"a", "", "b"}},
        {"empty file", "", {}},
        {"longest kept", longest + "\r" + longest + "y\ra", {longest, "<long>", "a"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Whole, and a byte at a time: a CR LF split between two reads is one line end.
        EXPECT_EQ(LinesOf(c.bytes, 64 * 1024), c.lines);
        EXPECT_EQ(LinesOf(c.bytes, 1), c.lines);
    }
}

}  // namespace
}  // namespace corvel::app
