#pragma once

namespace FWK::TSK {

class SysComponentC;
class SysComponentContainerC;

// Walks a tree of components: enter and leave bracket a container's children.
class SysComponentVisitorI {
public:
    virtual ~SysComponentVisitorI() = default;
    virtual void visit(SysComponentC* pComponent) = 0;
    virtual void enter(SysComponentContainerC* pContainer) = 0;
    virtual void leave(SysComponentContainerC* pContainer) = 0;
};

} // namespace FWK::TSK
