#pragma once

#include "platform/LineSettings.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oryx::sim {

enum class Direction { FromProgram, ToProgram };

struct TrafficChunk {
    Direction direction;
    std::chrono::steady_clock::time_point time;
    std::string bytes;
    // The settings the program's port had when the bytes crossed; nothing when unknown.
    std::optional<platform::LineSettings> line;
};

// Every byte that crossed the simulated line, both ways, as it was on the wire, with the
// time it crossed. Safe to read from any thread while the simulator runs.
class Traffic {
public:
    using Observer = std::function<void(const TrafficChunk&)>;
    using LineSource = std::function<std::optional<platform::LineSettings>()>;

    void record(Direction direction, std::string_view bytes);
    void clear();

    std::vector<TrafficChunk> chunks() const;
    // Everything the program wrote, or everything the simulator sent, concatenated.
    std::string written() const;
    std::string sent() const;
    // What the program wrote, cut at each CR LF (the end of every modem command). A lone CR
    // or LF stays in its line and bytes after the last CR LF are no line, so a fault in the
    // framing shows: "wb?\r\nwn?\n\rz>\r\nm>" gives "wb?", "wn?\n\rz>".
    std::vector<std::string> writtenLines() const;

    // Waits until the concatenation of that direction contains the text.
    bool waitForWritten(std::string_view text, std::chrono::milliseconds timeout) const;
    bool waitForSent(std::string_view text, std::chrono::milliseconds timeout) const;

    // Called on the simulator's thread for every chunk recorded (used by oryx-sim --log).
    void setObserver(Observer observer);
    // Asked for the program's line settings whenever a chunk is recorded; must not record.
    void setLineSource(LineSource source);
    // Oldest chunks are dropped once more than this many bytes are kept.
    void setLimit(std::size_t bytes);

private:
    std::string joined(Direction direction) const;
    bool waitFor(Direction direction, std::string_view text,
                 std::chrono::milliseconds timeout) const;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<TrafficChunk> m_chunks;
    std::size_t m_bytesKept = 0;
    std::size_t m_limit = 16 * 1024 * 1024;
    Observer m_observer;
    LineSource m_lineSource;
};

} // namespace oryx::sim
