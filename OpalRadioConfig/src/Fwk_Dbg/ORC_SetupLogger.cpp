#include "ORC_SetupLogger.h"

#include "Fwk_Dbg/FWK_DBG_DbgConfigParserC.h"
#include "Fwk_Dbg/FWK_DBG_DbgConfiguratorRegistryC.h"

#include <cstdio>

namespace ORC {

namespace {
constexpr long SETUP_FAILED = 0x200001a;
}

long setupLogger(const char* pszFileName) {
    if (pszFileName == nullptr) {
        return SETUP_FAILED;
    }
    FILE* pFile = std::fopen(pszFileName, "r");
    if (pFile == nullptr) {
        return SETUP_FAILED;
    }
    std::fclose(pFile);
    if (FWK::DBG::DbgConfiguratorRegistryC::instance() == nullptr) {
        FWK::DBG::DbgConfiguratorRegistryC::createInstance();
    }
    FWK::DBG::DbgConfigParserC::readFile(pszFileName);
    return 0;
}

} // namespace ORC
