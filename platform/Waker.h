#pragma once

namespace oryx::platform {

// A descriptor another thread can make readable to break a blocked wait. A wake stays
// pending until a wait has reported it, so a wake just before the wait is not lost.
class Waker {
public:
    Waker();
    ~Waker();
    Waker(const Waker&) = delete;
    Waker& operator=(const Waker&) = delete;

    void wake();
    // Consumes pending wakes; true when there was one.
    bool clear();
    int fd() const { return m_fd; }

private:
    int m_fd;
};

} // namespace oryx::platform
