#include "common/EventLogFileC.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kSeparator = "-------------------------------------------------------------";

// An open file descriptor that is also exclusively locked, mirroring the platform's
// "no sharing" open: a second writer fails to lock and skips its line.
class ExclusiveFile {
public:
    ExclusiveFile(const std::string& path, int flags) {
        fd_ = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~ExclusiveFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    ExclusiveFile(const ExclusiveFile&) = delete;
    ExclusiveFile& operator=(const ExclusiveFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string PlainLine(std::string_view text) {
    std::string line(text);
    line += "\r\n";
    return line;
}

std::string StampedLineNow(std::string_view text) {
    time_t now = ::time(nullptr);
    struct tm local {};
    ::localtime_r(&now, &local);
    return EventLogFileC::FormatStampedLine(local, text);
}

// Lines end at LF; CR bytes are dropped wherever they stand; a last piece without LF is
// not a line. False when the file could not be read to its end: a trim from part of the
// lines would throw the rest away.
bool ReadLines(int fd, std::vector<std::string>& lines) {
    std::string current;
    char block[4096];
    while (true) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n == 0) {
            return true;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        for (ssize_t i = 0; i < n; ++i) {
            const char c = block[i];
            if (c == '\r') {
                continue;
            }
            if (c == '\n') {
                lines.push_back(std::move(current));
                current.clear();
            } else {
                current += c;
            }
        }
    }
}

// Without a temporary file the log is rewritten where it is: the kept lines are a tail of the
// file, so writing them over its start and then cutting it loses nothing if that stops
// half-way.
void RewriteInPlace(int fd, const std::string& kept) {
    size_t done = 0;
    while (done < kept.size()) {
        const ssize_t n =
            ::pwrite(fd, kept.data() + done, kept.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        done += static_cast<size_t>(n);
    }
    if (::ftruncate(fd, static_cast<off_t>(kept.size())) == 0) {
        ::fsync(fd);
    }
}

} // namespace

EventLogFileC::EventLogFileC(std::string fileName, int maxLines)
    : fileName_(std::move(fileName)), maxLines_(maxLines) {
    WriteStartBlock();
}

EventLogFileC::~EventLogFileC() {
    Log("Application closed");
    Trim();
}

std::string EventLogFileC::FormatStampedLine(const struct tm& t, std::string_view text) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%02u/%02u/%u %u:%02u:%02u: ", unsigned(t.tm_mday),
                  unsigned(t.tm_mon + 1), unsigned(t.tm_year + 1900), unsigned(t.tm_hour),
                  unsigned(t.tm_min), unsigned(t.tm_sec));
    std::string line(stamp);
    line.append(text);
    line += "\r\n";
    return line;
}

void EventLogFileC::Log(std::string_view text) {
    AppendLines(StampedLineNow(text));
}

void EventLogFileC::WriteStartBlock() {
    AppendLines(PlainLine("") + PlainLine(kSeparator) + StampedLineNow("Application started"));
}

void EventLogFileC::AppendLines(const std::string& bytes) {
    if (fileName_.empty()) {
        return;
    }
    ExclusiveFile file(fileName_, O_WRONLY | O_CREAT | O_APPEND);
    if (file.ok()) {
        WriteAll(file.fd(), bytes);
    }
}

// The kept lines go to a temporary file beside the log which then replaces it in one
// rename, so a process that dies half-way never leaves a truncated log behind.
void EventLogFileC::Trim() {
    if (fileName_.empty()) {
        return;
    }
    ExclusiveFile log(fileName_, O_RDWR | O_CREAT);
    if (!log.ok()) {
        return;
    }
    std::vector<std::string> lines;
    if (!ReadLines(log.fd(), lines)) {
        return;
    }
    if (maxLines_ < 0 || lines.size() < static_cast<size_t>(maxLines_)) {
        return;
    }
    std::string kept;
    for (size_t i = lines.size() - static_cast<size_t>(maxLines_); i < lines.size(); ++i) {
        kept += PlainLine(lines[i]);
    }
    const std::string tempName = fileName_ + ".trim";
    // What stands at that name is a copy left by a trim that died (we hold the log's lock),
    // or something planted there; never write through it. unlink removes a link, not its
    // target, and fails on a folder.
    ::unlink(tempName.c_str());
    const int tmp =
        ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (tmp < 0) {
        // A folder we may not write in still holds a log we may write: keep it bounded.
        RewriteInPlace(log.fd(), kept);
        return;
    }
    const bool written = WriteAll(tmp, kept) && ::fsync(tmp) == 0;
    ::close(tmp);
    if (!written) {
        ::unlink(tempName.c_str());
        return;
    }
    if (beforeReplace_) {
        beforeReplace_();
    }
    if (::rename(tempName.c_str(), fileName_.c_str()) != 0) {
        ::unlink(tempName.c_str());
    }
}
