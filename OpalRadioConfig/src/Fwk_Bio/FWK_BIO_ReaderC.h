#pragma once

#include "Fwk_Tsk/FWK_TSK_ListC.h"

#include <boost/noncopyable.hpp>

namespace FWK::BIO {

class ReadConsumerC;

// A holder of read consumers. A transfer processor linked to a reader leaves it when destroyed.
class ReaderC : private boost::noncopyable {
public:
    ReaderC() = default;
    virtual ~ReaderC() = default;

    virtual void addConsumer(ReadConsumerC* pConsumer);
    virtual void removeConsumer(ReadConsumerC* pConsumer);
    bool holds(const ReadConsumerC* pConsumer) const;
    int32_t consumerCount() const { return m_consumers.count(); }

private:
    TSK::ListC m_consumers;
};

} // namespace FWK::BIO
