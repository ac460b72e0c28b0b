#include "IsolatedSettingsC.h"

#include "EventLogReaderC.h"

#include <QSettings>

namespace {

QSettings Store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QStringLiteral("Altorvia Instruments"), QStringLiteral("ORYX Config Tool"));
}

} // namespace

IsolatedSettingsC::IsolatedSettingsC() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(dir_.file("config")));
}

QVariant IsolatedSettingsC::raw(const QString& name) const {
    return Store().value(name);
}

void IsolatedSettingsC::setRaw(const QString& name, const QVariant& value) {
    Store().setValue(name, value);
}

bool IsolatedSettingsC::contains(const QString& name) const {
    return Store().contains(name);
}

std::string IsolatedSettingsC::eventLog() const {
    return ScratchDirC::ReadFile(dir_.file("ORYX_Log.txt"));
}

std::vector<std::string> IsolatedSettingsC::eventLogTexts() const {
    return EventLogReaderC::Texts(dir_.file("ORYX_Log.txt"));
}
