#pragma once

#include "Fwk_Tsk/FWK_TSK_ObserverC.h"

namespace FWK::TSK {

// An observer that stands for a group of observers at one subject. The subject owns it and
// deletes it when its last member leaves.
class GroupObserverI : public ObserverC {
public:
    virtual void add(ObserverC* pObserver) = 0;
    virtual void remove(ObserverC* pObserver, bool& rbBecameEmpty) = 0;
};

} // namespace FWK::TSK
