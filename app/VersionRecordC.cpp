#include "app/VersionRecordC.h"

VersionRecordC::VersionRecordC(std::string translation, StringTableT strings)
    : translation_(std::move(translation)), strings_(std::move(strings)) {}

const VersionRecordC& VersionRecordC::Program() {
    static const VersionRecordC record("040904b0", {{"FileVersion", "2, 4, 0, 0"},
                                                    {"ProductVersion", "2, 4, 0, 0"},
                                                    {"ProductName", "ORYX Config Tool"},
                                                    {"InternalName", "ORYX Config Tool"},
                                                    {"SpecialBuild", "1"}});
    return record;
}

std::optional<std::string> VersionRecordC::Query(const std::string& path) const {
    const std::string prefix = "\\StringFileInfo\\" + translation_ + "\\";
    if (path.rfind(prefix, 0) != 0) {
        return std::nullopt;
    }
    auto found = strings_.find(path.substr(prefix.size()));
    if (found == strings_.end()) {
        return std::nullopt;
    }
    return found->second;
}
