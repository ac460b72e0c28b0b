#include "Ser2netServerC.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* kSer2net = "/usr/sbin/ser2net";
constexpr int kStartWaitMs = 10000;
constexpr int kStartAttempts = 3;

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

} // namespace

Ser2netServerC::Ser2netServerC(std::string devicePath, bool withControl, bool charDelay) {
    if (!installed()) {
        problem_ = "ser2net is not installed (tools/install-deps installs it)";
        return;
    }
    char folder[] = "/tmp/oryx-ser2net-XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
        problem_ = "cannot make a folder for the ser2net configuration";
        return;
    }
    folder_ = folder;
    // Another program may take the free port between our look and ser2net's bind.
    for (int attempt = 0; attempt < kStartAttempts && !available(); ++attempt) {
        start(devicePath, withControl, charDelay);
    }
}

Ser2netServerC::~Ser2netServerC() {
    kill();
    if (!folder_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
}

bool Ser2netServerC::installed() {
    return ::access(kSer2net, X_OK) == 0;
}

std::string Ser2netServerC::portText() const {
    return "rfc2217://127.0.0.1:" + std::to_string(port_);
}

int Ser2netServerC::FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

bool Ser2netServerC::start(const std::string& devicePath, bool withControl, bool charDelay) {
    port_ = FreePort();
    const std::string config = folder_ + "/ser2net.yaml";
    {
        std::ofstream out(config);
        out << "connection: &radio\n"
            << "  accepter: " << (withControl ? "telnet(rfc2217)," : "") << "tcp,127.0.0.1,"
            << port_ << "\n"
            << "  connector: serialdev," << devicePath << ",9600n81,local\n"
            << "  options:\n"
            << "    kickolduser: true\n"
            << "    chardelay: " << (charDelay ? "true" : "false") << "\n";
    }
    const std::string pidFile = folder_ + "/ser2net.pid";
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Its complaints (no mDNS here) would only clutter the test output.
        const std::string log = folder_ + "/ser2net.log";
        std::freopen(log.c_str(), "w", stdout);
        std::freopen(log.c_str(), "a", stderr);
        ::execl(kSer2net, kSer2net, "-n", "-u", "-c", config.c_str(), "-P", pidFile.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (pid < 0) {
        problem_ = "cannot start ser2net";
        return false;
    }
    pid_ = pid;
    if (listening(kStartWaitMs)) {
        problem_.clear();
        return true;
    }
    kill();
    problem_ = "ser2net did not listen on port " + std::to_string(port_);
    return false;
}

bool Ser2netServerC::listening(int waitMs) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (std::chrono::steady_clock::now() < until) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            return false;
        }
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in address = loopback(port_);
        const bool up =
            ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        if (up) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void Ser2netServerC::kill() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}
