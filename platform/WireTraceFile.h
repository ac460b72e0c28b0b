#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace oryx::platform {

// One wire trace file (the format is in docs/trace.md). post() only queues, so that a trace
// never holds up the line; a writer thread formats and writes what waits every few
// milliseconds. The queue is bounded: what does not fit is counted and the file says how much
// was lost.
class WireTraceFile {
public:
    static constexpr std::size_t kMaxQueuedBytes = 8 * 1024 * 1024;
    static constexpr std::size_t kBytesPerLine = 16;

    // Starts a new trace at path: creates the file for the user alone, or empties a regular
    // file of the user's own; never follows a symbolic link. Nothing, and the reason, when it
    // cannot.
    static std::unique_ptr<WireTraceFile> create(const std::string& path, std::string& problem);
    // Writes everything queued before it returns.
    ~WireTraceFile();
    WireTraceFile(const WireTraceFile&) = delete;
    WireTraceFile& operator=(const WireTraceFile&) = delete;

    // kind and microseconds as WireTap reports them.
    void post(char kind, const char* data, std::size_t size, std::int64_t microseconds);
    // Writes out everything queued and stops the writer; what is posted later is dropped.
    // Returns the first failure to write the file, empty when every write went.
    std::string finish();

    // The lines of one event, at a time relative to the trace's start.
    static void format(std::string& out, std::int64_t sinceStart, char kind, std::string_view data);

private:
    struct Event {
        std::int64_t at = 0;
        char kind = 0;
        std::string data;
    };

    WireTraceFile(int fd, std::string path);
    void run();
    void writeOut(const std::vector<Event>& events, std::size_t lost);
    void writeAll(const std::string& text);

    const int m_fd;
    const std::string m_path;
    const std::int64_t m_start;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<Event> m_queue;
    std::size_t m_queuedBytes = 0;
    std::size_t m_lost = 0;
    bool m_stop = false;
    std::string m_problem;
    std::thread m_writer;
};

} // namespace oryx::platform
