#include "app/SettingsStoreC.h"

#include <QSettings>
#include <limits>

namespace {

constexpr const char* kRadioSelection = "RadioSelection";
constexpr const char* kPort = "Port";
constexpr const char* kBaudrate = "Baudrate";
constexpr const char* kFlowCtrl = "FlowCtrl";

// A value is read with a limit of 255 bytes, its terminating zero included: a longer text
// never fitted and was treated as unreadable.
constexpr qsizetype kMaxTextBytes = 254;

QSettings OpenStore() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, SettingsStoreC::kOrganisation,
                     SettingsStoreC::kApplication);
}

} // namespace

std::optional<int32_t> SettingsStoreC::radioSelection() const {
    QSettings store = OpenStore();
    QVariant value = store.value(kRadioSelection);
    if (!value.isValid()) {
        return std::nullopt;
    }
    bool ok = false;
    qlonglong number = value.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<int32_t>::min() ||
        number > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(number);
}

void SettingsStoreC::setRadioSelection(int32_t radioType) {
    QSettings store = OpenStore();
    store.setValue(kRadioSelection, radioType);
}

QString SettingsStoreC::port() const {
    return textOrDefault(kPort, kDefaultPort);
}

QString SettingsStoreC::baudrate() const {
    return textOrDefault(kBaudrate, kDefaultBaudrate);
}

void SettingsStoreC::setPortSettings(const QString& port, const QString& baudrate) {
    QSettings store = OpenStore();
    store.setValue(kPort, port);
    store.setValue(kBaudrate, baudrate);
}

void SettingsStoreC::setFlowCtrl(const QString& flowCtrl) {
    QSettings store = OpenStore();
    store.setValue(kFlowCtrl, flowCtrl);
}

QString SettingsStoreC::textOrDefault(const char* name, const char* fallback) const {
    QSettings store = OpenStore();
    QString text = store.value(name).toString();
    if (text.isEmpty() || text.toLocal8Bit().size() > kMaxTextBytes) {
        return QString::fromLatin1(fallback);
    }
    return text;
}
