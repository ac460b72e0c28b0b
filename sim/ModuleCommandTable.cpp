#include "sim/ModuleCommandTable.h"

#include <algorithm>
#include <cctype>

namespace oryx::sim {
namespace {

using Kind = ModuleCommandTable::Kind;
using Field = ModuleCommandTable::Field;
using Handling = ModuleCommandTable::Handling;
using Trailer = ModuleCommandTable::Trailer;
using Entry = ModuleCommandTable::Entry;
using S = ModuleSettings;

constexpr long kMaxClassOfDevice = 0xFFFFFF;
constexpr std::size_t kAddressDigits = 12;
constexpr std::size_t kMaxDigits = 10;
constexpr long kNameLength = 32;
constexpr long kPinLength = 16;
constexpr long kSsidLength = 32;
constexpr long kLastPeerIndex = 6;

Field numberSetting(long S::*target, long min, long max) {
    return {{Kind::Number, min, max}, target};
}

Field textSetting(std::string S::*target, long minLength, long maxLength) {
    return {{Kind::Text, minLength, maxLength}, target};
}

Field fixed(long value) {
    return {{Kind::Number, value, value}, value};
}

Field numberParam(long min, long max) {
    return {{Kind::Number, min, max}, 0L};
}

Field byteParam() {
    return numberParam(0, 255);
}

Field flagParam() {
    return numberParam(0, 1);
}

Field addressParam() {
    return {{Kind::Address, 0, 0}, 0L};
}

Field textParam(long maxLength) {
    return {{Kind::Text, 1, maxLength}, 0L};
}

Entry setting(std::string_view word, std::vector<Field> fields,
              Trailer trailer = Trailer::Persistent) {
    return {word, Handling::Setting, std::move(fields), trailer, true, true, false};
}

Entry command(std::string_view word, Handling handling, std::vector<Field> fields) {
    return {word, handling, std::move(fields), Trailer::None, false, true, false};
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

ModuleCommandTable::ModuleCommandTable() {
    m_entries = {
        setting("AGLN", {textSetting(&S::name, 1, kNameLength)}),
        setting("ADWSN", {numberSetting(&S::serviceProfile, 0, 255),
                          textSetting(&S::serviceName, 1, kNameLength)}),
        setting("AGLC", {numberSetting(&S::classOfDevice, 0, kMaxClassOfDevice)}),
        setting("AGCM", {numberSetting(&S::connectability, 1, 2)}),
        setting("AGDM", {numberSetting(&S::discoverability, 1, 3)}),
        setting("ADWM", {numberSetting(&S::multidrop, 0, 1), fixed(0)}),
        setting("ADDCP", {numberSetting(&S::clientProfile, 0, 255)}),
        setting("ADDSP", {numberSetting(&S::serverProfile, 0, 255)}),
        setting("ADNRP", {numberSetting(&S::remotePeers, 0, kLastPeerIndex + 1)}),
        setting("AMWFM", {fixed(1), numberSetting(&S::featureMask, 0, 255)}),
        setting("AMDS",
                {numberSetting(&S::dtrSetting, 0, 255), numberSetting(&S::dsrSetting, 0, 255)}),
        setting("AMPM", {numberSetting(&S::powerSave, 0, 255)}),
        setting("AGSM", {numberSetting(&S::security, 0, 255)}),
        setting("AGFP", {textSetting(&S::pin, 1, kPinLength)}),
        setting("AGSSID", {textSetting(&S::ssid, 0, kSsidLength)}),
        setting("AMRS",
                {numberSetting(&S::baudCode, 4, 12), numberSetting(&S::dataBitsCode, 1, 4),
                 numberSetting(&S::stopBitsCode, 1, 2), numberSetting(&S::parityCode, 1, 3),
                 numberSetting(&S::flowCode, 1, 2)},
                Trailer::ApplyNowPersistent),
        {"AILBA", Handling::Identity, {}, Trailer::None, true, false, false},
        {"AILVI", Handling::Identity, {}, Trailer::None, true, false, false},
        {"ADDM", Handling::DataMode, {}, Trailer::None, false, false, true},
        // Inquiry type, inquiry length, most devices to list.
        command("AGI", Handling::Inquiry,
                {numberParam(1, 3), numberParam(1, 48), numberParam(1, 255)}),
        command("AGND", Handling::NameQuery, {addressParam()}),
        // Index, address, peer code, peer flag, name, persistent.
        command("ADWDRP", Handling::WriteRemotePeer,
                {numberParam(0, kLastPeerIndex), addressParam(), byteParam(), flagParam(),
                 textParam(kNameLength), flagParam()}),
        command("ADRDRP", Handling::ReadRemotePeer, {numberParam(0, kLastPeerIndex)}),
        // Six action flags; the fifth restarts the module.
        command("AMWS", Handling::WriteSettings,
                {flagParam(), flagParam(), flagParam(), flagParam(), flagParam(), flagParam()}),
        // Pin, level.
        command("AMWIO", Handling::WriteIoPin, {byteParam(), flagParam()}),
    };
}

const ModuleCommandTable& ModuleCommandTable::instance() {
    static const ModuleCommandTable table;
    return table;
}

const ModuleCommandTable::Entry* ModuleCommandTable::find(std::string_view word) const {
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [word](const Entry& entry) { return entry.word == word; });
    return found == m_entries.end() ? nullptr : &*found;
}

std::size_t ModuleCommandTable::trailerCount(Trailer trailer) {
    switch (trailer) {
    case Trailer::Persistent:
        return 1;
    case Trailer::ApplyNowPersistent:
        return 2;
    case Trailer::None:
        break;
    }
    return 0;
}

bool ModuleCommandTable::accepts(const Entry& entry, const std::vector<ModuleParam>& params) {
    if (params.size() != entry.fields.size() + trailerCount(entry.trailer)) {
        return false;
    }
    for (std::size_t i = 0; i < params.size(); ++i) {
        const Rule rule = i < entry.fields.size() ? entry.fields[i].rule : flagParam().rule;
        if (!accepts(rule, params[i])) {
            return false;
        }
    }
    return true;
}

bool ModuleCommandTable::accepts(const Rule& rule, const ModuleParam& param) {
    const std::string& text = param.text;
    switch (rule.kind) {
    case Kind::Text:
        return param.quoted && static_cast<long>(text.size()) >= rule.min &&
               static_cast<long>(text.size()) <= rule.max;
    case Kind::Address:
        return !param.quoted && text.size() == kAddressDigits &&
               std::all_of(text.begin(), text.end(),
                           [](unsigned char c) { return std::isxdigit(c) != 0; });
    case Kind::Number:
        break;
    }
    const std::size_t first = text.starts_with('-') ? 1 : 0;
    const std::size_t digits = text.size() - first;
    if (param.quoted || digits == 0 || digits > kMaxDigits ||
        !std::all_of(text.begin() + static_cast<std::ptrdiff_t>(first), text.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return false;
    }
    const long value = number(param);
    return value >= rule.min && value <= rule.max;
}

long ModuleCommandTable::number(const ModuleParam& param) {
    return std::stol(param.text);
}

std::string ModuleCommandTable::queryAnswer(const Entry& entry, const ModuleSettings& settings) {
    if (entry.word == "AILBA") {
        return settings.address;
    }
    std::string answer;
    if (entry.word == "AILVI") {
        for (const std::string& version : settings.versions) {
            answer += (answer.empty() ? "" : ",") + quoted(version);
        }
        return answer;
    }
    for (const Field& field : entry.fields) {
        if (!answer.empty()) {
            answer += ",";
        }
        if (const auto* numberField = std::get_if<long S::*>(&field.target)) {
            answer += std::to_string(settings.**numberField);
        } else if (const auto* textField = std::get_if<std::string S::*>(&field.target)) {
            answer += quoted(settings.**textField);
        } else {
            answer += std::to_string(std::get<long>(field.target));
        }
    }
    return answer;
}

bool ModuleCommandTable::applySetting(const Entry& entry, const std::vector<ModuleParam>& params,
                                      ModuleSettings& current, ModuleSettings& stored) {
    const bool persistent = number(params.back()) == 1;
    for (std::size_t i = 0; i < entry.fields.size(); ++i) {
        const Target& target = entry.fields[i].target;
        if (const auto* numberField = std::get_if<long S::*>(&target)) {
            current.** numberField = number(params[i]);
            if (persistent) {
                stored.** numberField = current.**numberField;
            }
        } else if (const auto* textField = std::get_if<std::string S::*>(&target)) {
            current.** textField = params[i].text;
            if (persistent) {
                stored.** textField = current.**textField;
            }
        }
    }
    return entry.trailer == Trailer::ApplyNowPersistent && number(params[params.size() - 2]) == 1;
}

} // namespace oryx::sim
