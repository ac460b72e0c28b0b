#pragma once

#include <boost/noncopyable.hpp>

namespace FWK::TSK {

class ListC;

// Element of an intrusive ListC. A node belongs to at most one list at a time and leaves it
// when destroyed.
class NodeC : private boost::noncopyable {
public:
    NodeC() = default;
    virtual ~NodeC();

    virtual void insertInto(ListC& rList);
    virtual void removeFromList();

    ListC* owner() const { return m_pOwner; }

private:
    friend class ListC;

    NodeC* m_pNext = nullptr;
    NodeC* m_pPrev = nullptr;
    ListC* m_pOwner = nullptr;
};

} // namespace FWK::TSK
