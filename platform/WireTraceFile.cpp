#include "platform/WireTraceFile.h"

#include "platform/WireTap.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace oryx::platform {

namespace {

constexpr auto kWriteEvery = std::chrono::milliseconds(20);
// Chunks, settings and marks are small; this much is ample for one queued event's overhead.
constexpr std::size_t kEventOverhead = sizeof(std::int64_t) + 32;

std::string reasonOf(int error) {
    return std::strerror(error);
}

// An existing file is reused only when it is the user's own regular file with no other name;
// anything else (a link planted in a shared folder, a device, someone else's file) is refused.
bool reusable(int fd, std::string& problem) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        problem = reasonOf(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        problem = "not a regular file";
    } else if (info.st_uid != ::geteuid()) {
        problem = "the file belongs to another user";
    } else if (info.st_nlink != 1) {
        problem = "the file has other names (hard links)";
    } else if (::ftruncate(fd, 0) != 0) {
        problem = reasonOf(errno);
    }
    return problem.empty();
}

int openSafely(const std::string& path, std::string& problem) {
    const int flags = O_WRONLY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0600);
    if (fd >= 0 || errno != EEXIST) {
        if (fd < 0) {
            problem = reasonOf(errno);
        }
        return fd;
    }
    // O_NONBLOCK: a FIFO planted under the name must not hold the run up here.
    fd = ::open(path.c_str(), flags | O_NONBLOCK);
    if (fd < 0) {
        problem = errno == ELOOP ? "a symbolic link" : reasonOf(errno);
        return -1;
    }
    if (!reusable(fd, problem)) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::string wallClockNow() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc);
    return text;
}

const char* dataTag(char kind, bool first) {
    if (kind == WireTap::kWritten) {
        return first ? "TX    " : "TX+   ";
    }
    return first ? "RX    " : "RX+   ";
}

void appendTime(std::string& out, std::int64_t sinceStart) {
    char text[32];
    std::snprintf(text, sizeof text, "%10lld  ", static_cast<long long>(sinceStart));
    out += text;
}

void appendBytes(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < WireTraceFile::kBytesPerLine; ++i) {
        if (i < bytes.size()) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
            out += ' ';
        } else {
            out += "   ";
        }
    }
    out += " |";
    for (const char c : bytes) {
        out += (c >= 0x20 && c < 0x7F) ? c : '.';
    }
    out += "|\n";
}

} // namespace

std::unique_ptr<WireTraceFile> WireTraceFile::create(const std::string& path,
                                                     std::string& problem) {
    problem.clear();
    const int fd = openSafely(path, problem);
    if (fd < 0) {
        problem = "cannot write trace " + path + ": " + problem;
        return nullptr;
    }
    return std::unique_ptr<WireTraceFile>(new WireTraceFile(fd, path));
}

WireTraceFile::WireTraceFile(int fd, std::string path)
    : m_fd(fd), m_path(std::move(path)), m_start(WireTap::now()) {
    writeAll("# ORYX wire trace, format 1 (docs/trace.md)\n# started " + wallClockNow() +
             "; times are microseconds since then, on the monotonic clock\n");
    m_writer = std::thread([this] { run(); });
}

WireTraceFile::~WireTraceFile() {
    finish();
    ::close(m_fd);
}

std::string WireTraceFile::finish() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    if (m_writer.joinable()) {
        m_writer.join();
    }
    std::lock_guard lock(m_mutex);
    return m_problem;
}

void WireTraceFile::post(char kind, const char* data, std::size_t size, std::int64_t microseconds) {
    bool wakeWriter = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_stop) {
            return;
        }
        if (m_queuedBytes + size + kEventOverhead > kMaxQueuedBytes) {
            ++m_lost;
            return;
        }
        m_queue.push_back({microseconds, kind, std::string(data, size)});
        m_queuedBytes += size + kEventOverhead;
        // The writer looks every few milliseconds anyway; waking it costs a system call,
        // which only a queue filling up is worth.
        wakeWriter = m_queuedBytes > kMaxQueuedBytes / 2;
    }
    if (wakeWriter) {
        m_wake.notify_one();
    }
}

void WireTraceFile::run() {
    std::vector<Event> events;
    bool stop = false;
    while (!stop) {
        std::size_t lost = 0;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait_for(lock, kWriteEvery,
                            [this] { return m_stop || m_queuedBytes > kMaxQueuedBytes / 2; });
            events.swap(m_queue);
            m_queuedBytes = 0;
            std::swap(lost, m_lost);
            stop = m_stop;
        }
        writeOut(events, lost);
        events.clear();
    }
}

void WireTraceFile::writeOut(const std::vector<Event>& events, std::size_t lost) {
    std::string text;
    for (const Event& event : events) {
        format(text, event.at - m_start, event.kind, event.data);
    }
    if (lost > 0) {
        appendTime(text, WireTap::now() - m_start);
        text += "LOST  " + std::to_string(lost) + " events: the trace could not keep up\n";
    }
    writeAll(text);
}

void WireTraceFile::writeAll(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(m_fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            std::lock_guard lock(m_mutex);
            if (m_problem.empty()) {
                m_problem = "writing trace " + m_path + " failed: " + reasonOf(errno);
            }
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

void WireTraceFile::format(std::string& out, std::int64_t sinceStart, char kind,
                           std::string_view data) {
    if (kind == WireTap::kControl) {
        appendTime(out, sinceStart);
        out.append(data);
        out += '\n';
        return;
    }
    for (std::size_t offset = 0; offset < data.size(); offset += kBytesPerLine) {
        appendTime(out, sinceStart);
        out += dataTag(kind, offset == 0);
        appendBytes(out, data.substr(offset, kBytesPerLine));
    }
}

} // namespace oryx::platform
