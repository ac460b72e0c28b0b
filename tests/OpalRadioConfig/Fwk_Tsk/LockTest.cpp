#include "../WaitUntil.h"
#include "Fwk_Err/FWK_ERR_LockingExceptionC.h"
#include "Fwk_Tsk/FWK_TSK_BinarySemaphoreC.h"
#include "Fwk_Tsk/FWK_TSK_CriticalSectionC.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"
#include "Fwk_Tsk/FWK_TSK_ReaderWriterLockC.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

using namespace FWK::TSK;
using namespace std::chrono_literals;

namespace {
// Long enough that a thread that could enter would have entered.
constexpr auto SETTLE = 100ms;

// Starts a thread that takes the lock and records when it is inside.
struct ContenderT {
    std::atomic<bool> bInside{false};
    std::thread thread;

    explicit ContenderT(LockC& rLock, bool bUnlockAfter = true)
        : thread([this, &rLock, bUnlockAfter] {
              rLock.lock();
              bInside = true;
              if (bUnlockAfter) {
                  rLock.unlock();
              }
          }) {}
    ~ContenderT() {
        if (thread.joinable()) {
            thread.join();
        }
    }
};
} // namespace

TEST(CriticalSectionTest, OwnerReentersAndOthersWaitForTheLastUnlock) {
    CriticalSectionC section;
    section.lock();
    section.lock();
    ContenderT other(section);
    section.unlock();
    std::this_thread::sleep_for(SETTLE);
    EXPECT_FALSE(other.bInside);
    section.unlock();
    other.thread.join();
    EXPECT_TRUE(other.bInside);
}

TEST(GuardTest, ExceptionLeavesTheLockFree) {
    CriticalSectionC section;
    try {
        GuardC guard(section);
        throw std::runtime_error("leave");
    } catch (const std::runtime_error&) {
    }
    ContenderT other(section);
    other.thread.join();
    EXPECT_TRUE(other.bInside);
}

TEST(ReaderWriterLockTest, ReadersShareAndAWriterWaitsForBothInEitherOrder) {
    for (bool bFirstReaderLeavesFirst : {true, false}) {
        ReaderWriterLockC rw;
        std::atomic<int> readersInside{0};
        BinarySemaphoreC leaveFirst(false), leaveSecond(false);
        auto reader = [&](BinarySemaphoreC& rLeave) {
            rw.readLock().lock();
            ++readersInside;
            rLeave.wait();
            rw.readLock().unlock();
        };
        std::thread r1(reader, std::ref(leaveFirst));
        const bool bFirstIn = waitUntil([&] { return readersInside >= 1; });
        std::thread r2(reader, std::ref(leaveSecond));
        // A second reader enters while the first is inside.
        if (!bFirstIn || !waitUntil([&] { return readersInside >= 2; })) {
            leaveFirst.release();
            leaveSecond.release();
            r1.join();
            r2.join();
            FAIL() << "readers inside together: " << readersInside;
        }
        ContenderT writer(rw.writeLock());
        std::this_thread::sleep_for(SETTLE);
        EXPECT_FALSE(writer.bInside);
        (bFirstReaderLeavesFirst ? leaveFirst : leaveSecond).release();
        std::this_thread::sleep_for(SETTLE);
        EXPECT_FALSE(writer.bInside);
        (bFirstReaderLeavesFirst ? leaveSecond : leaveFirst).release();
        r1.join();
        r2.join();
        writer.thread.join();
        EXPECT_TRUE(writer.bInside);
    }
}

TEST(ReaderWriterLockTest, ReaderWaitsForWriterAndWritersExcludeEachOther) {
    ReaderWriterLockC rw;
    rw.writeLock().lock();
    ContenderT reader(rw.readLock());
    ContenderT writer(rw.writeLock());
    std::this_thread::sleep_for(SETTLE);
    EXPECT_FALSE(reader.bInside);
    EXPECT_FALSE(writer.bInside);
    rw.writeLock().unlock();
    reader.thread.join();
    writer.thread.join();
    EXPECT_TRUE(reader.bInside);
    EXPECT_TRUE(writer.bInside);
}

TEST(ReaderWriterLockTest, ReadLockTakenOnOneThreadIsReleasedByAnother) {
    ReaderWriterLockC rw;
    std::thread([&] { rw.readLock().lock(); }).join();
    ContenderT writer(rw.writeLock());
    std::this_thread::sleep_for(SETTLE);
    EXPECT_FALSE(writer.bInside);
    std::thread([&] { rw.readLock().unlock(); }).join();
    writer.thread.join();
    EXPECT_TRUE(writer.bInside);
}

TEST(ReaderWriterLockTest, ManyThreadsNeverSeeAWriterBesideAnyoneElse) {
    ReaderWriterLockC rw;
    std::atomic<int> readers{0}, writers{0};
    std::atomic<bool> bViolation{false};
    auto work = [&](bool bWriter) {
        for (int i = 0; i < 2000; ++i) {
            GuardC guard(bWriter ? rw.writeLock() : rw.readLock());
            std::atomic<int>& rMine = bWriter ? writers : readers;
            ++rMine;
            if (writers > 1 || (writers == 1 && readers > 0)) {
                bViolation = true;
            }
            --rMine;
        }
    };
    std::thread a(work, true), b(work, false), c(work, false), d(work, true);
    a.join();
    b.join();
    c.join();
    d.join();
    EXPECT_FALSE(bViolation);
}

TEST(ReaderWriterLockTest, FailedSecondSemaphoreThrowsLockingExceptionWithEmptyText) {
    BinarySemaphoreC::failCreationAfter(2);
    try {
        ReaderWriterLockC rw;
        FAIL() << "no exception";
    } catch (const ERR::SysServiceErrorC& rError) {
        EXPECT_NE(nullptr, dynamic_cast<const ERR::LockingExceptionC*>(&rError));
        EXPECT_EQ(0x3101001, rError.code());
        EXPECT_STREQ("", rError.what());
    }
    // The failure was one-shot: the next lock is created normally.
    EXPECT_NO_THROW(ReaderWriterLockC());
}

TEST(BinarySemaphoreTest, TimedWaitExpiresAndReleaseNeverCountsAboveOne) {
    BinarySemaphoreC semaphore(false);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(semaphore.waitFor(50));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
    semaphore.release();
    semaphore.release();
    EXPECT_TRUE(semaphore.waitFor(0));
    EXPECT_FALSE(semaphore.waitFor(0));
}

TEST(ErrorBaseTest, MessageTextIsKeptOnlyWhileTheSwitchIsOnAndIsCutAt239) {
    ERR::ErrorBaseC silent(7, "text");
    EXPECT_STREQ("", silent.what());

    ERR::ErrorBaseC::setMessageTextEnabled(true);
    ERR::ErrorBaseC error(7, "lock ");
    error.appendNumber(0x3101001);
    error.appendText(nullptr);
    EXPECT_STREQ("lock 0x03101001", error.what());
    ERR::ErrorBaseC copy(error);
    EXPECT_STREQ("lock 0x03101001", copy.what());
    error.appendText(std::string(300, 'x').c_str());
    EXPECT_EQ(239u, std::strlen(error.what()));
    error.appendText("more");
    EXPECT_EQ(239u, std::strlen(error.what()));
    ERR::ErrorBaseC::setMessageTextEnabled(false);
}

// A waiter takes the semaphore, returns and destroys it while the releasing thread may still be
// inside release(): the pattern of every request that is waited on and then goes out of scope.
// Meant to be run under ThreadSanitizer too, which sees a signal on a destroyed semaphore.
TEST(BinarySemaphoreTest, WaiterMayDestroyTheSemaphoreAsSoonAsItHasTakenIt) {
    constexpr int ITERATIONS = 20000;
    std::atomic<BinarySemaphoreC*> pPending{nullptr};
    std::atomic<bool> bStop{false};
    std::thread releaser([&] {
        while (!bStop) {
            if (BinarySemaphoreC* pSemaphore = pPending.exchange(nullptr)) {
                pSemaphore->release();
            }
        }
    });
    int iTaken = 0;
    for (int i = 0; i < ITERATIONS; ++i) {
        BinarySemaphoreC semaphore(false);
        pPending = &semaphore;
        iTaken += semaphore.waitFor(5000) ? 1 : 0;
    }
    bStop = true;
    releaser.join();
    EXPECT_EQ(ITERATIONS, iTaken);
}
