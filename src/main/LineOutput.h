// The headless run's outputs of whole lines (standard output, a log): each line followed by CR LF,
// written with write(2) without ever waiting for the reader.
#pragma once

#include <poll.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace corvel::headless {

// An output of lines, each followed by CR LF (standard output, a log), written with write(2)
// without ever waiting for the reader, so that a reader that stops reading holds nothing else.
// The lines gather in a buffer; Flush sends what the reader takes now and keeps the rest for the
// next Flush. Where the output is no regular file it writes chunks of whole lines of at most
// PIPE_BUF bytes: a pipe takes such a chunk whole or not at all, so its reader never finds a line
// cut. A buffer that reaches kFlushAt is flushed at once and makes the output Backlogged (a --fast
// run waits for it); past kMaxQueued the lines are lost, counted, and reported once at the first.
// The first failed write is reported at once on standard error with the system's reason; the part
// of a line it left is taken back (the file is truncated after the last whole line, where the file
// can be truncated) and the output writes nothing more.
class LineOutput {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr size_t kFlushAt = 64 * 1024;
    static constexpr size_t kMaxQueued = 4 * kFlushAt;
    static constexpr std::chrono::seconds kDrainIdle{1};

    LineOutput() = default;
    LineOutput(const LineOutput&) = delete;
    LineOutput& operator=(const LineOutput&) = delete;
    ~LineOutput();

    // Creates or empties the log file; false, errno set, when it cannot be opened for writing. The
    // open does not wait: a FIFO that no program reads fails at once (ENXIO). The writes do not
    // wait either (a FIFO's reader may stall): what the reader does not take waits in the buffer.
    bool Open(const std::filesystem::path& path);
    // Standard output. Its descriptor is shared with whoever started the program (a shell's
    // terminal), so its flags stay as they are: a pipe, FIFO or terminal is opened again, with a
    // description of its own, non-blocking; a socket is written with MSG_DONTWAIT; a file as it is.
    void AttachStandardOutput();

    // Written to, and not failed.
    bool Active() const { return fd_ >= 0 && !failed_; }
    bool Failed() const { return failed_; }
    // Lines lost or left unwritten: the output did not carry everything.
    bool Incomplete() const { return lost_ > 0 || !buffer_.empty(); }
    bool Backlogged() const { return Active() && buffer_.size() >= kFlushAt; }
    // What poll(2) waits on for room to write.
    pollfd Readiness() const { return {fd_, POLLOUT, 0}; }

    void Write(std::string_view line);

    // Writes what the reader takes now.
    void Flush();

    // At the end: waits for the reader to take what is left, giving up once it has taken nothing
    // for kDrainIdle, and at `until` in any case.
    void Drain(Clock::time_point until);

    // The lines lost and left unwritten, on standard error.
    void ReportUnwritten() const;

private:
    void Attach(int fd, std::string where);

    // One write: to a file, all of `bytes`; else the whole lines at their start that fit in
    // PIPE_BUF (or the first line alone, when it is longer).
    ssize_t WriteSome(std::string_view bytes) const;

    // `written`: the bytes of the buffer that went out in this Flush before the failure.
    void Fail(int error, size_t written);

    int fd_ = -1;
    bool owned_ = false;
    bool socket_ = false;
    bool chunked_ = false;  // not a regular file: written in chunks of whole lines
    bool failed_ = false;
    std::string where_;
    std::string buffer_;
    size_t lineWritten_ = 0;  // the bytes of the buffer's first line that earlier Flushes wrote
    long long lost_ = 0;
};

}  // namespace corvel::headless
