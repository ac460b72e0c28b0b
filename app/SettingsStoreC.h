#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The per-user store of the program's few settings. This class is the only place that
// knows the value names, their types and their defaults.
class SettingsStoreC {
public:
    static constexpr const char* kOrganisation = "Altorvia Instruments";
    static constexpr const char* kApplication = "ORYX Config Tool";
    static constexpr const char* kDefaultPort = "1";
    static constexpr const char* kDefaultBaudrate = "115200";

    // The stored family, when present and readable as a 32-bit number.
    std::optional<int32_t> radioSelection() const;
    void setRadioSelection(int32_t radioType);

    // "Port" and "Baudrate" with their defaults for absent, empty or unreadable values.
    QString port() const;
    QString baudrate() const;
    void setPortSettings(const QString& port, const QString& baudrate);
    void setFlowCtrl(const QString& flowCtrl);

private:
    QString textOrDefault(const char* name, const char* fallback) const;
};
