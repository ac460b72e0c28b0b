#pragma once

#include <functional>
#include <string>
#include <string_view>

// The program's user-level event log: every dialog owns one, all of them append to the same
// file, one line per open/write/close so that no handle is held while the user works.
// Failures are silent by design: a log that cannot be written must never stop the program.
// An empty file name makes a log that writes nothing (for callers that want no log).
class EventLogFileC {
public:
    // The program's log: in the current folder, kept to its last lines.
    static constexpr const char* kFileName = "ORYX_Log.txt";
    static constexpr int kMaxLines = 500;

    EventLogFileC(std::string fileName, int maxLines);
    ~EventLogFileC();

    EventLogFileC(const EventLogFileC&) = delete;
    EventLogFileC& operator=(const EventLogFileC&) = delete;

    // Appends one time-stamped line; the text is written unchanged.
    void Log(std::string_view text);

    const std::string& fileName() const { return fileName_; }
    int maxLines() const { return maxLines_; }

    // Formats a time-stamped line for the given local time ("06/12/2026 9:05:07: text\r\n").
    static std::string FormatStampedLine(const struct tm& localTime, std::string_view text);

    // Called after the trimmed copy is complete and before it replaces the log. Lets a test
    // end the process at the most delicate moment of a trim.
    void setBeforeReplaceHook(std::function<void()> hook) { beforeReplace_ = std::move(hook); }

    // Keeps the last maxLines lines when the file holds at least that many.
    void Trim();

private:
    void WriteStartBlock();
    void AppendLines(const std::string& bytes);

    std::string fileName_;
    int maxLines_;
    std::function<void()> beforeReplace_;
};
