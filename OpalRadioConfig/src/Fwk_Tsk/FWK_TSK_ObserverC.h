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
    // An observer destroyed while attached leaves its subject first.
    virtual ~ObserverC();

    // True for an observer that must be called on the notifying thread.
    virtual bool isSynchron() const { return false; }

    SubjectC* subject() const { return m_pSubject.load(); }

private:
    friend class SubjectC;

    // An observer attached to one subject must not be attached to another.
    void setSubject(SubjectC* pSubject);
    // Clears the pointer only while it still points at that subject.
    void clearSubject(SubjectC* pSubject) { m_pSubject.compare_exchange_strong(pSubject, nullptr); }

    std::atomic<SubjectC*> m_pSubject{nullptr};
};

} // namespace FWK::TSK
