#include "common/EventLogFileC.h"

#include "common/FileReplaceC.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kSeparator = "-------------------------------------------------------------";

// An open file descriptor that is also exclusively locked, mirroring the platform's
// "no sharing" open: a second writer fails to lock and skips its line. Only a regular file
// of this user is opened: no link is followed, and O_NONBLOCK keeps a pipe at the name from
// holding the open until someone reads it.
class ExclusiveFile {
public:
    ExclusiveFile(const std::string& path, int flags) {
        fd_ = ::open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0644);
        if (fd_ < 0) {
            refused_ = errno == ELOOP || errno == ENXIO;
            problem_ = errno == ELOOP   ? "it is a symbolic link"
                       : errno == ENXIO ? "it is not a regular file"
                                        : std::strerror(errno);
            return;
        }
        struct stat info {};
        if (::fstat(fd_, &info) != 0) {
            problem_ = std::strerror(errno);
        } else if (!S_ISREG(info.st_mode)) {
            problem_ = "it is not a regular file";
        } else if (info.st_uid != ::geteuid()) {
            problem_ = "it belongs to another user";
        }
        refused_ = !problem_.empty();
        mode_ = info.st_mode & 07777;
        if (refused_ || ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
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
    mode_t mode() const { return mode_; }
    // Why the file did not open; empty when it did or another writer holds it.
    const std::string& problem() const { return problem_; }
    // Not a file the log may write at all.
    bool refused() const { return refused_; }

private:
    int fd_ = -1;
    mode_t mode_ = 0;
    std::string problem_;
    bool refused_ = false;
};

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
// not a line. Only the last maxBytes of the file are read, from the first line that begins
// within them. False when that could not be read to its end: a trim from part of the lines
// would throw the rest away.
bool ReadTailLines(int fd, std::size_t maxBytes, std::vector<std::string>& lines, bool& cut) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return false;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    cut = size > maxBytes;
    // From the byte before the tail on: when that is an LF, the tail begins with a whole line.
    if (cut && ::lseek(fd, static_cast<off_t>(size - maxBytes - 1), SEEK_SET) < 0) {
        return false;
    }
    bool skipping = cut;
    std::size_t left = cut ? maxBytes + 1 : size;
    std::string current;
    char block[4096];
    while (left > 0) {
        const ssize_t n = ::read(fd, block, std::min(sizeof block, left));
        if (n == 0) {
            return true;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        left -= static_cast<std::size_t>(n);
        for (ssize_t i = 0; i < n; ++i) {
            const char c = block[i];
            if (skipping) {
                skipping = c != '\n';
                continue;
            }
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
    return true;
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

EventLogFileC::EventLogFileC(std::string fileName, int maxLines, WarnT warn)
    : fileName_(std::move(fileName)), maxLines_(maxLines), warn_(std::move(warn)) {
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

// A line that did not fit is cut off again, so that the file never ends in half a line.
void EventLogFileC::AppendLines(const std::string& bytes) {
    if (fileName_.empty() || refused_) {
        return;
    }
    ExclusiveFile file(fileName_, O_WRONLY | O_CREAT | O_APPEND);
    if (!file.ok()) {
        refused_ = file.refused();
        Warn(file.problem());
        return;
    }
    const off_t end = ::lseek(file.fd(), 0, SEEK_END);
    if (!FileReplaceC::WriteAll(file.fd(), bytes)) {
        const std::string problem = std::strerror(errno);
        if (end >= 0) {
            ::ftruncate(file.fd(), end);
        }
        Warn(problem);
    }
}

void EventLogFileC::Warn(const std::string& problem) {
    if (problem.empty() || warned_ || !warn_) {
        return;
    }
    warned_ = true;
    warn_("Event log " + fileName_ + " not written (" + problem + ")" +
          (refused_ ? "; going on without it." : "; lines are lost."));
}

// The kept lines go to a new file beside the log which then replaces it in one rename, so a
// process that dies half-way never leaves a truncated log behind. The copy gets the log's own
// permissions before it holds a byte.
void EventLogFileC::Trim() {
    if (fileName_.empty() || refused_) {
        return;
    }
    ExclusiveFile log(fileName_, O_RDWR | O_CREAT);
    if (!log.ok()) {
        refused_ = log.refused();
        Warn(log.problem());
        return;
    }
    std::vector<std::string> lines;
    bool cut = false;
    if (!ReadTailLines(log.fd(), kMaxTrimBytes, lines, cut)) {
        return;
    }
    if (maxLines_ < 0 || (!cut && lines.size() < static_cast<size_t>(maxLines_))) {
        return;
    }
    std::string kept;
    for (size_t i = lines.size() - std::min(lines.size(), static_cast<size_t>(maxLines_));
         i < lines.size(); ++i) {
        kept += PlainLine(lines[i]);
    }
    // A folder we may not write in still holds a log we may write: keep it bounded.
    if (!FileReplaceC::Replace(fileName_, kept, {log.mode(), beforeReplace_}).empty()) {
        RewriteInPlace(log.fd(), kept);
    }
}
