#include "Fwk_Tsk/FWK_TSK_ListC.h"

#include "Fwk_Err/FWK_ERR_Report.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"

namespace FWK::TSK {

namespace {
constexpr const char* TWO_LISTS_PANIC =
    "W: ~ListC(this = 0x%lx, newnode = 0x%lx): node in two lists?\r\n";
// Reports name the framework's module and line, so that error logs read the same on every
// platform the framework runs on.
constexpr const char* REPORT_MODULE = "Fwk_Tsk\\FWK_TSK_Mutex";
constexpr int LINE_PUSH_BACK = 458;
constexpr int LINE_INSERT_BEFORE = 501;
constexpr int LINE_INSERT_AFTER = 544;
} // namespace

ListC::ListC() {
    m_sentinel.m_pNext = &m_sentinel;
    m_sentinel.m_pPrev = &m_sentinel;
}

ListC::~ListC() {
    GuardC guard(writeLock());
    // The nodes outlive the list; they must no longer point at it.
    NodeC* pNode = m_sentinel.m_pNext;
    while (pNode != &m_sentinel) {
        NodeC* pNext = pNode->m_pNext;
        pNode->m_pNext = nullptr;
        pNode->m_pPrev = nullptr;
        pNode->m_pOwner = nullptr;
        pNode = pNext;
    }
    m_sentinel.m_pNext = &m_sentinel;
    m_sentinel.m_pPrev = &m_sentinel;
    m_lCount = 0;
}

void ListC::linkBefore(NodeC* pBefore, NodeC* pNode, int iReportLine) {
    if (pNode->m_pOwner == this) {
        return;
    }
    if (pNode->m_pOwner != nullptr) {
        ERR::panicReport(TWO_LISTS_PANIC, ERR::PANIC_TYPE_FRAMEWORK, ERR::toDetail(this),
                         ERR::toDetail(pNode), REPORT_MODULE, iReportLine);
    }
    pNode->m_pNext = pBefore;
    pNode->m_pPrev = pBefore->m_pPrev;
    pBefore->m_pPrev->m_pNext = pNode;
    pBefore->m_pPrev = pNode;
    pNode->m_pOwner = this;
    ++m_lCount;
}

bool ListC::isPositionUsable(const NodeC* pPosition) const {
    return pPosition != nullptr && pPosition->m_pOwner == this;
}

void ListC::pushBack(NodeC* pNode) {
    if (pNode == nullptr) {
        return;
    }
    GuardC guard(writeLock());
    linkBefore(&m_sentinel, pNode, LINE_PUSH_BACK);
}

void ListC::insertBefore(NodeC* pPosition, NodeC* pNode) {
    insertNextTo(pPosition, pNode, false, LINE_INSERT_BEFORE);
}

void ListC::insertAfter(NodeC* pPosition, NodeC* pNode) {
    insertNextTo(pPosition, pNode, true, LINE_INSERT_AFTER);
}

void ListC::insertNextTo(NodeC* pPosition, NodeC* pNode, bool bAfter, int iReportLine) {
    if (pNode == nullptr) {
        return;
    }
    GuardC guard(writeLock());
    // A position outside this list would splice the node into a foreign chain.
    if (!isPositionUsable(pPosition)) {
        FWK_ASSERT(!"insert position is not in this list");
        return;
    }
    linkBefore(bAfter ? pPosition->m_pNext : pPosition, pNode, iReportLine);
}

void ListC::unlink(NodeC* pNode) {
    if (pNode->m_pPrev != nullptr && pNode->m_pPrev->m_pNext == pNode) {
        pNode->m_pPrev->m_pNext = pNode->m_pNext;
    }
    if (pNode->m_pNext != nullptr && pNode->m_pNext->m_pPrev == pNode) {
        pNode->m_pNext->m_pPrev = pNode->m_pPrev;
    }
    pNode->m_pNext = nullptr;
    pNode->m_pPrev = nullptr;
    pNode->m_pOwner = nullptr;
    --m_lCount;
}

void ListC::remove(NodeC* pNode) {
    if (pNode == nullptr) {
        return;
    }
    GuardC guard(writeLock());
    // Only nodes of this list: another list's node is guarded by that list's lock and count.
    if (m_lCount != 0 && pNode->m_pOwner == this) {
        unlink(pNode);
    }
}

void ListC::removeWhileReading(NodeC* pNode) {
    // Stop being a reader. If others still read, wait until they leave and become the writer;
    // if this was the only reader, the writer gate is already held and stays held.
    m_pCountGuard->wait();
    --m_lReaderCount;
    const bool bBecameWriter = m_lReaderCount > 0;
    if (bBecameWriter) {
        m_pCountGuard->release();
        m_pWriterGate->wait();
    }

    if (pNode != nullptr && m_lCount != 0 && pNode->m_pOwner == this) {
        unlink(pNode);
    }

    // Become a reader again.
    if (bBecameWriter) {
        m_pWriterGate->release();
        m_pCountGuard->wait();
    }
    if (++m_lReaderCount == 1 && bBecameWriter) {
        m_pWriterGate->wait();
    }
    m_pCountGuard->release();
}

NodeC* ListC::first() const {
    return m_sentinel.m_pNext == &m_sentinel ? nullptr : m_sentinel.m_pNext;
}

NodeC* ListC::last() const {
    return m_sentinel.m_pPrev == &m_sentinel ? nullptr : m_sentinel.m_pPrev;
}

NodeC* ListC::next(const NodeC* pNode) const {
    if (pNode == nullptr || pNode->m_pNext == nullptr || pNode->m_pNext == &m_sentinel) {
        return nullptr;
    }
    return pNode->m_pNext;
}

NodeC* ListC::prev(const NodeC* pNode) const {
    if (pNode == nullptr || pNode->m_pPrev == nullptr || pNode->m_pPrev == &m_sentinel) {
        return nullptr;
    }
    return pNode->m_pPrev;
}

} // namespace FWK::TSK
