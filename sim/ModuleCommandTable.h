#pragma once

#include "sim/ModuleCommand.h"
#include "sim/ModuleSettings.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace oryx::sim {

// The radio module's own table of AT* words: which forms each takes, the parameters of its
// set form with their checks, and the settings its query answers with.
class ModuleCommandTable {
public:
    enum class Kind { Number, Text, Address };

    // Number: a decimal value from min to max, unquoted. Text: quoted, min to max
    // characters. Address: 12 hexadecimal digits, unquoted.
    struct Rule {
        Kind kind;
        long min = 0;
        long max = 0;
    };

    // Where a parameter lands: a number setting, a text setting, or a fixed value that the
    // command must carry and that is not stored.
    using Target = std::variant<long ModuleSettings::*, std::string ModuleSettings::*, long>;

    struct Field {
        Rule rule;
        Target target;
    };

    enum class Handling {
        Setting,
        Identity,
        DataMode,
        Inquiry,
        NameQuery,
        WriteRemotePeer,
        ReadRemotePeer,
        WriteSettings,
        WriteIoPin
    };

    // Set parameters that follow the fields and steer how a setting is taken.
    enum class Trailer { None, Persistent, ApplyNowPersistent };

    struct Entry {
        std::string_view word;
        Handling handling;
        std::vector<Field> fields;
        Trailer trailer = Trailer::None;
        bool query = false;
        bool set = false;
        bool action = false;
    };

    static const ModuleCommandTable& instance();

    const Entry* find(std::string_view word) const;
    // Whether the parameters match the entry's fields and trailer in count, kind and range.
    static bool accepts(const Entry& entry, const std::vector<ModuleParam>& params);
    // The parameter block a query answers with (what follows "*WORD:").
    static std::string queryAnswer(const Entry& entry, const ModuleSettings& settings);
    // Takes accepted set parameters into the settings in effect and, when the persistent
    // flag is 1, into the stored ones. Returns whether the apply-now flag was set.
    static bool applySetting(const Entry& entry, const std::vector<ModuleParam>& params,
                             ModuleSettings& current, ModuleSettings& stored);
    // The value of an accepted number parameter.
    static long number(const ModuleParam& param);

private:
    ModuleCommandTable();

    static bool accepts(const Rule& rule, const ModuleParam& param);
    static std::size_t trailerCount(Trailer trailer);

    std::vector<Entry> m_entries;
};

} // namespace oryx::sim
