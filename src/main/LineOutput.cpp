// The headless run's outputs of whole lines; see LineOutput.h.
#include "main/LineOutput.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>

#include "app/program/SimulationTexts.h"
#include "app/program/SystemErrors.h"

namespace corvel::headless {

LineOutput::~LineOutput() {
    if (owned_) ::close(fd_);
}

bool LineOutput::Open(const std::filesystem::path& path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
    owned_ = fd_ >= 0;
    if (!owned_) return false;  // errno says why
    Attach(fd_, "dans le journal " + path.string());
    return true;
}

void LineOutput::AttachStandardOutput() {
    int fd = STDOUT_FILENO;
    if (struct stat st{}; ::fstat(fd, &st) == 0) {
        socket_ = S_ISSOCK(st.st_mode);
        if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) {
            const int again = ::open("/proc/self/fd/1", O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
            owned_ = again >= 0;  // else (no /proc, a FIFO already without reader) the one given
            if (owned_) fd = again;
        }
    }
    Attach(fd, "sur la sortie standard");
}

void LineOutput::Write(std::string_view line) {
    if (!Active()) return;
    if (buffer_.size() + line.size() + 2 > kMaxQueued) {
        if (lost_++ == 0) {
            std::fprintf(stderr,
                         "corvelnmea: écriture bloquée %s (plus rien n'y est lu) : les lignes sont "
                         "perdues tant qu'elle le reste\n",
                         where_.c_str());
        }
        return;
    }
    buffer_.append(line);
    buffer_.append("\r\n", 2);
    if (buffer_.size() >= kFlushAt) Flush();
}

void LineOutput::Flush() {
    size_t written = 0;
    while (Active() && written < buffer_.size()) {
        const ssize_t n = WriteSome(std::string_view(buffer_).substr(written));
        if (n > 0) {
            written += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;  // the reader is behind: the rest waits for the next Flush
        } else if (n == 0 || errno != EINTR) {
            Fail(n == 0 ? EIO : errno, written);
        }
    }
    if (!Active()) {
        buffer_.clear();
        return;
    }
    const size_t lineEnd = std::string_view(buffer_.data(), written).rfind('\n');
    lineWritten_ = lineEnd == std::string_view::npos ? lineWritten_ + written : written - lineEnd - 1;
    buffer_.erase(0, written);
}

void LineOutput::Drain(Clock::time_point until) {
    Clock::time_point idleEnd = Clock::now() + kDrainIdle;
    for (;;) {
        const size_t before = buffer_.size();
        Flush();
        if (buffer_.empty()) return;
        const Clock::time_point now = Clock::now();
        if (buffer_.size() < before) idleEnd = now + kDrainIdle;
        const Clock::time_point stop = std::min(idleEnd, until);
        if (now >= stop) return;
        pollfd ready = Readiness();
        ::poll(&ready, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(stop - now).count()));
    }
}

void LineOutput::ReportUnwritten() const {
    const long long left = lost_ + std::count(buffer_.begin(), buffer_.end(), '\n');
    if (left == 0) return;
    std::fprintf(stderr, "corvelnmea: %s %s : son lecteur ne lisait plus\n",
                 app::CountText(left, " ligne non écrite", " lignes non écrites").c_str(), where_.c_str());
}

void LineOutput::Attach(int fd, std::string where) {
    fd_ = fd;
    where_ = std::move(where);
    buffer_.reserve(kFlushAt + 1024);
    struct stat st {};
    chunked_ = ::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode);
}

ssize_t LineOutput::WriteSome(std::string_view bytes) const {
    size_t size = bytes.size();
    if (chunked_ && size > PIPE_BUF) {
        const size_t lineEnd = bytes.substr(0, PIPE_BUF).rfind('\n');
        size = lineEnd != std::string_view::npos ? lineEnd + 1 : bytes.find('\n') + 1;
    }
    return socket_ ? ::send(fd_, bytes.data(), size, MSG_DONTWAIT | MSG_NOSIGNAL) : ::write(fd_, bytes.data(), size);
}

void LineOutput::Fail(int error, size_t written) {
    failed_ = true;
    const size_t lineEnd = std::string_view(buffer_.data(), written).rfind('\n');
    const auto cut =
        static_cast<off_t>(lineEnd == std::string_view::npos ? lineWritten_ + written : written - lineEnd - 1);
    if (const off_t at = ::lseek(fd_, 0, SEEK_CUR); cut > 0 && at >= cut) {
        if (::ftruncate(fd_, at - cut) != 0) {
            // A device that cannot be truncated (/dev/full) keeps the part of a line.
        }
    }
    std::fprintf(stderr, "corvelnmea: écriture impossible %s : %s\n", where_.c_str(), app::SystemReason(error).c_str());
}

}  // namespace corvel::headless
