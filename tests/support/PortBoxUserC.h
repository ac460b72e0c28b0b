#pragma once

#include <QString>
#include <chrono>
#include <string>

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
};
