#pragma once

#include <atomic>

namespace FWK::TSK {

class SubjectC;

// An observer knows the one subject it is attached to. The pointer is exchanged atomically so
// that it can be read without the subject's lock.
class ObserverC {
public:
    ObserverC() = default;
    ObserverC(const ObserverC&) = delete;
    ObserverC& operator=(const ObserverC&) = delete;
    virtual ~ObserverC() = default;

    // True for an observer that must be called on the notifying thread.
    virtual bool isSynchron() const { return false; }

    SubjectC* subject() const { return m_pSubject.load(); }

private:
    friend class SubjectC;

    // An observer attached to one subject must not be attached to another.
    void setSubject(SubjectC* pSubject);
    void clearSubject() { m_pSubject.store(nullptr); }

    std::atomic<SubjectC*> m_pSubject{nullptr};
};

} // namespace FWK::TSK
