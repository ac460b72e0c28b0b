#pragma once

namespace FWK::TSK {

// The one lock interface of the framework; GuardC works on any of its implementations.
class LockC {
public:
    virtual void lock() = 0;
    virtual void unlock() = 0;
    virtual ~LockC() = default;
};

} // namespace FWK::TSK
