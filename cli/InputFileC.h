#pragma once

#include <cstddef>
#include <string>

// Files the user names as input (profiles, port lists) are read whole, but never more than a
// bound: a list or a profile never comes near it, and /dev/zero or a huge file named by
// mistake must not fill the memory.
class InputFileC {
public:
    // The file's bytes into text; the error (empty on success) says what went wrong, "larger
    // than N KiB" for a file over the bound.
    static std::string Read(const std::string& path, std::size_t maxSize, std::string& text);
};
