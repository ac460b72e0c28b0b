#pragma once

#include <boost/noncopyable.hpp>
#include <pthread.h>

namespace FWK::TSK {

// A semaphore with count 0 or 1. It has no owner: any thread may release what another took.
// Creation can fail (the kernel may refuse the objects); check isValid() before use.
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

    pthread_mutex_t m_mutex;
    pthread_cond_t m_condition;
    bool m_bFree;
    bool m_bValid = false;
    bool m_bMutexCreated = false;
};

} // namespace FWK::TSK
