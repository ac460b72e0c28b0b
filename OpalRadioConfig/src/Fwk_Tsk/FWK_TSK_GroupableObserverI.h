#pragma once

namespace FWK::TSK {

class GroupObserverI;
class SubjectC;

// Mixed into an observer that belongs to a group: it is attached through its group observer.
class GroupableObserverI {
public:
    virtual ~GroupableObserverI() = default;
    // The group observer for the subject, created when bCreate is set; none if there is none.
    virtual GroupObserverI* group(SubjectC* pSubject, bool bCreate) = 0;
};

} // namespace FWK::TSK
