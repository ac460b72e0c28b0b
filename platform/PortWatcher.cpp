#include "platform/PortWatcher.h"

#include <filesystem>
#include <libudev.h>
#include <sys/epoll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace oryx::platform {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kFolderEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE_SELF | IN_MOVE_SELF;
// A pty that goes away takes a simulator's port with it, even when its link stays.
constexpr const char* kPtyFolder = "/dev/pts";

bool folderExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

} // namespace

PortWatcher::PortWatcher() : PortWatcher(PortEnumerator(), true) {}

PortWatcher::PortWatcher(PortEnumerator enumerator, bool watchUdev)
    : m_enumerator(std::move(enumerator)), m_inotify(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
      m_epoll(::epoll_create1(EPOLL_CLOEXEC)) {
    if (m_inotify >= 0) {
        ::inotify_add_watch(m_inotify, kPtyFolder, IN_DELETE);
        updateFolderWatches();
        addToEpoll(m_inotify);
    }
    if (watchUdev) {
        startUdevMonitor();
    }
    m_ports = m_enumerator.listPorts();
}

PortWatcher::~PortWatcher() {
    if (m_monitor != nullptr) {
        udev_monitor_unref(m_monitor);
    }
    if (m_udev != nullptr) {
        udev_unref(m_udev);
    }
    for (int fd : {m_inotify, m_epoll}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

// The daemon's events come once it has made the device's links and set its permissions;
// without a daemon (a container) only the kernel's own events come.
void PortWatcher::startUdevMonitor() {
    m_udev = udev_new();
    if (m_udev == nullptr) {
        return;
    }
    const bool daemonRuns = ::access("/run/udev/control", F_OK) == 0;
    m_monitor = udev_monitor_new_from_netlink(m_udev, daemonRuns ? "udev" : "kernel");
    if (m_monitor == nullptr) {
        return;
    }
    if (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
        return;
    }
    addToEpoll(udev_monitor_get_fd(m_monitor));
}

void PortWatcher::addToEpoll(int fd) {
    if (m_epoll < 0) {
        return;
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &event);
}

bool PortWatcher::drainEvents() {
    drainUdev();
    drainInotify();
    updateFolderWatches();
    std::vector<std::string> now = m_enumerator.listPorts();
    const bool changed = now != m_ports;
    m_ports = std::move(now);
    return changed;
}

void PortWatcher::drainUdev() {
    if (m_monitor == nullptr) {
        return;
    }
    while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
        udev_device_unref(device);
    }
}

// The events only say that something happened; the list is read afresh anyway. A watch that
// ended (the folder was removed) is noticed here so that it is set again once it returns.
void PortWatcher::drainInotify() {
    if (m_inotify < 0) {
        return;
    }
    alignas(inotify_event) char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(m_inotify, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->wd == m_folderWatch && (event->mask & IN_IGNORED) != 0) {
                m_folderWatch = -1;
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

// The simulator folder is made by the first simulator that runs; until then its parent is
// watched for it to appear.
void PortWatcher::updateFolderWatches() {
    if (m_inotify < 0) {
        return;
    }
    const std::string& folder = m_enumerator.simulatorFolder();
    if (m_folderWatch < 0) {
        // The parent first: a folder made in between is then not missed.
        if (m_parentWatch < 0) {
            const std::string parent = fs::path(folder).parent_path().string();
            m_parentWatch = ::inotify_add_watch(m_inotify, parent.c_str(), IN_CREATE | IN_MOVED_TO);
        }
        if (folderExists(folder)) {
            m_folderWatch = ::inotify_add_watch(m_inotify, folder.c_str(), kFolderEvents);
        }
    }
    if (m_folderWatch >= 0 && m_parentWatch >= 0) {
        ::inotify_rm_watch(m_inotify, m_parentWatch);
        m_parentWatch = -1;
    }
}

} // namespace oryx::platform
