// The network link: the delay from EmitSentence to the bytes read by a TCP client on loopback,
// with the simulation running in real time (as the window and a real-time headless run drive it),
// and the cost of handing one sentence to a connected client.
// The real-time run takes about 100 s per thousand sentences (CORVEL_LATENCY_SENTENCES, 3000 by
// default): corvel_bench --benchmark_filter=TcpDelay
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "app/program/Program.h"
#include "app/windows/NetworkDialogModel.h"
#include "links/QtNetLink.h"

using namespace corvel;
using Clock = std::chrono::steady_clock;

namespace {

std::filesystem::path DataDir() {
    const char* src = std::getenv("CORVEL_SOURCE_DIR");
    return src ? std::filesystem::path(src) / "data" : std::filesystem::path(BENCH_DATA_DIR);
}

QCoreApplication& Application() {
    static int argc = 1;
    static char name[] = "corvel_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// A client on another thread: the instant each line end arrives.
class LineClient {
public:
    LineClient(int port, size_t lines) {
        arrivals_.reserve(std::min<size_t>(lines, 1 << 20));
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        thread_ = std::thread([this, lines] {
            char buffer[65536];
            while (arrivals_.size() < lines) {
                const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                const Clock::time_point now = Clock::now();
                for (ssize_t i = 0; i < n; ++i) {
                    if (buffer[i] == '\n') arrivals_.push_back(now);
                }
                count_.store(arrivals_.size());
            }
            done_.store(true);
        });
    }
    ~LineClient() {
        ::shutdown(fd_, SHUT_RDWR);
        thread_.join();
        ::close(fd_);
    }
    bool connected() const { return connected_; }
    bool done() const { return done_.load(); }
    size_t count() const { return count_.load(); }
    const std::vector<Clock::time_point>& arrivals() const { return arrivals_; }

private:
    int fd_ = -1;
    bool connected_ = false;
    std::vector<Clock::time_point> arrivals_;
    std::atomic<size_t> count_{0};
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// The program with the WiFi dialog serving TCP on 127.0.0.1 and one client connected.
struct TcpSetup {
    app::QuietDialogs dialogs;
    links::QtNetLink net{QHostAddress::LocalHost};  // outlives the program's network dialog
    app::Program program{dialogs, DataDir()};
    app::TFCorvel& w = program.FCorvel;
    app::TFParamWIFI& wifi = program.FParamWIFI;
    // The instant the transmission handed each sentence to its first output, the log, just before
    // the network.
    std::vector<Clock::time_point> sent;

    bool Launch() {
        Application();
        wifi.SetNetLink(&net);
        program.Out.Log().SetStream([this](std::string_view) { sent.push_back(Clock::now()); });
        for (int port = 20000 + static_cast<int>(::getpid() % 20000); port < 65536; ++port) {
            wifi.EdPort.text = std::to_string(port);
            wifi.BtLanceServeurClick();
            if (net.ServerListening()) return true;
        }
        return false;
    }
    bool WaitForClient() {
        QElapsedTimer clock;
        clock.start();
        while (!program.Out.TcpClientConnected() && clock.elapsed() < 5000) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return program.Out.TcpClientConnected();
    }
    // The server launched and a client reading `lines` lines connected; nothing (the benchmark
    // told why) when either failed.
    std::unique_ptr<LineClient> Serve(size_t lines, benchmark::State& state) {
        if (!Launch()) {
            state.SkipWithError("no port to listen on");
            return nullptr;
        }
        auto client = std::make_unique<LineClient>(net.ServerPort(), lines);
        if (!client->connected() || !WaitForClient()) {
            state.SkipWithError("the client could not connect");
            return nullptr;
        }
        return client;
    }
};

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    const size_t k = std::min(values.size() - 1, static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
    return values[k];
}

void BM_TcpDelayRealTime(benchmark::State& state) {
    const char* wanted = std::getenv("CORVEL_LATENCY_SENTENCES");
    const size_t sentences = wanted ? std::max(1, std::atoi(wanted)) : 3000;
    for (auto _ : state) {
        TcpSetup setup;
        const auto reader = setup.Serve(sentences, state);
        if (!reader) return;
        const LineClient& client = *reader;
        // Real time, as a real-time headless run paces it: every 5 ms the timers catch up with
        // the monotonic clock; the link's sockets are served by the same event loop.
        app::TFCorvel& w = setup.w;
        w.BtCalCClick();
        QElapsedTimer wall;
        wall.start();
        QTimer pump;
        pump.setTimerType(Qt::PreciseTimer);
        pump.setInterval(5);
        QObject::connect(&pump, &QTimer::timeout, [&] {
            const sim::Millis lag = wall.elapsed() - w.Timers.Now();
            if (lag > 0) w.Timers.Advance(lag);
            if (client.count() >= sentences || client.done()) QCoreApplication::quit();
        });
        pump.start();
        QCoreApplication::exec();
        pump.stop();
        const auto& sent = setup.sent;
        const auto& arrived = client.arrivals();
        std::vector<double> delays;
        for (size_t i = 0; i < std::min(sent.size(), arrived.size()); ++i) {
            delays.push_back(std::chrono::duration<double, std::micro>(arrived[i] - sent[i]).count());
        }
        state.SetIterationTime(static_cast<double>(wall.elapsed()) / 1000);
        state.counters["sentences"] = static_cast<double>(delays.size());
        state.counters["median_us"] = Percentile(delays, 0.5);
        state.counters["p99_us"] = Percentile(delays, 0.99);
        state.counters["max_us"] = delays.empty() ? 0 : *std::max_element(delays.begin(), delays.end());
    }
}
BENCHMARK(BM_TcpDelayRealTime)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// One sentence handed to the connected client: the transmission (its logs keep nothing), the link,
// the system's send.
void BM_TransmitSentenceTcp(benchmark::State& state) {
    TcpSetup setup;
    const auto reader = setup.Serve(SIZE_MAX, state);
    if (!reader) return;
    setup.program.Out.Log().SetStream({});
    setup.program.Out.Log().SetKeepLines(false);
    setup.program.Out.StampedLog().SetKeepLines(false);
    const std::string sentence = "$GPRMC,140327.51,A,5104.1400,N,01223.0800,E,6.78,318.00,091226,1.50,E,A*00";
    size_t n = 0;
    for (auto _ : state) {
        setup.program.Out.Send({}, sentence);
        if (++n % 64 == 0) QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TransmitSentenceTcp);

}  // namespace
