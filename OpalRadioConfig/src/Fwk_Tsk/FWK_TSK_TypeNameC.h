#pragma once

#include <string>
#include <typeinfo>

namespace FWK::TSK {

// Readable run-time type names for log lines and archive groups.
class TypeNameC {
public:
    // "FWK::DBG::DbgLogMgrC"
    static std::string of(const std::type_info& rType);
    // The name without namespace qualifiers: "DbgLogMgrC"
    static std::string unqualified(const std::type_info& rType);

    template <typename T> static std::string of(const T& rObject) { return of(typeid(rObject)); }
};

} // namespace FWK::TSK
