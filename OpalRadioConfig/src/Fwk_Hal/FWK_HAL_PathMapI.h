#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace FWK::HAL {

// Storage devices below the root folder.
enum StorageDeviceT : int32_t {
    DEVICE_LOCAL_MEMORY = 0,
    DEVICE_CF_CARD = 1,
    DEVICE_RAM_DISK = 2,
    DEVICE_SD_CARD = 4,
    DEVICE_USB_MEMORY = 5,
    DEVICE_VOLATILE_MEMORY = 6,
    DEVICE_ALWAYS_PRESENT = 7,
    NO_DEVICE = -1,
};

// Status codes of the path map.
constexpr int32_t PATH_OK = 0;
constexpr int32_t PATH_FAILED = 0x200001a;
constexpr int32_t PATH_INVALID_DEVICE = 0x200001b;

constexpr size_t MAX_PATH_LEN = 260;

enum FindAttributeT : uint32_t {
    FIND_ATTRIBUTE_READ_ONLY = 0x1,
    FIND_ATTRIBUTE_DIRECTORY = 0x10,
};

// One file found by findFirst/findNext.
struct FindEntryS {
    std::string strName;
    std::u16string wstrName;
    uint32_t ulAttributes = 0;
    uint32_t ulSizeLow = 0;
    timespec lastWriteTime{};
    timespec creationTime{}; // the status-change time: this platform keeps no creation time
    bool bFilter = false;
};

struct FindStateS;
using FindHandleT = FindStateS*;

// The storage folders of the framework and the file-system operations that differ between
// platforms. Paths use "/" between folders and are absolute when they begin with "/".
class PathMapI {
public:
    virtual ~PathMapI() = default;

    virtual void hook3(void*, void*, void*) {}
    virtual void hook2(void*, void*) {}

    virtual bool isDevicePresent(int32_t lDevice) = 0;
    virtual void setRoot(const char* pszRoot) = 0;
    virtual std::string getRoot() = 0;
    virtual int32_t getDeviceFolder(int32_t lDevice, std::string& rFolder) = 0;
    virtual std::string getLocalMemoryPath() = 0;
    virtual int32_t createDirectories(const char* pszPath) = 0;
    virtual int32_t splitDrive(const char* pszFullPath, std::string& rDrive) = 0;
    virtual int32_t removeDirectory(const char16_t* pszPath) = 0;
    virtual int32_t removeDirectory(const char* pszPath) = 0;
    virtual int32_t makeWritable(const char16_t* pszPath) = 0;
    virtual int32_t makeWritable(const char* pszPath) = 0;
    virtual int32_t findFirst(const char16_t* pszPattern, FindHandleT& rHandle,
                              FindEntryS& rEntry) = 0;
    virtual int32_t findFirst(const char* pszPattern, FindHandleT& rHandle, FindEntryS& rEntry) = 0;
    virtual int32_t findNext(FindHandleT hHandle, FindEntryS& rEntry) = 0;
    // The caller closes every handle that findFirst returned with success.
    virtual void findClose(FindHandleT hHandle) = 0;
    virtual uint64_t diskTotalBytes(const char* pszPath) = 0;
    virtual uint64_t diskFreeBytes(const char* pszPath) = 0;
};

} // namespace FWK::HAL
