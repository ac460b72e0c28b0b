#include "Fwk_Bio/FWK_BIO_ReadConsumerC.h"
#include "Fwk_Bio/FWK_BIO_ReaderC.h"
#include "Fwk_Bio/FWK_BIO_XferProcC.h"
#include "Fwk_Err/FWK_ERR_LockingExceptionC.h"
#include "Fwk_Tsk/FWK_TSK_BinarySemaphoreC.h"
#include "ORC_CFG_Types.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using namespace FWK::BIO;
using namespace ORC::CFG;
using namespace std::chrono_literals;

namespace {
// Signals once it has seen a line feed, as a response processor does with a final answer.
class LineTransferC : public XferProcC<ReadConsumerC, ReaderC> {
public:
    void procReadData(const char* pData, uint32_t ulLength) override {
        m_strReceived.append(pData, ulLength);
        if (m_strReceived.find('\n') != std::string::npos) {
            signal();
        }
    }
    std::string m_strReceived;
};

std::chrono::milliseconds elapsedSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
}
} // namespace

TEST(XferProcTest, WaitGivesOkOnlyForAPendingSignalAndAbsorbsASecondOne) {
    LineTransferC transfer;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CFG_TIMEOUT, transfer.wait(0));
    EXPECT_LT(elapsedSince(start), 50ms);

    transfer.signal();
    transfer.signal();
    EXPECT_EQ(CFG_OK, transfer.wait(0));
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(CFG_TIMEOUT, transfer.wait(60));
    EXPECT_GE(elapsedSince(start), 60ms);
}

TEST(XferProcTest, WaitObjectThatCannotBeCreatedThrowsLockingException) {
    FWK::TSK::BinarySemaphoreC::failCreationAfter(1);
    try {
        LineTransferC transfer;
        FAIL() << "no exception";
    } catch (const ERR::LockingExceptionC& rError) {
        EXPECT_EQ(0x3101001, rError.code());
    }
}

TEST(XferProcTest, TransferDestroyedWhileLinkedLeavesItsReader) {
    ReaderC reader;
    auto pKept = std::make_unique<LineTransferC>();
    {
        LineTransferC transfer;
        reader.addConsumer(&transfer);
        reader.addConsumer(pKept.get());
        transfer.setReader(&reader);
        EXPECT_EQ(2, reader.consumerCount());
    }
    EXPECT_EQ(1, reader.consumerCount());
    EXPECT_TRUE(reader.holds(pKept.get()));
}
