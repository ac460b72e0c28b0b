#pragma once

#include "Fwk_Dbg/FWK_DBG_DbgConfigI.h"

#include <boost/noncopyable.hpp>

#include <vector>

namespace FWK::DBG {

// Passes debug requests and keys to the handlers that modules register (not owned), in the
// order of registration. The library itself registers none.
class DbgConfiguratorRegistryC : public DbgConfigI, private boost::noncopyable {
public:
    // The process's registry, or null before the first setupLogger.
    static DbgConfiguratorRegistryC* instance();
    static DbgConfiguratorRegistryC& createInstance();

    void addHandler(DbgConfigI* pHandler);
    void removeHandler(DbgConfigI* pHandler);

    bool handle(int32_t lRequest, int32_t lArgument) override;
    void notify(int32_t lArgument) override;
    bool configure(const UTI::StringC& rKey, const UTI::StringC& rValue,
                   UTI::StringC& rOutput) override;

    DbgConfiguratorRegistryC() = default;
    ~DbgConfiguratorRegistryC() override;

private:
    std::vector<DbgConfigI*> m_handlers;
};

} // namespace FWK::DBG
