#include "Fwk_Bio/FWK_BIO_ReaderC.h"

#include "Fwk_Bio/FWK_BIO_ReadConsumerC.h"

namespace FWK::BIO {

void ReaderC::addConsumer(ReadConsumerC* pConsumer) {
    if (pConsumer != nullptr) {
        m_consumers.pushBack(pConsumer);
    }
}

void ReaderC::removeConsumer(ReadConsumerC* pConsumer) {
    if (pConsumer != nullptr && pConsumer->owner() == &m_consumers) {
        m_consumers.remove(pConsumer);
    }
}

bool ReaderC::holds(const ReadConsumerC* pConsumer) const {
    return pConsumer != nullptr && pConsumer->owner() == &m_consumers;
}

} // namespace FWK::BIO
