#pragma once

#include "Fwk_Uti/FWK_UTI_SerializableI.h"

#include <cstdint>
#include <string>

namespace FWK::TIM {

// The computer's time zone, identified by its Windows time-zone key name (the names other
// installations of the framework exchange), and archivable.
class TimeZoneC : public UTI::SerializableI {
public:
    static constexpr int KEY_COUNT = 101;
    static constexpr int KEY_LEN = 35;  // wide characters per key name, terminator included
    static constexpr int NAME_LEN = 64; // wide characters per zone name, terminator included
    static constexpr int32_t RESULT_FAILED = 0x0200001A;

    TimeZoneC();

    // The zone of this computer, looked up once.
    static const TimeZoneC& current();

    // Position of a key name in the table (exact, case-sensitive), or -1.
    static int indexOf(const char16_t* pszKeyName);
    // The key name at a position, or null outside the table.
    static const char16_t* keyName(int iIndex);
    // Windows key name of an IANA zone ("Europe/Berlin" -> "W. Europe Standard Time").
    static int32_t windowsKeyNameOf(const char16_t* pszIanaId, std::u16string& rKeyName);
    // Windows key name of the system zone.
    static int32_t currentKeyName(std::u16string& rKeyName);

    // Sets this object to the system zone; RESULT_FAILED (index -1) when it has no key name.
    int32_t loadCurrent();

    int32_t writeTo(UTI::ArchiveC& rArchive) const override;
    int32_t readFrom(UTI::ArchiveC& rArchive) override;

    int index() const { return m_cIndex; }
    const char16_t* standardName() const { return m_szStandardName; }
    const char16_t* daylightName() const { return m_szDaylightName; }

private:
    void setNames(const std::u16string& rKeyName);

    int8_t m_cIndex = -1;
    char16_t m_szStandardName[NAME_LEN] = {};
    char16_t m_szDaylightName[NAME_LEN] = {};
};

} // namespace FWK::TIM
