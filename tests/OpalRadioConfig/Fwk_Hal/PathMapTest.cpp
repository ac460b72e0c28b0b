#include "Fwk_Hal/FWK_HAL_PathMapC.h"
#include "Fwk_Hal/FWK_HAL_PathMapCommonWinPC.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace FWK::HAL;
namespace fs = std::filesystem;

namespace {

class PathMapTest : public testing::Test {
protected:
    void SetUp() override {
        char szTemplate[] = "/tmp/orc_pathmap_XXXXXX";
        m_root = mkdtemp(szTemplate);
    }
    void TearDown() override {
        PathMapC::setPathMapper(nullptr);
        fs::remove_all(m_root);
    }

    std::string m_root;
};

TEST_F(PathMapTest, DefaultFoldersLieUnderTheUsersDataFolder) {
    const char* pszSaved = std::getenv("XDG_DATA_HOME");
    const std::string strSaved = pszSaved != nullptr ? pszSaved : "";
    setenv("XDG_DATA_HOME", m_root.c_str(), 1);
    PathMapCommonWinPC pathMap;
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    PathMapCommonWinPC homePathMap;
    pszSaved != nullptr ? setenv("XDG_DATA_HOME", strSaved.c_str(), 1) : unsetenv("XDG_DATA_HOME");

    EXPECT_EQ(homePathMap.getRoot(),
              std::string(std::getenv("HOME")) + "/.local/share/Kalder 700/RCL/");
    const std::string strRoot = m_root + "/Kalder 700/RCL/";
    PathMapC::setPathMapper(&pathMap);
    EXPECT_EQ(PathMapC::getRootPath(), strRoot);
    EXPECT_EQ(PathMapC::getDebugPath(), strRoot + "SD Card/");
    EXPECT_EQ(PathMapC::getDebugConfigFile(), strRoot + "SD Card/Dbg/debug.def");
    EXPECT_EQ(PathMapC::getSystemPath(), strRoot + "Altorvia Instruments/Fieldora/System/");
    EXPECT_FALSE(fs::exists(strRoot)) << "construction creates nothing";
}

TEST_F(PathMapTest, RootComesFromAnAbsoluteHomeOrAPrivateFolder) {
    const struct {
        const char* pszDataHome;
        const char* pszHome;
        const char* pszUserHome;
        const char* pszRoot; // nullptr: a private folder
    } cases[] = {
        {"/data", "/home/u", "/home/p", "/data/Kalder 700/RCL/"},
        {"data", "/home/u", "/home/p", "/home/u/.local/share/Kalder 700/RCL/"},
        {nullptr, "home/u", "/home/p", "/home/p/.local/share/Kalder 700/RCL/"},
        {nullptr, "", nullptr, nullptr},
        {nullptr, "home/u", "", nullptr},
    };
    for (const auto& rCase : cases) {
        const std::string strRoot =
            PathMapCommonWinPC::rootFor(rCase.pszDataHome, rCase.pszHome, rCase.pszUserHome);
        if (rCase.pszRoot != nullptr) {
            EXPECT_EQ(strRoot, rCase.pszRoot);
            continue;
        }
        const fs::path folder = fs::path(strRoot).parent_path().parent_path().parent_path();
        struct stat info {};
        ASSERT_EQ(stat(folder.c_str(), &info), 0) << strRoot;
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_mode & 0777, 0700u) << "only this user may write there";
        EXPECT_EQ(info.st_uid, getuid());
        EXPECT_NE(folder, fs::path("/tmp"));
        fs::remove_all(folder);
    }
}

TEST_F(PathMapTest, SetRootAddsTheSeparatorAndCreatesTheStandardFolders) {
    PathMapCommonWinPC pathMap;
    pathMap.setRoot(m_root.c_str());
    EXPECT_EQ(pathMap.getRoot(), m_root + "/");
    pathMap.setRoot((m_root + "/").c_str());
    EXPECT_EQ(pathMap.getRoot(), m_root + "/");
    for (const char* pszFolder :
         {"CF Card/System/Config", "Altorvia Instruments/Fieldora/System", "RAM Disk", "Temp"}) {
        EXPECT_TRUE(fs::is_directory(m_root + "/" + pszFolder)) << pszFolder;
    }
    pathMap.setRoot("");
    pathMap.setRoot(nullptr);
    EXPECT_EQ(pathMap.getRoot(), m_root + "/");
}

TEST_F(PathMapTest, DeviceThreeIsInvalid) {
    PathMapCommonWinPC pathMap;
    pathMap.setRoot(m_root.c_str());
    PathMapC::setPathMapper(&pathMap);
    std::string strFolder = "unchanged";
    EXPECT_EQ(pathMap.getDeviceFolder(3, strFolder), PATH_INVALID_DEVICE);
    EXPECT_EQ(strFolder, "unchanged");
    EXPECT_EQ(PathMapC::getDevicePath(3, "Fallback"), m_root + "/Fallback/");
    EXPECT_FALSE(pathMap.isDevicePresent(3));
    EXPECT_FALSE(pathMap.isDevicePresent(NO_DEVICE));
    for (int32_t lDevice : {0, 1, 2, 4, 5, 6, 7}) {
        EXPECT_TRUE(pathMap.isDevicePresent(lDevice)) << lDevice;
    }
    EXPECT_EQ(PathMapC::getDevicePath(DEVICE_USB_MEMORY, "x"), m_root + "/USB Memory Device/");
}

TEST_F(PathMapTest, CreateDirectoriesTreatsANameWithExtensionAsAFile) {
    PathMapCommonWinPC pathMap;
    EXPECT_EQ(pathMap.createDirectories((m_root + "/a/b/file.txt").c_str()), PATH_OK);
    EXPECT_TRUE(fs::is_directory(m_root + "/a/b"));
    EXPECT_FALSE(fs::exists(m_root + "/a/b/file.txt"));
    EXPECT_EQ(pathMap.createDirectories((m_root + "/a/c").c_str()), PATH_OK);
    EXPECT_TRUE(fs::is_directory(m_root + "/a/c"));

    EXPECT_EQ(pathMap.createDirectories(nullptr), PATH_FAILED);
    EXPECT_EQ(pathMap.createDirectories(""), PATH_FAILED);
    EXPECT_EQ(pathMap.createDirectories((m_root + "/" + std::string(MAX_PATH_LEN, 'x')).c_str()),
              PATH_FAILED);
    std::ofstream(m_root + "/plainfile") << "x";
    EXPECT_EQ(pathMap.createDirectories((m_root + "/plainfile/sub").c_str()), PATH_FAILED);
    EXPECT_EQ(pathMap.createDirectories((m_root + "/plainfile").c_str()), PATH_FAILED)
        << "a file in the way is no folder";
}

TEST_F(PathMapTest, ThreeLetterExtensionPatternSkipsLongerExtensions) {
    for (const char* pszName : {"x.txt", "x.txte", "y.TXT", "z.log"}) {
        std::ofstream(m_root + "/" + pszName) << "data";
    }
    PathMapCommonWinPC pathMap;
    FindHandleT hFind = nullptr;
    FindEntryS entry;
    std::set<std::string> found;
    for (int32_t lStatus = pathMap.findFirst((m_root + "/*.txt").c_str(), hFind, entry);
         lStatus == PATH_OK; lStatus = pathMap.findNext(hFind, entry)) {
        found.insert(entry.strName);
        EXPECT_TRUE(entry.bFilter);
        EXPECT_EQ(entry.ulSizeLow, 4u);
        EXPECT_EQ(entry.wstrName.size(), entry.strName.size());
    }
    pathMap.findClose(hFind);
    EXPECT_EQ(found, std::set<std::string>{"x.txt"});
    EXPECT_EQ(pathMap.findFirst((m_root + "/*.none").c_str(), hFind, entry), PATH_FAILED);

    // Only "*" and "?" are wildcards; brackets and backslashes are part of the name.
    std::ofstream(m_root + "/log[1]\\a_01.txt") << "data";
    std::ofstream(m_root + "/log1a_01.txt") << "data";
    ASSERT_EQ(pathMap.findFirst((m_root + "/log[1]\\a*").c_str(), hFind, entry), PATH_OK);
    EXPECT_EQ(entry.strName, "log[1]\\a_01.txt");
    EXPECT_EQ(pathMap.findNext(hFind, entry), PATH_FAILED);
    pathMap.findClose(hFind);
    EXPECT_EQ(pathMap.findFirst(u"/nonexistent/folder/*", hFind, entry), PATH_FAILED);
}

TEST_F(PathMapTest, FileSystemHelpers) {
    PathMapCommonWinPC pathMap;
    const std::string strFile = m_root + "/readonly.txt";
    std::ofstream(strFile) << "x";
    fs::permissions(strFile, fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_EQ(pathMap.makeWritable(strFile.c_str()), PATH_OK);
    EXPECT_NE(fs::status(strFile).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(pathMap.makeWritable((m_root + "/missing").c_str()), PATH_FAILED);

    fs::create_directory(m_root + "/empty");
    EXPECT_EQ(pathMap.removeDirectory((m_root + "/empty").c_str()), PATH_OK);
    EXPECT_EQ(pathMap.removeDirectory(m_root.c_str()), PATH_FAILED) << "not empty";

    EXPECT_GT(pathMap.diskTotalBytes(m_root.c_str()), 0u);
    EXPECT_GE(pathMap.diskTotalBytes(m_root.c_str()), pathMap.diskFreeBytes(m_root.c_str()));
    EXPECT_EQ(pathMap.diskFreeBytes("/nonexistent/folder"), 0u);

    std::string strDrive = "x";
    EXPECT_EQ(pathMap.splitDrive("/a/b", strDrive), PATH_OK);
    EXPECT_EQ(strDrive, "/");
}

} // namespace
