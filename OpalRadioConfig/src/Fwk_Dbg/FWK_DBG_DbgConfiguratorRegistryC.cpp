#include "Fwk_Dbg/FWK_DBG_DbgConfiguratorRegistryC.h"

#include "Fwk_Uti/FWK_UTI_StringC.h"

#include <algorithm>
#include <atomic>
#include <memory>

namespace FWK::DBG {

namespace {

constinit std::atomic<DbgConfiguratorRegistryC*> g_pRegistry{nullptr};

struct RegistryLifetimeS {
    std::unique_ptr<DbgConfiguratorRegistryC> pRegistry =
        std::make_unique<DbgConfiguratorRegistryC>();
    RegistryLifetimeS() { g_pRegistry.store(pRegistry.get()); }
};

} // namespace

DbgConfiguratorRegistryC* DbgConfiguratorRegistryC::instance() {
    return g_pRegistry.load();
}

DbgConfiguratorRegistryC& DbgConfiguratorRegistryC::createInstance() {
    static RegistryLifetimeS s_lifetime;
    return *s_lifetime.pRegistry;
}

DbgConfiguratorRegistryC::~DbgConfiguratorRegistryC() {
    DbgConfiguratorRegistryC* pThis = this;
    g_pRegistry.compare_exchange_strong(pThis, nullptr);
}

void DbgConfiguratorRegistryC::addHandler(DbgConfigI* pHandler) {
    if (pHandler != nullptr) {
        m_handlers.push_back(pHandler);
    }
}

void DbgConfiguratorRegistryC::removeHandler(DbgConfigI* pHandler) {
    std::erase(m_handlers, pHandler);
}

bool DbgConfiguratorRegistryC::handle(int32_t lRequest, int32_t lArgument) {
    return std::any_of(m_handlers.begin(), m_handlers.end(),
                       [&](DbgConfigI* pHandler) { return pHandler->handle(lRequest, lArgument); });
}

void DbgConfiguratorRegistryC::notify(int32_t lArgument) {
    for (DbgConfigI* pHandler : m_handlers) {
        pHandler->notify(lArgument);
    }
}

bool DbgConfiguratorRegistryC::configure(const UTI::StringC& rKey, const UTI::StringC& rValue,
                                         UTI::StringC& rOutput) {
    if (rKey.IsEmpty()) {
        return false;
    }
    for (DbgConfigI* pHandler : m_handlers) {
        if (pHandler->configure(rKey, rValue, rOutput)) {
            rOutput = rKey + u": " + rOutput;
            return true;
        }
    }
    rOutput = UTI::StringC(u"No handler found for debug key [") + rKey + u"]";
    return false;
}

} // namespace FWK::DBG
