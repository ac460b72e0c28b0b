#pragma once

#include <string>

namespace oryx::sim {

// The link a simulator publishes in the simulator folder so that port lists show it and
// users can type a stable port text. A name in use by a live link gets a numeric suffix.
class PortLink {
public:
    PortLink(std::string folder, std::string name);
    ~PortLink();
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    // Creates the link to target; returns its path. Throws std::runtime_error on failure.
    std::string publish(const std::string& target);
    // Points the published link at a new target in one step (a replugged device).
    void retarget(const std::string& target);
    void remove();
    std::string path() const { return m_path; }

private:
    void ensurePrivateFolder() const;

    std::string m_folder;
    std::string m_name;
    std::string m_path;
};

} // namespace oryx::sim
