#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

class QComboBox;

// What a user does with a dialog's port box, and waits on it.
class PortBoxUserC {
public:
    // Replaces the box's text by typing text.
    static void Type(QComboBox& box, const QString& text);
    // Runs the event loop, as a user's session does, until the box lists the port or not
    // (listed); false at the limit.
    static bool ListsWithin(const QComboBox& box, const std::string& port, bool listed,
                            std::chrono::milliseconds limit);

    // True when the box shows text as its own, with no entry of that text.
    static bool ShowsUnlisted(const QComboBox& box, const QString& text);

    // Types a network port that nothing serves into box, makes a port appear with plugIn
    // (which returns its text) and waits until the box lists it. Returns what went wrong:
    // empty when the box kept the typed text and nothing tried to open it.
    static std::string TypeAndRefresh(QComboBox& box, const std::function<std::string()>& plugIn,
                                      QString& typed);

    struct FailingPortS {
        std::string port;
        const char* why; // words of the reason the user is given
    };
    // Network port texts that do not open: a refused connection, a text without a TCP port.
    static std::vector<FailingPortS> FailingNetworkPorts();
};
