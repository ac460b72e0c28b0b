#include "sim/PortLink.h"

#include "platform/SimulatorFolder.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace oryx::sim {
namespace {

constexpr int kMaxSuffix = 100;

std::runtime_error failure(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

bool isDangling(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
           ::stat(path.c_str(), &info) != 0;
}

} // namespace

PortLink::PortLink(std::string folder, std::string name)
    : m_folder(std::move(folder)), m_name(std::move(name)) {}

PortLink::~PortLink() {
    remove();
}

void PortLink::ensurePrivateFolder() const {
    if (::mkdir(m_folder.c_str(), 0700) != 0 && errno != EEXIST) {
        throw failure("cannot create " + m_folder);
    }
    // Port lists trust links only in such a folder; one that another user could write in is
    // refused here too, so that a simulator never publishes where no list would look.
    if (!platform::isPrivateFolder(m_folder)) {
        throw std::runtime_error(m_folder + " is not a folder of this user that only it can write");
    }
}

std::string PortLink::publish(const std::string& target) {
    ensurePrivateFolder();
    for (int suffix = 1; suffix <= kMaxSuffix; ++suffix) {
        const std::string candidate =
            m_folder + "/" + m_name + (suffix == 1 ? "" : "-" + std::to_string(suffix));
        if (::symlink(target.c_str(), candidate.c_str()) == 0) {
            m_path = candidate;
            return m_path;
        }
        if (errno != EEXIST) {
            throw failure("cannot create the link " + candidate);
        }
        // Left behind by a simulator that did not end cleanly: take the name over.
        if (isDangling(candidate) && ::unlink(candidate.c_str()) == 0 &&
            ::symlink(target.c_str(), candidate.c_str()) == 0) {
            m_path = candidate;
            return m_path;
        }
    }
    throw std::runtime_error("no free link name for " + m_name + " in " + m_folder);
}

void PortLink::retarget(const std::string& target) {
    if (m_path.empty()) {
        return;
    }
    const std::string temporary = m_path + ".new";
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0 ||
        ::rename(temporary.c_str(), m_path.c_str()) != 0) {
        throw failure("cannot update the link " + m_path);
    }
}

void PortLink::remove() {
    if (!m_path.empty()) {
        ::unlink(m_path.c_str());
        m_path.clear();
    }
}

} // namespace oryx::sim
