#pragma once

#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

// Replaces a file whole or not at all: the new bytes go to a new file of a unique name in the
// same folder, created so that nothing standing at that name (a link planted there, say) is
// ever written through, then synced and renamed over the old one, and the folder synced so
// that the rename outlives a crash. A link at the target itself is replaced, not followed;
// anything else that stands there must be a regular file of this user (a device, a pipe, a
// folder or another user's file is left alone and the replacement refused).
class FileReplaceC {
public:
    struct OptionsS {
        // The new file's permissions; by default those of a new file (0666 less the umask).
        // Set before any byte is written, so the copy is never more readable than asked.
        std::optional<mode_t> mode;
        // Runs after the new file is complete and before it replaces the old one.
        std::function<void()> beforeRename;
    };

    // Empty on success, else what failed and why; on failure the old file is as it was.
    static std::string Replace(const std::string& path, const std::string& bytes,
                               const OptionsS& options);
    static std::string Replace(const std::string& path, const std::string& bytes) {
        return Replace(path, bytes, OptionsS{});
    }

    // Writes every byte, going on after a signal; false with errno set when a write fails.
    static bool WriteAll(int fd, const std::string& bytes);
};
