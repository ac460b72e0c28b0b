#include "Fwk_Tsk/FWK_TSK_NodeC.h"

#include "Fwk_Tsk/FWK_TSK_ListC.h"

namespace FWK::TSK {

NodeC::~NodeC() {
    if (m_pOwner != nullptr) {
        m_pOwner->remove(this);
    }
}

void NodeC::insertInto(ListC& rList) {
    rList.pushBack(this);
}

void NodeC::removeFromList() {
    if (m_pOwner != nullptr) {
        m_pOwner->remove(this);
    }
}

} // namespace FWK::TSK
