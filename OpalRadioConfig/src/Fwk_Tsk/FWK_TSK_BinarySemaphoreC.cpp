#include "Fwk_Tsk/FWK_TSK_BinarySemaphoreC.h"

#include <atomic>
#include <cerrno>
#include <ctime>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

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
static_assert(std::atomic<std::uint32_t>::is_always_lock_free &&
                  sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t),
              "the futex word must be a plain 32-bit word");

// Sleeps while the word is still 0, until woken or the absolute monotonic deadline (none:
// forever); false only when the deadline has passed.
bool futexWaitWhileTaken(std::atomic<std::uint32_t>& rWord, const timespec* pDeadline) {
    const long lResult =
        syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&rWord), FUTEX_WAIT_BITSET_PRIVATE, 0U,
                pDeadline, nullptr, FUTEX_BITSET_MATCH_ANY);
    return lResult == 0 || errno != ETIMEDOUT;
}

void futexWakeOne(std::atomic<std::uint32_t>& rWord) {
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&rWord), FUTEX_WAKE_PRIVATE, 1, nullptr,
            nullptr, 0);
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

BinarySemaphoreC::BinarySemaphoreC(bool bInitiallyFree)
    : m_unState(bInitiallyFree ? 1 : 0), m_bValid(!injectedFailureDue()) {}

BinarySemaphoreC::~BinarySemaphoreC() = default;

bool BinarySemaphoreC::tryTake() {
    std::uint32_t unExpected = 1;
    return m_unState.compare_exchange_strong(unExpected, 0, std::memory_order_acquire);
}

void BinarySemaphoreC::wait() {
    while (!tryTake()) {
        futexWaitWhileTaken(m_unState, nullptr);
    }
}

bool BinarySemaphoreC::waitFor(unsigned long ulMilliseconds) {
    const timespec deadline = deadlineAfter(ulMilliseconds);
    while (!tryTake()) {
        if (!futexWaitWhileTaken(m_unState, &deadline)) {
            return tryTake();
        }
    }
    return true;
}

void BinarySemaphoreC::release() {
    // A waiter sleeps only while the word is 0; releasing a free semaphore wakes nobody. Once
    // the word is 1 a waiter may take it and destroy the object before the wake-up call below,
    // which then finds no sleeper at that address (or wakes one spuriously, which every futex
    // waiter tolerates) and touches no memory of ours.
    if (m_unState.exchange(1, std::memory_order_release) == 0) {
        futexWakeOne(m_unState);
    }
}

} // namespace FWK::TSK
