#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <memory>

// Creates the configuration dialog of a radio family. Each family's dialog registers itself
// here, so the start-up sequence needs to know none of them.
class ConfigDialogFactoryC {
public:
    enum RadioType { MODEM_FAMILY = 0, MODULE_FAMILY = 1 };
    using CreatorT = std::function<std::unique_ptr<QDialog>(bool serviceMode)>;

    void Register(int radioType, CreatorT creator);

    // A new dialog for the family, or nullptr when the type has no dialog.
    std::unique_ptr<QDialog> Create(int radioType, bool serviceMode) const;

private:
    std::map<int, CreatorT> creators_;
};
