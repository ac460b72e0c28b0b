#include "Fwk_Tsk/FWK_TSK_BinarySemaphoreC.h"

#include <atomic>
#include <cerrno>
#include <ctime>

namespace FWK::TSK {

namespace {
std::atomic<unsigned> g_unCreationsUntilFailure{0};

timespec deadlineAfter(unsigned long ulMilliseconds) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    long long llNanos = static_cast<long long>(now.tv_nsec) +
                        static_cast<long long>(ulMilliseconds % 1000) * 1000000LL;
    timespec deadline{};
    deadline.tv_sec = now.tv_sec + static_cast<time_t>(ulMilliseconds / 1000) +
                      static_cast<time_t>(llNanos / 1000000000LL);
    deadline.tv_nsec = static_cast<long>(llNanos % 1000000000LL);
    return deadline;
}
} // namespace

void BinarySemaphoreC::failCreationAfter(unsigned unCreations) {
    g_unCreationsUntilFailure.store(unCreations);
}

bool BinarySemaphoreC::injectedFailureDue() {
    unsigned unLeft = g_unCreationsUntilFailure.load();
    while (unLeft != 0) {
        if (g_unCreationsUntilFailure.compare_exchange_weak(unLeft, unLeft - 1)) {
            return unLeft == 1;
        }
    }
    return false;
}

BinarySemaphoreC::BinarySemaphoreC(bool bInitiallyFree) : m_bFree(bInitiallyFree) {
    if (injectedFailureDue()) {
        return;
    }
    if (pthread_mutex_init(&m_mutex, nullptr) != 0) {
        return;
    }
    m_bMutexCreated = true;
    pthread_condattr_t attributes;
    if (pthread_condattr_init(&attributes) != 0) {
        return;
    }
    // The monotonic clock keeps timed waits right when the wall clock is set.
    bool bCreated = pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC) == 0 &&
                    pthread_cond_init(&m_condition, &attributes) == 0;
    pthread_condattr_destroy(&attributes);
    m_bValid = bCreated;
}

BinarySemaphoreC::~BinarySemaphoreC() {
    if (m_bValid) {
        pthread_cond_destroy(&m_condition);
    }
    if (m_bMutexCreated) {
        pthread_mutex_destroy(&m_mutex);
    }
}

void BinarySemaphoreC::wait() {
    pthread_mutex_lock(&m_mutex);
    while (!m_bFree) {
        pthread_cond_wait(&m_condition, &m_mutex);
    }
    m_bFree = false;
    pthread_mutex_unlock(&m_mutex);
}

bool BinarySemaphoreC::waitFor(unsigned long ulMilliseconds) {
    const timespec deadline = deadlineAfter(ulMilliseconds);
    pthread_mutex_lock(&m_mutex);
    while (!m_bFree) {
        if (pthread_cond_timedwait(&m_condition, &m_mutex, &deadline) == ETIMEDOUT) {
            break;
        }
    }
    const bool bTaken = m_bFree;
    m_bFree = false;
    pthread_mutex_unlock(&m_mutex);
    return bTaken;
}

void BinarySemaphoreC::release() {
    // Signalled under the mutex: once unlocked, the waiter may return and destroy the
    // semaphore (a request waited on and then left), and a later signal would hit freed memory.
    pthread_mutex_lock(&m_mutex);
    m_bFree = true;
    pthread_cond_signal(&m_condition);
    pthread_mutex_unlock(&m_mutex);
}

} // namespace FWK::TSK
