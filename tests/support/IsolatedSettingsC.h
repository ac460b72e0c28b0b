#pragma once

#include "ScratchDirC.h"

#include <QString>
#include <QVariant>

// A scratch folder that is both the current folder (event log) and the home of the
// per-user settings for the lifetime of the object.
class IsolatedSettingsC {
public:
    IsolatedSettingsC();

    // Raw access to the stored values, bypassing the code under test.
    QVariant raw(const QString& name) const;
    void setRaw(const QString& name, const QVariant& value);
    bool contains(const QString& name) const;

    std::string eventLog() const;
    // The event log's lines without their time stamps, blank and separator lines included.
    std::vector<std::string> eventLogTexts() const;

    const ScratchDirC& dir() const { return dir_; }

private:
    ScratchDirC dir_;
};
