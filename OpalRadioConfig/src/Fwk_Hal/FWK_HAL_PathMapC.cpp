#include "Fwk_Hal/FWK_HAL_PathMapC.h"

#include "Fwk_Err/FWK_ERR_Report.h"
#include "Fwk_Hal/FWK_HAL_PathMapCommonWinPC.h"

#include <atomic>

namespace FWK::HAL {

namespace {

constinit std::atomic<PathMapI*> g_pRegisteredPathMap{nullptr};

PathMapI* defaultPathMap() {
    static PathMapCommonWinPC s_pathMap;
    return &s_pathMap;
}

} // namespace

PathMapI* PathMapC::getPathMapperInternal() {
    PathMapI* pPathMap = g_pRegisteredPathMap.load();
    return pPathMap != nullptr ? pPathMap : defaultPathMap();
}

void PathMapC::setPathMapper(PathMapI* pPathMap) {
    g_pRegisteredPathMap.store(pPathMap);
}

std::string PathMapC::getRootPath() {
    return getPathMapperInternal()->getRoot();
}

std::string PathMapC::getDevicePath(int32_t lDevice, const char* pszDefaultName) {
    PathMapI* pPathMap = getPathMapperInternal();
    std::string strFolder;
    if (pPathMap->getDeviceFolder(lDevice, strFolder) != PATH_OK) {
        strFolder = pszDefaultName != nullptr ? pszDefaultName : "";
    }
    return pPathMap->getRoot() + strFolder + (strFolder.empty() ? "" : "/");
}

std::string PathMapC::getDebugPath() {
    return getDevicePath(DEVICE_SD_CARD, "SD Card");
}

std::string PathMapC::getLocalMemoryPath() {
    PathMapI* pPathMap = getPathMapperInternal();
    if (pPathMap == nullptr) {
        ERR::assertReport("!\"PathMapC::getLocalMemoryPath: getPathMapperInternal() failed\"", 0, 0,
                          "Fwk_Hal\\FWK_HAL_PathMap", 0);
        return {};
    }
    return pPathMap->getLocalMemoryPath();
}

std::string PathMapC::getSystemPath() {
    return getLocalMemoryPath() + "System/";
}

std::string PathMapC::getDebugConfigFile() {
    return (getDebugPath() + "Dbg/debug.def").substr(0, MAX_PATH_LEN);
}

int32_t PathMapC::createDirectories(const char* pszPath) {
    return getPathMapperInternal()->createDirectories(pszPath);
}

} // namespace FWK::HAL
