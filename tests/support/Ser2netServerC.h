#pragma once

#include <string>
#include <sys/types.h>

// ser2net on the loopback address serving one serial device over Telnet with the COM-port
// control, for tests and benchmarks of network ports. Without ser2net on the machine nothing
// starts and available() says why.
class Ser2netServerC {
public:
    // withControl false serves raw TCP, a server that cannot change the line. charDelay
    // false turns off ser2net's default wait for more characters before it sends a chunk on.
    explicit Ser2netServerC(std::string devicePath, bool withControl = true, bool charDelay = true);
    ~Ser2netServerC();
    Ser2netServerC(const Ser2netServerC&) = delete;
    Ser2netServerC& operator=(const Ser2netServerC&) = delete;

    static bool installed();
    bool available() const { return pid_ > 0; }
    const std::string& problem() const { return problem_; }
    int port() const { return port_; }
    std::string portText() const;
    // Ends the server at once, dropping the connection it serves.
    void kill();

    // A TCP port on 127.0.0.1 that nothing listens on now.
    static int FreePort();

private:
    bool start(const std::string& devicePath, bool withControl, bool charDelay);
    bool listening(int waitMs) const;

    std::string folder_;
    std::string problem_;
    pid_t pid_ = -1;
    int port_ = 0;
};
