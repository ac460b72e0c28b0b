#include "app/ConfigDialogFactoryC.h"

void ConfigDialogFactoryC::Register(int radioType, CreatorT creator) {
    creators_[radioType] = std::move(creator);
}

std::unique_ptr<QDialog> ConfigDialogFactoryC::Create(int radioType, bool serviceMode) const {
    auto found = creators_.find(radioType);
    if (found == creators_.end() || !found->second) {
        return nullptr;
    }
    return found->second(serviceMode);
}
