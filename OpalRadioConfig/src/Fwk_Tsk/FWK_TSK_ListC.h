#pragma once

#include "Fwk_Tsk/FWK_TSK_NodeC.h"
#include "Fwk_Tsk/FWK_TSK_ReaderWriterLockC.h"

#include <cstdint>

namespace FWK::TSK {

// Intrusive doubly linked list that does not own its nodes. Insertions and removals take the
// write lock themselves; a walk (first/next/last/prev) holds readLock() for its whole length
// and removes with removeWhileReading, never with remove.
class ListC : public ReaderWriterLockC {
public:
    ListC();
    ~ListC() override;

    // Inserting a node that is already in this list changes nothing; a node that is in another
    // list is a broken invariant and ends the process.
    virtual void pushBack(NodeC* pNode);
    virtual void insertBefore(NodeC* pPosition, NodeC* pNode);
    virtual void insertAfter(NodeC* pPosition, NodeC* pNode);
    virtual void remove(NodeC* pNode);
    // For a thread that holds the read lock of this list; it holds it again on return.
    virtual void removeWhileReading(NodeC* pNode);

    // None at the ends. No locking: the caller holds the read lock.
    virtual NodeC* first() const;
    virtual NodeC* next(const NodeC* pNode) const;
    virtual NodeC* last() const;
    virtual NodeC* prev(const NodeC* pNode) const;
    virtual int32_t count() const { return m_lCount; }

private:
    // Links pNode in before pBefore, unless it is in this list already; panics for another list,
    // reporting the given line of the calling insertion.
    void linkBefore(NodeC* pBefore, NodeC* pNode, int iReportLine);
    bool isPositionUsable(const NodeC* pPosition) const;
    void insertNextTo(NodeC* pPosition, NodeC* pNode, bool bAfter, int iReportLine);
    void unlink(NodeC* pNode);

    NodeC m_sentinel;
    int32_t m_lCount = 0;
};

} // namespace FWK::TSK
