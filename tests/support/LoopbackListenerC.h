#pragma once

// A TCP port on 127.0.0.1 that listens and never answers, to tell whether a program tried to
// connect to it: a connection is waiting in the queue as soon as connect() has returned on
// the other side, so asking afterwards needs no waiting.
class LoopbackListenerC {
public:
    LoopbackListenerC();
    ~LoopbackListenerC();
    LoopbackListenerC(const LoopbackListenerC&) = delete;
    LoopbackListenerC& operator=(const LoopbackListenerC&) = delete;

    int port() const { return port_; }
    // True when a connection has come since the last call.
    bool TakeConnection();

private:
    int fd_ = -1;
    int port_ = 0;
};
