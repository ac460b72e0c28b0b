#include "sim/Traffic.h"

#include <algorithm>

namespace oryx::sim {

void Traffic::record(Direction direction, std::string_view bytes) {
    if (bytes.empty()) {
        return;
    }
    Observer observer;
    TrafficChunk chunk{direction, std::chrono::steady_clock::now(), std::string(bytes), {}};
    LineSource lineSource;
    {
        std::lock_guard lock(m_mutex);
        lineSource = m_lineSource;
    }
    if (lineSource) {
        chunk.line = lineSource();
    }
    {
        std::lock_guard lock(m_mutex);
        m_chunks.push_back(chunk);
        m_bytesKept += bytes.size();
        std::size_t drop = 0;
        while (m_bytesKept > m_limit && drop + 1 < m_chunks.size()) {
            m_bytesKept -= m_chunks[drop].bytes.size();
            ++drop;
        }
        m_chunks.erase(m_chunks.begin(), m_chunks.begin() + static_cast<std::ptrdiff_t>(drop));
        observer = m_observer;
    }
    m_changed.notify_all();
    if (observer) {
        observer(chunk);
    }
}

void Traffic::clear() {
    std::lock_guard lock(m_mutex);
    m_chunks.clear();
    m_bytesKept = 0;
}

std::vector<TrafficChunk> Traffic::chunks() const {
    std::lock_guard lock(m_mutex);
    return m_chunks;
}

std::string Traffic::joined(Direction direction) const {
    std::string all;
    for (const TrafficChunk& chunk : m_chunks) {
        if (chunk.direction == direction) {
            all += chunk.bytes;
        }
    }
    return all;
}

std::string Traffic::written() const {
    std::lock_guard lock(m_mutex);
    return joined(Direction::FromProgram);
}

std::string Traffic::sent() const {
    std::lock_guard lock(m_mutex);
    return joined(Direction::ToProgram);
}

std::vector<std::string> Traffic::writtenLines() const {
    static constexpr std::string_view kEnd = "\r\n";
    const std::string all = written();
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end = all.find(kEnd); end != std::string::npos; end = all.find(kEnd, from)) {
        lines.push_back(all.substr(from, end - from));
        from = end + kEnd.size();
    }
    return lines;
}

bool Traffic::waitFor(Direction direction, std::string_view text,
                      std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout,
                              [&] { return joined(direction).find(text) != std::string::npos; });
}

bool Traffic::waitForWritten(std::string_view text, std::chrono::milliseconds timeout) const {
    return waitFor(Direction::FromProgram, text, timeout);
}

bool Traffic::waitForSent(std::string_view text, std::chrono::milliseconds timeout) const {
    return waitFor(Direction::ToProgram, text, timeout);
}

void Traffic::setObserver(Observer observer) {
    std::lock_guard lock(m_mutex);
    m_observer = std::move(observer);
}

void Traffic::setLineSource(LineSource source) {
    std::lock_guard lock(m_mutex);
    m_lineSource = std::move(source);
}

void Traffic::setLimit(std::size_t bytes) {
    std::lock_guard lock(m_mutex);
    m_limit = std::max<std::size_t>(bytes, 1);
}

} // namespace oryx::sim
