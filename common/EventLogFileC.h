#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// The program's user-level event log: every dialog owns one, all of them append to the same
// file, one line per open/write/close so that no handle is held while the user works.
// A log that cannot be written never stops the program: the line is lost, and a caller that
// gave a warning handler hears of it once. Only a regular file of this user is written: a
// link, a device, a pipe or another user's file at the name is refused and the log is off.
// An empty file name makes a log that writes nothing (for callers that want no log).
class EventLogFileC {
public:
    // The program's log: in the current folder, kept to its last lines.
    static constexpr const char* kFileName = "ORYX_Log.txt";
    static constexpr int kMaxLines = 500;
    // The trim reads no more than this of the file's end; a log that grew past it keeps the
    // last lines within it.
    static constexpr std::size_t kMaxTrimBytes = 1024 * 1024;

    // Told once, with a sentence naming the file and the reason, when a line could not be
    // written or the file was refused.
    using WarnT = std::function<void(const std::string&)>;

    EventLogFileC(std::string fileName, int maxLines, WarnT warn = {});
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
    void Warn(const std::string& problem);

    std::string fileName_;
    int maxLines_;
    WarnT warn_;
    bool warned_ = false;
    bool refused_ = false;
    std::function<void()> beforeReplace_;
};
