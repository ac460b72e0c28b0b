#include "Fwk_Hal/FWK_HAL_PathMapCommonWinPC.h"

#include "Fwk_Err/FWK_ERR_Report.h"
#include "Fwk_Uti/FWK_UTI_UnicodeStringTools.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fnmatch.h>
#include <memory>
#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace FWK::HAL {

struct FindStateS {
    DIR* pDir = nullptr;
    std::string strFolder;    // with trailing "/"
    std::string strPattern;   // last component, as an fnmatch pattern
    std::string strExtension; // the pattern's three-letter extension when filtering
    bool bFilter = false;
};

namespace {

const char* deviceFolderName(int32_t lDevice) {
    switch (lDevice) {
    case DEVICE_LOCAL_MEMORY:
        return "Altorvia Instruments";
    case DEVICE_CF_CARD:
        return "CF Card";
    case DEVICE_RAM_DISK:
        return "RAM Disk";
    case DEVICE_SD_CARD:
        return "SD Card";
    case DEVICE_USB_MEMORY:
        return "USB Memory Device";
    case DEVICE_VOLATILE_MEMORY:
        return "Temp";
    case DEVICE_ALWAYS_PRESENT:
        return "";
    default:
        return nullptr;
    }
}

bool isFolder(const std::string& strPath) {
    struct stat info {};
    return stat(strPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string withTrailingSeparator(std::string strPath) {
    if (strPath.empty() || strPath.back() != '/') {
        strPath += '/';
    }
    return strPath;
}

// A path names a file when its last component has an extension; then only its folders count.
std::string folderPart(const std::string& strPath) {
    const size_t lastSeparator = strPath.rfind('/');
    const size_t nameStart = lastSeparator == std::string::npos ? 0 : lastSeparator + 1;
    const size_t dot = strPath.find('.', nameStart);
    const bool bHasExtension = dot != std::string::npos && dot > nameStart;
    return bHasExtension ? strPath.substr(0, nameStart) : strPath;
}

// The filter applies when the last component holds a "*" and ends in a dot and exactly three
// characters that are not "*", so that "*.txt" does not match "x.txte".
bool needsExtensionFilter(const std::string& strPattern, std::string& rExtension) {
    const size_t dot = strPattern.rfind('.');
    if (strPattern.find('*') == std::string::npos || dot == std::string::npos ||
        strPattern.size() - dot != 4) {
        return false;
    }
    rExtension = strPattern.substr(dot + 1);
    return rExtension.find('*') == std::string::npos;
}

// File-name patterns know only the wildcards "*" and "?"; brackets and backslashes are part of
// the name and are escaped for fnmatch.
std::string toFnmatchPattern(const std::string& strPattern) {
    std::string strEscaped;
    for (const char c : strPattern) {
        if (c == '[' || c == '\\') {
            strEscaped += '\\';
        }
        strEscaped += c;
    }
    return strEscaped;
}

bool extensionMatches(const std::string& strName, const std::string& strExtension) {
    const size_t dot = strName.rfind('.');
    return dot != std::string::npos &&
           strcasecmp(strName.c_str() + dot + 1, strExtension.c_str()) == 0;
}

void fillEntry(const FindStateS& rState, const char* pszName, FindEntryS& rEntry) {
    rEntry = FindEntryS{};
    rEntry.strName = pszName;
    rEntry.wstrName = UTI::toWide(rEntry.strName);
    rEntry.bFilter = rState.bFilter;
    struct stat info {};
    if (stat((rState.strFolder + pszName).c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            rEntry.ulAttributes |= FIND_ATTRIBUTE_DIRECTORY;
        }
        if ((info.st_mode & S_IWUSR) == 0) {
            rEntry.ulAttributes |= FIND_ATTRIBUTE_READ_ONLY;
        }
        rEntry.ulSizeLow = static_cast<uint32_t>(info.st_size);
        rEntry.lastWriteTime = info.st_mtim;
        rEntry.creationTime = info.st_ctim;
    }
}

int32_t readNextMatch(FindStateS& rState, FindEntryS& rEntry) {
    while (dirent* pEntry = readdir(rState.pDir)) {
        if (fnmatch(rState.strPattern.c_str(), pEntry->d_name, FNM_PERIOD) != 0) {
            continue;
        }
        if (rState.bFilter && !extensionMatches(pEntry->d_name, rState.strExtension)) {
            continue;
        }
        fillEntry(rState, pEntry->d_name, rEntry);
        return PATH_OK;
    }
    return PATH_FAILED;
}

} // namespace

PathMapCommonWinPC::PathMapCommonWinPC() : m_strRoot(defaultRoot()) {}

std::string PathMapCommonWinPC::defaultRoot() {
    const passwd* pUser = getpwuid(getuid());
    return rootFor(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"),
                   pUser != nullptr ? pUser->pw_dir : nullptr);
}

std::string PathMapCommonWinPC::rootFor(const char* pszDataHome, const char* pszHome,
                                        const char* pszUserHome) {
    const auto isAbsolute = [](const char* pszPath) {
        return pszPath != nullptr && pszPath[0] == '/';
    };
    std::string strData;
    if (isAbsolute(pszDataHome)) {
        strData = pszDataHome;
    } else if (isAbsolute(pszHome) || isAbsolute(pszUserHome)) {
        strData = std::string(isAbsolute(pszHome) ? pszHome : pszUserHome) + "/.local/share";
    } else {
        // Without a home the root must not lie where other users can write (they could plant a
        // debug configuration or links there) nor depend on the current folder: a fresh folder
        // of this user's own, or, failing that, a root under which nothing can be created.
        char szPrivate[] = "/tmp/kalder-rcl-XXXXXX";
        strData = mkdtemp(szPrivate) != nullptr ? szPrivate : "/dev/null";
    }
    return withTrailingSeparator(strData) + "Kalder 700/RCL/";
}

bool PathMapCommonWinPC::isDevicePresent(int32_t lDevice) {
    // Removable devices would be looked up in the framework configuration, which is never set
    // up on this platform, so every known device counts as present.
    if (deviceFolderName(lDevice) == nullptr || lDevice == 3) {
        ERR::assertReport("!\"NO_DEVICE is not allowed !!!\"", 0, 0,
                          "Fwk_Hal\\FWK_HAL_PathMapCommonWinPC", 177);
        return false;
    }
    return true;
}

void PathMapCommonWinPC::setRoot(const char* pszRoot) {
    if (pszRoot == nullptr || pszRoot[0] == '\0') {
        ERR::assertReport("false", 0, 0, "Fwk_Hal\\FWK_HAL_PathMapCommonWinPC", 67);
        return;
    }
    m_strRoot = withTrailingSeparator(pszRoot);
    for (const char* pszFolder : {"CF Card/System/Config/", "Altorvia Instruments/Fieldora/System/",
                                  "RAM Disk/", "Temp/"}) {
        createDirectories((m_strRoot + pszFolder).c_str());
    }
}

int32_t PathMapCommonWinPC::getDeviceFolder(int32_t lDevice, std::string& rFolder) {
    const char* pszFolder = lDevice == 3 ? nullptr : deviceFolderName(lDevice);
    if (pszFolder == nullptr) {
        return PATH_INVALID_DEVICE;
    }
    rFolder = pszFolder;
    return PATH_OK;
}

std::string PathMapCommonWinPC::getLocalMemoryPath() {
    return m_strRoot + "Altorvia Instruments/Fieldora/";
}

int32_t PathMapCommonWinPC::createDirectories(const char* pszPath) {
    if (pszPath == nullptr) {
        ERR::assertReport("!\"the given directory name string is NULL\"", 0, 0,
                          "Fwk_Hal\\FWK_HAL_PathMap", 588);
        return PATH_FAILED;
    }
    const size_t length = std::strlen(pszPath);
    if (length == 0 || length > MAX_PATH_LEN) {
        ERR::assertReport("!\"given directory name is either 0 length or too long\"", 0, 0,
                          "Fwk_Hal\\FWK_HAL_PathMap", 594);
        return PATH_FAILED;
    }
    const std::string strFolders = withTrailingSeparator(folderPart(pszPath));
    for (size_t separator = strFolders.find('/', 1); separator != std::string::npos;
         separator = strFolders.find('/', separator + 1)) {
        const std::string strFolder = strFolders.substr(0, separator);
        if (mkdir(strFolder.c_str(), 0777) != 0 && (errno != EEXIST || !isFolder(strFolder))) {
            return PATH_FAILED;
        }
    }
    return PATH_OK;
}

int32_t PathMapCommonWinPC::splitDrive(const char* pszFullPath, std::string& rDrive) {
    if (pszFullPath == nullptr) {
        return PATH_FAILED;
    }
    // There are no drive letters here; an absolute path is on the root "drive".
    rDrive = pszFullPath[0] == '/' ? "/" : "";
    return PATH_OK;
}

int32_t PathMapCommonWinPC::removeDirectory(const char16_t* pszPath) {
    return pszPath == nullptr ? PATH_FAILED : removeDirectory(UTI::toNarrow(pszPath).c_str());
}

int32_t PathMapCommonWinPC::removeDirectory(const char* pszPath) {
    return pszPath != nullptr && rmdir(pszPath) == 0 ? PATH_OK : PATH_FAILED;
}

int32_t PathMapCommonWinPC::makeWritable(const char16_t* pszPath) {
    return pszPath == nullptr ? PATH_FAILED : makeWritable(UTI::toNarrow(pszPath).c_str());
}

int32_t PathMapCommonWinPC::makeWritable(const char* pszPath) {
    struct stat info {};
    if (pszPath == nullptr || stat(pszPath, &info) != 0) {
        return PATH_FAILED;
    }
    return chmod(pszPath, info.st_mode | S_IWUSR) == 0 ? PATH_OK : PATH_FAILED;
}

int32_t PathMapCommonWinPC::findFirst(const char16_t* pszPattern, FindHandleT& rHandle,
                                      FindEntryS& rEntry) {
    if (pszPattern == nullptr) {
        return PATH_FAILED;
    }
    return findFirst(UTI::toNarrow(pszPattern).c_str(), rHandle, rEntry);
}

int32_t PathMapCommonWinPC::findFirst(const char* pszPattern, FindHandleT& rHandle,
                                      FindEntryS& rEntry) {
    rHandle = nullptr;
    if (pszPattern == nullptr) {
        return PATH_FAILED;
    }
    const std::string strPattern = pszPattern;
    const size_t lastSeparator = strPattern.rfind('/');
    auto pState = std::make_unique<FindStateS>();
    pState->strFolder =
        lastSeparator == std::string::npos ? "./" : strPattern.substr(0, lastSeparator + 1);
    const std::string strNamePattern =
        strPattern.substr(lastSeparator == std::string::npos ? 0 : lastSeparator + 1);
    pState->strPattern = toFnmatchPattern(strNamePattern);
    pState->bFilter = needsExtensionFilter(strNamePattern, pState->strExtension);
    pState->pDir = opendir(pState->strFolder.c_str());
    if (pState->pDir == nullptr) {
        return PATH_FAILED;
    }
    if (readNextMatch(*pState, rEntry) != PATH_OK) {
        closedir(pState->pDir);
        return PATH_FAILED;
    }
    rHandle = pState.release();
    return PATH_OK;
}

int32_t PathMapCommonWinPC::findNext(FindHandleT hHandle, FindEntryS& rEntry) {
    return hHandle == nullptr ? PATH_FAILED : readNextMatch(*hHandle, rEntry);
}

void PathMapCommonWinPC::findClose(FindHandleT hHandle) {
    if (hHandle != nullptr) {
        closedir(hHandle->pDir);
        delete hHandle;
    }
}

uint64_t PathMapCommonWinPC::diskTotalBytes(const char* pszPath) {
    struct statvfs info {};
    if (pszPath == nullptr || statvfs(pszPath, &info) != 0) {
        return 0;
    }
    return static_cast<uint64_t>(info.f_blocks) * info.f_frsize;
}

uint64_t PathMapCommonWinPC::diskFreeBytes(const char* pszPath) {
    struct statvfs info {};
    if (pszPath == nullptr || statvfs(pszPath, &info) != 0) {
        return 0;
    }
    return static_cast<uint64_t>(info.f_bfree) * info.f_frsize;
}

} // namespace FWK::HAL
