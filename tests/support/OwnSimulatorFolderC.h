#pragma once

#include <optional>
#include <string>

// Gives this test process (and the programs it starts) a simulator folder of its own for the
// lifetime of the object, so that the port lists it looks at show only its own simulators
// and it never opens those of tests running beside it. The folder itself is left for the
// first simulator to make.
class OwnSimulatorFolderC {
public:
    explicit OwnSimulatorFolderC(const std::string& runtimeDir);
    ~OwnSimulatorFolderC();
    OwnSimulatorFolderC(const OwnSimulatorFolderC&) = delete;
    OwnSimulatorFolderC& operator=(const OwnSimulatorFolderC&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::optional<std::string> previous_;
};
