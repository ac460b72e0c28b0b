#pragma once

#include <string>

// A fresh temporary folder that becomes the current folder for the lifetime of the object,
// so files the code under test writes beside itself (the event log) land there.
class ScratchDirC {
public:
    ScratchDirC();
    ~ScratchDirC();
    ScratchDirC(const ScratchDirC&) = delete;
    ScratchDirC& operator=(const ScratchDirC&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    static std::string ReadFile(const std::string& path);
    static void WriteFile(const std::string& path, const std::string& bytes);

private:
    std::string path_;
    std::string previous_;
};
