#include "CliProcessC.h"

#include <csignal>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void ClosePipe(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

} // namespace

CliProcessC::CliProcessC(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input) {
    int in[2], out[2], err[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) {
        throw std::runtime_error("pipe failed");
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
            ::close(fd);
        }
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    outFd_ = out[0];
    errFd_ = err[0];
    // Small enough for the pipe buffer, so this never blocks.
    if (!input.empty() && ::write(in[1], input.data(), input.size()) < 0) {
        throw std::runtime_error("write to child failed");
    }
    ::close(in[1]);
}

CliProcessC::~CliProcessC() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    ClosePipe(outFd_);
    ClosePipe(errFd_);
}

bool CliProcessC::Collect(std::chrono::steady_clock::time_point deadline,
                          const std::string* untilError) {
    while (outFd_ >= 0 || errFd_ >= 0) {
        if (untilError != nullptr && err_.find(*untilError) != std::string::npos) {
            return true;
        }
        const auto left =
            std::chrono::duration_cast<Milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
        if (::poll(fds, 2, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].revents == 0) {
                continue;
            }
            int& fd = i == 0 ? outFd_ : errFd_;
            std::string& text = i == 0 ? out_ : err_;
            char block[4096];
            const ssize_t n = ::read(fd, block, sizeof block);
            if (n > 0) {
                text.append(block, static_cast<size_t>(n));
            } else {
                ClosePipe(fd);
            }
        }
    }
    return untilError == nullptr || err_.find(*untilError) != std::string::npos;
}

bool CliProcessC::WaitForError(const std::string& text, Milliseconds timeout) {
    return Collect(std::chrono::steady_clock::now() + timeout, &text);
}

void CliProcessC::Interrupt() {
    ::kill(pid_, SIGINT);
}

int CliProcessC::Wait(Milliseconds timeout) {
    const bool ended = Collect(std::chrono::steady_clock::now() + timeout, nullptr);
    if (!ended) {
        ::kill(pid_, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
