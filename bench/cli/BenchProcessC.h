#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

// What the command line benches do with the programs they time: start one with its standard
// output in a file or a pipe and its standard error dropped, and count what it printed.
class BenchProcessC {
public:
    struct OutputS {
        // Standard output goes to this file, truncated...
        std::string file;
        // ...or, when this is not -1, to this descriptor (the write end of a pipe).
        int fd = -1;
    };

    // Throws std::runtime_error naming the program when it cannot be started.
    static pid_t Start(const char* program, const std::vector<std::string>& args,
                       const OutputS& output);
    static std::size_t Count(const std::string& text, const std::string& part);
    static std::string ReadFile(const std::string& file);
};
