#include "Fwk_Uti/FWK_TIM_TimeZoneC.h"

#include "Fwk_Err/FWK_ERR_OverflowExceptionC.h"
#include "Fwk_Tsk/FWK_TSK_TypeNameC.h"
#include "Fwk_Uti/FWK_UTI_ArchiveC.h"

#include <algorithm>
#include <string_view>
#include <unicode/ucal.h>

namespace FWK::TIM {

namespace {
constexpr int64_t MAIN_VERSION = 1;
constexpr int64_t SUB_VERSION = 0;

// The order is part of the archive format: archives store the position, not the name.
constexpr char16_t KEY_NAMES[TimeZoneC::KEY_COUNT][TimeZoneC::KEY_LEN] = {
    u"Dateline Standard Time",
    u"Samoa Standard Time",
    u"UTC-11",
    u"Hawaiian Standard Time",
    u"Alaskan Standard Time",
    u"Pacific Standard Time",
    u"Pacific Standard Time (Mexico)",
    u"Mexico Standard Time 2",
    u"Mountain Standard Time",
    u"Mountain Standard Time (Mexico)",
    u"US Mountain Standard Time",
    u"Canada Central Standard Time",
    u"Central America Standard Time",
    u"Central Standard Time",
    u"Central Standard Time (Mexico)",
    u"Mexico Standard Time",
    u"Eastern Standard Time",
    u"SA Pacific Standard Time",
    u"US Eastern Standard Time",
    u"Venezuela Standard Time",
    u"Atlantic Standard Time",
    u"Central Brazilian Standard Time",
    u"Paraguay Standard Time",
    u"Pacific SA Standard Time",
    u"SA Western Standard Time",
    u"Newfoundland Standard Time",
    u"Argentina Standard Time",
    u"E. South America Standard Time",
    u"Greenland Standard Time",
    u"Montevideo Standard Time",
    u"SA Eastern Standard Time",
    u"Mid-Atlantic Standard Time",
    u"UTC-2",
    u"Azores Standard Time",
    u"Cape Verde Standard Time",
    u"UTC",
    u"GMT Standard Time",
    u"Greenwich Standard Time",
    u"Morocco Standard Time",
    u"Central Europe Standard Time",
    u"Central European Standard Time",
    u"Romance Standard Time",
    u"W. Central Africa Standard Time",
    u"W. Europe Standard Time",
    u"E. Europe Standard Time",
    u"Egypt Standard Time",
    u"FLE Standard Time",
    u"GTB Standard Time",
    u"Syria Standard Time",
    u"Israel Standard Time",
    u"Jordan Standard Time",
    u"Middle East Standard Time",
    u"Namibia Standard Time",
    u"South Africa Standard Time",
    u"Arab Standard Time",
    u"Arabic Standard Time",
    u"E. Africa Standard Time",
    u"Georgian Standard Time",
    u"Russian Standard Time",
    u"Iran Standard Time",
    u"Arabian Standard Time",
    u"Armenian Standard Time",
    u"Azerbaijan Standard Time",
    u"Caucasus Standard Time",
    u"Mauritius Standard Time",
    u"Afghanistan Standard Time",
    u"Ekaterinburg Standard Time",
    u"Pakistan Standard Time",
    u"West Asia Standard Time",
    u"India Standard Time",
    u"Sri Lanka Standard Time",
    u"Nepal Standard Time",
    u"Central Asia Standard Time",
    u"N. Central Asia Standard Time",
    u"Bangladesh Standard Time",
    u"Myanmar Standard Time",
    u"North Asia Standard Time",
    u"SE Asia Standard Time",
    u"China Standard Time",
    u"North Asia East Standard Time",
    u"Singapore Standard Time",
    u"Taipei Standard Time",
    u"W. Australia Standard Time",
    u"Ulaanbaatar Standard Time",
    u"Korea Standard Time",
    u"Tokyo Standard Time",
    u"Yakutsk Standard Time",
    u"AUS Central Standard Time",
    u"Cen. Australia Standard Time",
    u"AUS Eastern Standard Time",
    u"E. Australia Standard Time",
    u"Tasmania Standard Time",
    u"Vladivostok Standard Time",
    u"West Pacific Standard Time",
    u"Central Pacific Standard Time",
    u"Magadan Standard Time",
    u"UTC+12",
    u"Fiji Standard Time",
    u"New Zealand Standard Time",
    u"Kamchatka Standard Time",
    u"Tonga Standard Time",
};

void copyName(char16_t* pszDest, std::u16string_view name) {
    const size_t unCopied = std::min(name.size(), static_cast<size_t>(TimeZoneC::NAME_LEN - 1));
    std::copy_n(name.data(), unCopied, pszDest);
    std::fill(pszDest + unCopied, pszDest + TimeZoneC::NAME_LEN, u'\0');
}
} // namespace

TimeZoneC::TimeZoneC() = default;

const TimeZoneC& TimeZoneC::current() {
    static const TimeZoneC s_current = [] {
        TimeZoneC zone;
        zone.loadCurrent();
        return zone;
    }();
    return s_current;
}

int TimeZoneC::indexOf(const char16_t* pszKeyName) {
    if (pszKeyName == nullptr) {
        return -1;
    }
    for (int i = 0; i < KEY_COUNT; ++i) {
        if (std::u16string_view(KEY_NAMES[i]) == pszKeyName) {
            return i;
        }
    }
    return -1;
}

const char16_t* TimeZoneC::keyName(int iIndex) {
    return (iIndex >= 0 && iIndex < KEY_COUNT) ? KEY_NAMES[iIndex] : nullptr;
}

int32_t TimeZoneC::windowsKeyNameOf(const char16_t* pszIanaId, std::u16string& rKeyName) {
    UChar szKey[128] = {};
    UErrorCode error = U_ZERO_ERROR;
    const int32_t lLength = ucal_getWindowsTimeZoneID(pszIanaId, -1, szKey, 128, &error);
    if (U_FAILURE(error) || lLength <= 0 || lLength >= 128) {
        return RESULT_FAILED;
    }
    rKeyName.assign(szKey, static_cast<size_t>(lLength));
    return 0;
}

int32_t TimeZoneC::currentKeyName(std::u16string& rKeyName) {
    UChar szZone[128] = {};
    UErrorCode error = U_ZERO_ERROR;
    const int32_t lLength = ucal_getDefaultTimeZone(szZone, 128, &error);
    if (U_FAILURE(error) || lLength <= 0 || lLength >= 128) {
        return RESULT_FAILED;
    }
    return windowsKeyNameOf(szZone, rKeyName);
}

void TimeZoneC::setNames(const std::u16string& rKeyName) {
    copyName(m_szStandardName, rKeyName);
    std::u16string daylight = rKeyName;
    const size_t unPos = daylight.find(u"Standard Time");
    if (unPos != std::u16string::npos) {
        daylight.replace(unPos, 8, u"Daylight");
    }
    copyName(m_szDaylightName, daylight);
}

int32_t TimeZoneC::loadCurrent() {
    std::u16string keyName;
    const int32_t lResult = currentKeyName(keyName);
    m_cIndex = static_cast<int8_t>(lResult == 0 ? indexOf(keyName.c_str()) : -1);
    setNames(keyName);
    return lResult;
}

int32_t TimeZoneC::writeTo(UTI::ArchiveC& rArchive) const {
    try {
        rArchive.beginGroup(TSK::TypeNameC::unqualified(typeid(*this)));
        rArchive.writeNumber("MainVersion", MAIN_VERSION);
        rArchive.writeNumber("SubVersion", SUB_VERSION);
        rArchive.writeNumber("TimeZone", m_cIndex);
        rArchive.writeText("StandardName", m_szStandardName, NAME_LEN);
        rArchive.writeText("DaylightName", m_szDaylightName, NAME_LEN);
        rArchive.endGroup();
    } catch (const ERR::OverflowExceptionC&) {
        return RESULT_FAILED;
    }
    return 0;
}

int32_t TimeZoneC::readFrom(UTI::ArchiveC& rArchive) {
    try {
        rArchive.readGroup(TSK::TypeNameC::unqualified(typeid(*this)));
        if (rArchive.readNumber("MainVersion") != MAIN_VERSION ||
            rArchive.readNumber("SubVersion") != SUB_VERSION) {
            return RESULT_FAILED;
        }
        // Read into a copy so that a short archive leaves this object as it was.
        TimeZoneC read;
        const int64_t llIndex = rArchive.readNumber("TimeZone");
        read.m_cIndex = static_cast<int8_t>(llIndex >= 0 && llIndex < KEY_COUNT ? llIndex : -1);
        rArchive.readText("StandardName", read.m_szStandardName, NAME_LEN);
        rArchive.readText("DaylightName", read.m_szDaylightName, NAME_LEN);
        rArchive.readGroupEnd();
        *this = read;
    } catch (const ERR::OverflowExceptionC&) {
        return RESULT_FAILED;
    }
    return 0;
}

} // namespace FWK::TIM
