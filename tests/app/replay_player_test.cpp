// A recorded voyage played again: when each sentence goes (the recorded instants, a rate, as fast
// as asked), which lines are refused and counted, and a stop that ends the reading and the sending.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/transmission/ReplayPlayer.h"
#include "support/TempFolder.h"

namespace corvel::app {
namespace {

const std::string kRmc = "$GPRMC,093001.25,A,4730.00000,N,00215.00000,W,6.20,318.50,101226,1.50,W,A*3C";
const std::string kHdt = "$GPHDT,318.00,T*0C";

std::string Stamped(const char* time, const std::string& sentence) {
    return "NMEA183:2026-12-10Z" + std::string(time) + ":" + sentence + "\r\n";
}

// The bytes of `text`, as a file gives them.
FileLines::Source TextSource(std::string text) {
    return [text = std::move(text), at = std::size_t{0}](char* buffer, std::size_t size) mutable {
        const std::size_t n = std::min(size, text.size() - at);
        std::copy_n(text.data() + at, n, buffer);
        at += n;
        return n;
    };
}

struct Played {
    std::vector<std::string> sentences;
    std::vector<int> atMillis;  // when each was sent, asked every millisecond from 0
    long long skipped = 0;
};

Played Play(const std::string& file, ReplayPlayer::Timing timing) {
    ReplayPlayer player(TextSource(file), timing, [] { return false; });
    Played p;
    for (int ms = 0; ms <= 10000 && !player.Done(); ++ms) {
        player.SendDue(
            [&](std::string_view s) {
                p.sentences.emplace_back(s);
                p.atMillis.push_back(ms);
            },
            ms, 1000);
    }
    EXPECT_TRUE(player.Done());
    EXPECT_EQ(player.Sent(), static_cast<long long>(p.sentences.size()));
    p.skipped = player.Skipped();
    return p;
}

TEST(ReplayPlayer, EachSentenceGoesAtItsInstant) {
    const std::string stamped =
        Stamped("09:30:01.250", kRmc) + Stamped("09:30:01.500", kHdt) + Stamped("09:30:03.000", kRmc);
    const std::string plain = kRmc + "\n" + kHdt + "\r" + kRmc + "\r\n";
    const struct {
        const char* what;
        std::string file;
        ReplayPlayer::Timing timing;
        std::vector<int> atMillis;
    } cases[] = {
        {"a stamped log: its instants, from the first", stamped, {}, {0, 250, 1750}},
        {"a stamp that goes back goes at once",
         Stamped("09:30:02.000", kRmc) + Stamped("09:30:01.000", kHdt) + Stamped("09:30:02.500", kRmc),
         {},
         {0, 0, 500}},
        {"a plain line in a stamped log goes with the one before",
         Stamped("09:30:01.000", kRmc) + Stamped("09:30:02.000", kHdt) + kRmc + "\n" + Stamped("09:30:04.000", kHdt),
         {},
         {0, 1000, 1000, 3000}},
        {"a plain file: one a second", plain, {}, {0, 1000, 2000}},
        {"a rate replaces the recorded instants", stamped, {false, 4.0}, {0, 250, 500}},
        {"a rate for a plain file", plain, {false, 0.5}, {0, 2000, 4000}},
        {"fast: all at once", stamped, {true, {}}, {0, 0, 0}},
        {"a plain first sentence makes the stamps no timing",
         kRmc + "\n" + Stamped("09:30:09.000", kHdt) + Stamped("09:30:01.000", kRmc),
         {},
         {0, 1000, 2000}},
    };
    for (const auto& c : cases) {
        const Played p = Play(c.file, c.timing);
        EXPECT_EQ(p.atMillis, c.atMillis) << c.what;
        EXPECT_EQ(p.skipped, 0) << c.what;
    }
}

TEST(ReplayPlayer, LinesThatAreNoSentenceAreSkippedAndCounted) {
    const struct {
        const char* what;
        std::string line;  // between two stamped sentences
    } refused[] = {
        {"text", "journal de bord\n"},
        {"an empty line", "\n"},
        {"no checksum", "$GPRMC,093001.25,A\n"},
        {"a dropped sentence's mark", "NMEA183:2026-12-10Z09:30:01.500: *** défaut injecté : phrase supprimée\n"},
        {"a stamp that is no instant", "NMEA183:2026-13-10Z09:30:01.500:" + kHdt + "\n"},
        {"a line too long to keep", "$GP" + std::string(5000, 'A') + "*00\n"},
    };
    for (const auto& r : refused) {
        const Played p = Play(Stamped("09:30:01.000", kRmc) + r.line + Stamped("09:30:02.000", kHdt), {});
        EXPECT_EQ(p.sentences, (std::vector<std::string>{kRmc, kHdt})) << r.what;
        EXPECT_EQ(p.atMillis, (std::vector<int>{0, 1000})) << r.what;
        EXPECT_EQ(p.skipped, 1) << r.what;
    }
    const Played none = Play("rien à rejouer\n\xff\xfe\n", {});
    EXPECT_TRUE(none.sentences.empty());
    EXPECT_EQ(none.skipped, 2);
}

TEST(ReplayPlayer, AtMostTheLimitAtOnceAndNothingAfterAStop) {
    std::string file;
    for (int i = 0; i < 10; ++i) file += Stamped("09:30:01.000", kHdt);
    bool stop = false;
    ReplayPlayer player(TextSource(file), {}, [&stop] { return stop; });
    int sent = 0;
    const auto count = [&sent](std::string_view) { ++sent; };
    player.SendDue(count, 0, 4);
    EXPECT_EQ(sent, 4);
    player.SendDue(count, 0, 4);
    EXPECT_EQ(sent, 8);
    stop = true;
    player.SendDue(count, 0, 4);
    EXPECT_EQ(sent, 8);
    EXPECT_EQ(player.Summary(), "rejeu terminé : 8 phrases envoyées, 0 ligne ignorée");
}

TEST(ReplayPlayer, AStopEndsTheReadingOfAFileWithoutSentence) {
    // 1 MiB of empty lines: read in 64 KiB pieces, the stop asked before the third piece.
    test::TempFolder dir;
    test::WriteFile(dir / "vide.nmea", std::string(1 << 20, '\n'));
    auto file = std::make_shared<nav::FileDescriptor>(::open((dir / "vide.nmea").c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_GE(file->get(), 0);
    int asked = 0;
    const StopAsked stop = [&asked] { return ++asked > 2; };
    ReplayPlayer player(FileSource(file, stop), {}, stop);
    EXPECT_TRUE(player.Done());
    EXPECT_EQ(player.Skipped(), 2 * 64 * 1024);
    EXPECT_EQ(player.Summary(), "rejeu terminé : 0 phrase envoyée, 131072 lignes ignorées");
}

}  // namespace
}  // namespace corvel::app
