// Puts arbitrary bytes where the event log stands and trims it: the trim must keep exactly the
// last lines (LF ends a line, CR bytes are dropped, an unfinished last piece is no line), each
// ended by CR LF, and leave a log it has nothing to cut untouched.
//
// Input: one byte for the number of lines to keep, then the file's bytes.

#include "FuzzChecks.h"
#include "common/EventLogFileC.h"

#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string LogPath() {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder != nullptr ? folder : "/tmp") + "/oryx-fuzz-log-" +
           std::to_string(::getpid()) + ".txt";
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> LinesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string current;
    for (char c : bytes) {
        if (c == '\n') {
            lines.push_back(current);
            current.clear();
        } else if (c != '\r') {
            current += c;
        }
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    static const std::string s_path = LogPath();
    const int keep = data[0] % 16;
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    {
        EventLogFileC log(s_path, keep);
        WriteFile(s_path, bytes);
        log.Trim();
        const std::vector<std::string> lines = LinesOf(bytes);
        std::string expected = bytes;
        if (lines.size() >= static_cast<size_t>(keep)) {
            expected.clear();
            for (size_t i = lines.size() - keep; i < lines.size(); ++i) {
                expected += lines[i] + "\r\n";
            }
        }
        FuzzCheck(ReadFile(s_path) == expected, "the trim kept other lines than the last ones");
        // The closing line and trim of the destructor run on what the trim left.
    }
    ::unlink(s_path.c_str());
    ::unlink((s_path + ".trim").c_str());
    return 0;
}
