#include "platform/PortCatalog.h"
#include "platform/SerialDevice.h"

#include "PtyPair.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace oryx::platform {
namespace {

std::string OpenText(const std::string& port) {
    return PortCatalog().describe(port, PortCatalog::OpenCheck::Try).openText();
}

TEST(PortProblemTest, APortHeldByAnotherProgramSaysSoAndOpensOnceFreed) {
    test::PtyPair pty;
    {
        SerialDevice holder;
        ASSERT_TRUE(holder.open(pty.slavePath()).ok());
        EXPECT_EQ(OpenText(pty.slavePath()),
                  "Port " + pty.slavePath() + " is in use by another program.");
    }
    EXPECT_EQ(OpenText(pty.slavePath()), "opens");
}

// Root opens a device whatever its permissions, so as root the check runs in a child that
// has given up its privileges.
std::string OpenTextAsUnprivilegedUser(const std::string& port) {
    if (::geteuid() != 0) {
        return OpenText(port);
    }
    int fds[2];
    if (::pipe(fds) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        constexpr uid_t kNobody = 65534;
        std::string text =
            ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 ? OpenText(port) : "setuid failed";
        const ssize_t written = ::write(fds[1], text.data(), text.size());
        ::_exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return text;
}

TEST(PortProblemTest, AForbiddenPortGivesTheDialoutFix) {
    test::PtyPair pty;
    ASSERT_EQ(::chmod(pty.slavePath().c_str(), 0), 0);
    EXPECT_EQ(OpenTextAsUnprivilegedUser(pty.slavePath()),
              "Permission denied on " + pty.slavePath() +
                  ": add your user to the 'dialout' group (sudo usermod -aG dialout $USER), "
                  "then log out and in again.");
}

} // namespace
} // namespace oryx::platform
