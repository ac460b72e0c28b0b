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
    // A folder opens for reading here but reads nothing; a first read tells it from a file.
    std::fgetc(pFile);
    const bool bReadable = std::ferror(pFile) == 0;
    std::fclose(pFile);
    if (!bReadable) {
        return SETUP_FAILED;
    }
    if (FWK::DBG::DbgConfiguratorRegistryC::instance() == nullptr) {
        FWK::DBG::DbgConfiguratorRegistryC::createInstance();
    }
    FWK::DBG::DbgConfigParserC::readFile(pszFileName);
    return 0;
}

} // namespace ORC
