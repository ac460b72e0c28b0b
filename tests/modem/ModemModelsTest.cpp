// What the model table lets a front end ask of a radio, before anything reaches it.
#include "modem/ModemModelsC.h"

#include <gtest/gtest.h>

namespace {

ModemValuesS Values2410() {
    return {.model = 2410, .device = "ORYX62R", .mode = "Remote", .link = 3, .baud = 9600};
}

TEST(ModemMisfit, AChangeGivesOnlyWhatTheModelOffersAndNothingThatLeavesItsCommand) {
    struct ChangeCase {
        int model;
        ModemChangeS change;
        ModemMisfitT misfit;
    };
    const ChangeCase cases[] = {
        {2410, {}, ModemMisfitT::None},
        {2410, {.device = "kv7730", .mode = "BASE", .band = "0a", .power = 1}, ModemMisfitT::None},
        {2450, {.device = "ORYX62R"}, ModemMisfitT::Device},
        {2410, {.mode = "Relay"}, ModemMisfitT::Mode},
        {2410, {.link = 16}, ModemMisfitT::Link},
        {2410, {.link = -1}, ModemMisfitT::Link},
        {2410, {.baud = 38400}, ModemMisfitT::Baud},
        // The band goes into the command as it is.
        {2410, {.band = "0\r"}, ModemMisfitT::Band},
        {2410, {.band = "006"}, ModemMisfitT::Band},
        {2410, {.power = 2}, ModemMisfitT::Power},
        {2450, {.power = 2}, ModemMisfitT::None},
        {2450, {.power = -1}, ModemMisfitT::Power},
    };
    for (const ChangeCase& c : cases) {
        EXPECT_EQ(ModemModelsC::Misfit(c.model, c.change), c.misfit)
            << c.model << " " << c.change.device.value_or("") << c.change.mode.value_or("")
            << c.change.link.value_or(0) << c.change.band.value_or("");
    }
}

TEST(ModemMisfit, ValuesFitOnlyWhenARadioWouldReadThemBackTheSame) {
    struct ValuesCase {
        const char* what;
        ModemValuesS values;
        ModemMisfitT misfit;
    };
    auto with = [](auto change) {
        ModemValuesS values = Values2410();
        change(values);
        return values;
    };
    const ValuesCase cases[] = {
        {"as read", Values2410(), ModemMisfitT::None},
        {"the variant in either mode", with([](ModemValuesS& v) {
             v.device = "KV7730";
             v.mode = "Base";
         }),
         ModemMisfitT::None},
        {"base device in remote mode", with([](ModemValuesS& v) { v.device = "ORYX62B"; }),
         ModemMisfitT::DeviceForMode},
        {"another model's device", with([](ModemValuesS& v) { v.model = 2450; }),
         ModemMisfitT::Device},
        {"no code for the rate", with([](ModemValuesS& v) {
             v.model = 0;
             v.device = "ORYX63R";
         }),
         ModemMisfitT::BaudCode},
        {"power", with([](ModemValuesS& v) { v.power = 2; }), ModemMisfitT::Power},
    };
    for (const ValuesCase& c : cases) {
        EXPECT_EQ(ModemModelsC::Misfit(c.values), c.misfit) << c.what;
    }
}

} // namespace
