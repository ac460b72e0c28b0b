#pragma once

#include "Fwk_Bio/FWK_BIO_XferProcBaseC.h"

namespace FWK::BIO {

// A read consumer that a caller can wait on: the consumer, fed on the reader thread, calls
// signal() once it has decided that the transfer is over. Used as XferProcC<ReadConsumerC,
// ReaderC>; procReadData stays for the concrete transfer to implement.
template <class ConsumerT, class ReaderT> class XferProcC : public ConsumerT, public XferProcBaseC {
public:
    XferProcC() = default;
    // A reader must not keep a pointer to a consumer that is gone.
    ~XferProcC() override {
        if (m_pReader != nullptr) {
            m_pReader->removeConsumer(this);
            m_pReader = nullptr;
        }
    }

    void setReader(ReaderT* pReader) { m_pReader = pReader; }
    ReaderT* reader() const { return m_pReader; }

private:
    ReaderT* m_pReader = nullptr;
};

} // namespace FWK::BIO
