#pragma once

#include "Fwk_Hal/FWK_HAL_PathMapI.h"

#include <boost/noncopyable.hpp>

namespace FWK::HAL {

// The desktop path map. Its root stands for the device's local memory and lies in the user's
// data folder: $XDG_DATA_HOME (default ~/.local/share) followed by "Kalder 700/RCL/".
class PathMapCommonWinPC : public PathMapI, private boost::noncopyable {
public:
    PathMapCommonWinPC();

    bool isDevicePresent(int32_t lDevice) override;
    void setRoot(const char* pszRoot) override;
    std::string getRoot() override { return m_strRoot; }
    int32_t getDeviceFolder(int32_t lDevice, std::string& rFolder) override;
    std::string getLocalMemoryPath() override;
    int32_t createDirectories(const char* pszPath) override;
    int32_t splitDrive(const char* pszFullPath, std::string& rDrive) override;
    int32_t removeDirectory(const char16_t* pszPath) override;
    int32_t removeDirectory(const char* pszPath) override;
    int32_t makeWritable(const char16_t* pszPath) override;
    int32_t makeWritable(const char* pszPath) override;
    int32_t findFirst(const char16_t* pszPattern, FindHandleT& rHandle,
                      FindEntryS& rEntry) override;
    int32_t findFirst(const char* pszPattern, FindHandleT& rHandle, FindEntryS& rEntry) override;
    int32_t findNext(FindHandleT hHandle, FindEntryS& rEntry) override;
    void findClose(FindHandleT hHandle) override;
    uint64_t diskTotalBytes(const char* pszPath) override;
    uint64_t diskFreeBytes(const char* pszPath) override;

    static std::string defaultRoot();
    // The root for the given $XDG_DATA_HOME, $HOME and home folder of the user's account; only
    // absolute paths count.
    static std::string rootFor(const char* pszDataHome, const char* pszHome,
                               const char* pszUserHome);

private:
    std::string m_strRoot;
};

} // namespace FWK::HAL
