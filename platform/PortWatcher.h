#pragma once

#include "platform/PortEnumerator.h"

#include <string>
#include <vector>

struct udev;
struct udev_monitor;

namespace oryx::platform {

// Notices ports coming and going without polling: udev's tty events for adapters, the
// simulator folder for simulators' links, and /dev/pts for simulators that end without
// removing theirs. One descriptor to wait on; draining it tells whether the list changed.
class PortWatcher {
public:
    // The machine's ports, with udev's events.
    PortWatcher();
    // For tests: the port list of enumerator; udev's events only when watchUdev.
    PortWatcher(PortEnumerator enumerator, bool watchUdev);
    ~PortWatcher();
    PortWatcher(const PortWatcher&) = delete;
    PortWatcher& operator=(const PortWatcher&) = delete;

    // Readable while events wait to be drained.
    int fd() const { return m_epoll; }
    // Reads every waiting event without blocking; true when the port list now differs from
    // the one before.
    bool drainEvents();
    const std::vector<std::string>& ports() const { return m_ports; }

private:
    void startUdevMonitor();
    void drainUdev();
    void drainInotify();
    void updateFolderWatches();
    void addToEpoll(int fd);

    PortEnumerator m_enumerator;
    struct udev* m_udev = nullptr;
    struct udev_monitor* m_monitor = nullptr;
    int m_inotify = -1;
    int m_epoll = -1;
    int m_folderWatch = -1;
    int m_parentWatch = -1;
    std::vector<std::string> m_ports;
};

} // namespace oryx::platform
