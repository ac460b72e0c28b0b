#pragma once

#include <atomic>
#include <boost/noncopyable.hpp>
#include <cstdint>

namespace FWK::TSK {

// A semaphore with count 0 or 1. It has no owner: any thread may release what another took.
// A waiter may destroy it as soon as it has taken it, while the releasing thread may still be
// inside release(): release touches the object only through one atomic exchange before the
// wake-up call, which needs no live object. Check isValid() before use.
class BinarySemaphoreC : private boost::noncopyable {
public:
    explicit BinarySemaphoreC(bool bInitiallyFree);
    ~BinarySemaphoreC();

    bool isValid() const { return m_bValid; }

    void wait();
    // Returns false when the time ran out before the semaphore could be taken.
    bool waitFor(unsigned long ulMilliseconds);
    // Releasing a free semaphore leaves it free (the count never exceeds 1).
    void release();

    // Test seam: the n-th creation from now (1 = the next one) fails as if the kernel refused it.
    static void failCreationAfter(unsigned unCreations);

private:
    static bool injectedFailureDue();
    bool tryTake();

    // 1 free, 0 taken; the futex word the waiters sleep on.
    std::atomic<std::uint32_t> m_unState;
    bool m_bValid = false;
};

} // namespace FWK::TSK
