#pragma once

namespace FWK::TSK {

class SysComponentC;

// The log lines of the component containers' life steps and additions.
class ComponentLogC {
public:
    static void stepBegin(const char* pszStep, const SysComponentC& rContainer);
    static void stepComponent(const char* pszStep, const SysComponentC& rComponent);
    static void stepEnd(const char* pszStep, const SysComponentC& rContainer);
    static void waitForStopTimeout(long lTimeout, const SysComponentC& rComponent);
    static void componentAdded(const SysComponentC* pComponent);
};

} // namespace FWK::TSK
