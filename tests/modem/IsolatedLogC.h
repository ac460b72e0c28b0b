#pragma once

#include "EventLogReaderC.h"
#include "ScratchDirC.h"

#include <string>
#include <vector>

// An event log file in a scratch folder and its lines without time stamps or start blocks.
class IsolatedLogC {
public:
    std::string path() const { return dir_.file("ORYX_Log.txt"); }
    std::vector<std::string> texts() const {
        return EventLogReaderC::TextsWithoutStartBlocks(path());
    }

private:
    ScratchDirC dir_;
};
