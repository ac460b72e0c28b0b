#pragma once

#include <string>
#include <string_view>

namespace oryx::platform::test {

// A pseudo-terminal whose master plays the far end of the line.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slavePath() const { return m_slavePath; }
    int master() const { return m_master; }
    void writeFromFarEnd(std::string_view bytes) const;
    // Everything the far end can read within the time.
    std::string readAtFarEnd(int waitMs) const;
    // The far end disappears, as an unplugged adapter does.
    void closeMaster();

private:
    int m_master = -1;
    std::string m_slavePath;
};

} // namespace oryx::platform::test
