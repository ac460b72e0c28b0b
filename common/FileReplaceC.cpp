#include "common/FileReplaceC.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kNameAttempts = 100;

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string UniqueNameBeside(const std::string& path) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    return path + ".tmp-" + std::to_string(::getpid()) + "-" +
           std::to_string(random() % 1000000000);
}

// O_EXCL with O_CREAT never follows a link at the name; O_NOFOLLOW says so once more.
int CreateNew(const std::string& path, std::string& created, const std::optional<mode_t>& mode) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        created = UniqueNameBeside(path);
        const int fd = ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              mode ? 0600 : 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string Failed(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// Empty when the target may be replaced.
std::string TargetProblem(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? "" : Failed("cannot inspect " + path);
    }
    if (S_ISLNK(info.st_mode)) {
        return {};
    }
    if (!S_ISREG(info.st_mode)) {
        return path + " is not a regular file";
    }
    return info.st_uid == ::geteuid() ? "" : path + " belongs to another user";
}

} // namespace

std::string FileReplaceC::Replace(const std::string& path, const std::string& bytes,
                                  const OptionsS& options) {
    if (std::string problem = TargetProblem(path); !problem.empty()) {
        return problem;
    }
    std::string temporary;
    const int fd = CreateNew(path, temporary, options.mode);
    if (fd < 0) {
        return Failed("cannot create a new file beside " + path);
    }
    const bool written = (!options.mode || ::fchmod(fd, *options.mode) == 0) &&
                         WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const std::string writeError = written ? "" : Failed("cannot write " + temporary);
    if (::close(fd) != 0 && written) {
        ::unlink(temporary.c_str());
        return Failed("cannot write " + temporary);
    }
    if (!written) {
        ::unlink(temporary.c_str());
        return writeError;
    }
    if (options.beforeRename) {
        options.beforeRename();
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string error = Failed("cannot replace " + path);
        ::unlink(temporary.c_str());
        return error;
    }
    SyncFolder(FolderOf(path));
    return {};
}

bool FileReplaceC::WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}
