#include "DelayProxyC.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::size_t kReadSize = 4096;
// A side that does not take its bytes at once is asked again this soon.
constexpr int kRetryMs = 5;

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

// Small chunks go out at once: the delay is the proxy's, not Nagle's.
void SendAtOnce(int fd) {
    int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

} // namespace

DelayProxyC::DelayProxyC(int targetPort, Ms oneWay, Ms jitter)
    : targetPort_(targetPort), oneWay_(oneWay), jitter_(jitter) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        problem_ = std::string("the delaying proxy cannot listen: ") + std::strerror(errno);
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    listenFd_ = fd;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
}

DelayProxyC::~DelayProxyC() {
    if (thread_.joinable()) {
        stop_.wake();
        thread_.join();
    }
    CloseConnection();
    if (listenFd_ >= 0) {
        ::close(listenFd_);
    }
}

std::string DelayProxyC::portText() const {
    return "rfc2217://127.0.0.1:" + std::to_string(port_);
}

int DelayProxyC::connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

void DelayProxyC::Run() {
    for (;;) {
        const bool connected = up_.from >= 0;
        std::vector<pollfd> fds = {{stop_.fd(), POLLIN, 0}};
        fds.push_back({connected ? -1 : listenFd_, POLLIN, 0});
        for (FlowS* flow : {&up_, &down_}) {
            const bool room = !flow->ended && flow->heldBytes < kMaxHeld;
            fds.push_back({connected && room ? flow->from : -1, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), PollTimeoutMs()) < 0 && errno != EINTR) {
            return;
        }
        if (fds[0].revents != 0) {
            return;
        }
        if (fds[1].revents != 0) {
            Accept();
            continue;
        }
        bool broken = false;
        for (std::size_t i = 0; i < 2; ++i) {
            FlowS& flow = i == 0 ? up_ : down_;
            if (fds[2 + i].revents != 0 && !ReadInto(flow)) {
                flow.ended = true;
            }
        }
        for (FlowS* flow : {&up_, &down_}) {
            broken = broken || (connected && !SendDue(*flow));
            if (connected && flow->ended && flow->held.empty()) {
                ::shutdown(flow->to, SHUT_WR);
            }
        }
        if (broken || (up_.ended && down_.ended && up_.held.empty() && down_.held.empty())) {
            CloseConnection();
        }
    }
}

void DelayProxyC::Accept() {
    const int program = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (program < 0) {
        return;
    }
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in target = Loopback(targetPort_);
    if (server < 0 ||
        ::connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) {
        ::close(program);
        if (server >= 0) {
            ::close(server);
        }
        return;
    }
    SendAtOnce(program);
    SendAtOnce(server);
    up_ = FlowS{program, server, {}, 0, {}, false};
    down_ = FlowS{server, program, {}, 0, {}, false};
    std::lock_guard lock(mutex_);
    ++connections_;
}

void DelayProxyC::CloseConnection() {
    for (int fd : {up_.from, down_.from}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    up_ = FlowS{};
    down_ = FlowS{};
}

bool DelayProxyC::ReadInto(FlowS& flow) {
    std::vector<unsigned char> bytes(kReadSize);
    const ssize_t got = ::recv(flow.from, bytes.data(), bytes.size(), MSG_DONTWAIT);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
        return true;
    }
    if (got <= 0) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(got));
    flow.lastDue = DueFor(flow);
    flow.heldBytes += bytes.size();
    flow.held.push_back({flow.lastDue, std::move(bytes)});
    return true;
}

// Sends every chunk whose time has come; false when the receiving side is gone.
bool DelayProxyC::SendDue(FlowS& flow) {
    while (!flow.held.empty() && flow.held.front().due <= Clock::now()) {
        std::vector<unsigned char>& bytes = flow.held.front().bytes;
        const ssize_t sent =
            ::send(flow.to, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent < 0) {
            return errno == EAGAIN || errno == EINTR;
        }
        flow.heldBytes -= static_cast<std::size_t>(sent);
        bytes.erase(bytes.begin(), bytes.begin() + sent);
        if (!bytes.empty()) {
            return true;
        }
        flow.held.pop_front();
    }
    return true;
}

// The delay with its jitter, but never before the chunk ahead: TCP keeps the order.
DelayProxyC::Clock::time_point DelayProxyC::DueFor(const FlowS& flow) {
    std::uniform_int_distribution<long> spread(-jitter_.count(), jitter_.count());
    const Ms delay = std::max(Ms::zero(), oneWay_ + Ms(spread(random_)));
    return std::max(flow.lastDue, Clock::now() + delay);
}

int DelayProxyC::PollTimeoutMs() const {
    std::optional<Clock::time_point> next;
    for (const FlowS* flow : {&up_, &down_}) {
        if (!flow->held.empty() && (!next || flow->held.front().due < *next)) {
            next = flow->held.front().due;
        }
    }
    if (!next) {
        return -1;
    }
    const auto wait = std::chrono::duration_cast<Ms>(*next - Clock::now()).count() + 1;
    return wait <= 0 ? kRetryMs : static_cast<int>(std::min<long>(wait, 1000));
}
