#include "program/ProgramDialogsC.h"

#if defined(ORYX_HAVE_MODEM_UI)
#include "modem/ORYX_62_63_CfgDlgC.h"
#endif
#if defined(ORYX_HAVE_MODULE_UI)
#include "moduleui/ORYX_64_65_CfgDlgC.h"
#endif

void ProgramDialogsC::RegisterAll([[maybe_unused]] ConfigDialogFactoryC& factory) {
#if defined(ORYX_HAVE_MODEM_UI)
    factory.Register(ConfigDialogFactoryC::MODEM_FAMILY, [](bool serviceMode) {
        auto dialog = std::make_unique<ORYX_62_63_CfgDlgC>();
        dialog->setServiceMode(serviceMode);
        return std::unique_ptr<QDialog>(std::move(dialog));
    });
#endif
#if defined(ORYX_HAVE_MODULE_UI)
    factory.Register(ConfigDialogFactoryC::MODULE_FAMILY, [](bool) {
        return std::unique_ptr<QDialog>(std::make_unique<ORYX_64_65_CfgDlgC>());
    });
#endif
}
