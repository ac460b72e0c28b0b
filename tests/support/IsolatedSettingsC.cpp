#include "IsolatedSettingsC.h"

#include <QSettings>
#include <regex>

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

QVariant IsolatedSettingsC::raw(const QString& name) const { return Store().value(name); }

void IsolatedSettingsC::setRaw(const QString& name, const QVariant& value) {
    Store().setValue(name, value);
}

bool IsolatedSettingsC::contains(const QString& name) const { return Store().contains(name); }

std::string IsolatedSettingsC::eventLog() const {
    return ScratchDirC::ReadFile(dir_.file("ORYX_Log.txt"));
}

std::vector<std::string> IsolatedSettingsC::eventLogTexts() const {
    static const std::regex stamp(R"(^\d\d/\d\d/\d+ \d+:\d\d:\d\d: )");
    std::vector<std::string> lines;
    std::string text = eventLog();
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(std::regex_replace(text.substr(start, end - start), stamp, ""));
    }
    return lines;
}
