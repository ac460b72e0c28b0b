#include "platform/PortCatalog.h"
#include "platform/SerialDevice.h"

#include "PtyPair.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
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

TEST(PortProblemTest, AForbiddenPortGivesTheDialoutFix) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "running as root, which opens a device whatever its permissions";
    }
    test::PtyPair pty;
    ASSERT_EQ(::chmod(pty.slavePath().c_str(), 0), 0);
    EXPECT_EQ(OpenText(pty.slavePath()),
              "Permission denied on " + pty.slavePath() +
                  ": add your user to the 'dialout' group (sudo usermod -aG dialout $USER), "
                  "then log out and in again.");
}

} // namespace
} // namespace oryx::platform
