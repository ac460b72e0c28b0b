#pragma once

#include "Fwk_Hal/FWK_HAL_PathMapI.h"

#include <string>

namespace FWK::HAL {

// The process-wide access to the current path map and the folders built from it.
class PathMapC {
public:
    // The registered path map, else the process's PathMapCommonWinPC.
    static PathMapI* getPathMapperInternal();
    // A host's own path map (not owned); null returns to the default.
    static void setPathMapper(PathMapI* pPathMap);

    static std::string getRootPath();
    // The root, the device's folder (the default name when the device has none), then "/".
    static std::string getDevicePath(int32_t lDevice, const char* pszDefaultName);
    // Where log files and the debug configuration live: the SD card folder.
    static std::string getDebugPath();
    static std::string getLocalMemoryPath();
    // Where the error log lives.
    static std::string getSystemPath();
    static std::string getDebugConfigFile();
    static int32_t createDirectories(const char* pszPath);
};

} // namespace FWK::HAL
