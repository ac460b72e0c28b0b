#include "Fwk_Tsk/FWK_TSK_TypeNameC.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>

namespace FWK::TSK {

std::string TypeNameC::of(const std::type_info& rType) {
    // The demangler is reentrant, so no process-wide lock is needed around it.
    int iStatus = 0;
    std::unique_ptr<char, decltype(&std::free)> pszName(
        abi::__cxa_demangle(rType.name(), nullptr, nullptr, &iStatus), &std::free);
    return (iStatus == 0 && pszName) ? std::string(pszName.get()) : std::string(rType.name());
}

std::string TypeNameC::unqualified(const std::type_info& rType) {
    std::string name = of(rType);
    // Template arguments may carry their own qualifiers; cut only those of the outer name.
    const size_t unEnd = name.find('<');
    const size_t unLastColon = name.rfind("::", unEnd);
    if (unLastColon != std::string::npos) {
        name.erase(0, unLastColon + 2);
    }
    return name;
}

} // namespace FWK::TSK
