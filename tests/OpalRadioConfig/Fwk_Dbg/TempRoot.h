#pragma once

#include "Fwk_Hal/FWK_HAL_PathMapC.h"
#include "Fwk_Hal/FWK_HAL_PathMapCommonWinPC.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// A private path-map root in /tmp for the life of one test.
class TempRoot {
public:
    TempRoot() {
        char szTemplate[] = "/tmp/orc_dbg_XXXXXX";
        m_strRoot = mkdtemp(szTemplate);
        m_pathMap.setRoot(m_strRoot.c_str());
        FWK::HAL::PathMapC::setPathMapper(&m_pathMap);
    }
    ~TempRoot() {
        FWK::HAL::PathMapC::setPathMapper(nullptr);
        std::filesystem::remove_all(m_strRoot);
    }

    const std::string& path() const { return m_strRoot; }
    std::string logFolder() const { return m_strRoot + "/SD Card/dbg/log/"; }

    static std::string read(const std::string& strPath) {
        std::ifstream file(strPath);
        std::stringstream content;
        content << file.rdbuf();
        return content.str();
    }

private:
    std::string m_strRoot;
    FWK::HAL::PathMapCommonWinPC m_pathMap;
};
