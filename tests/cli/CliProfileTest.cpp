// Profiles saved by `read --save` and written by `apply`, against simulated radios of both
// families.
#include "CliProcessC.h"
#include "CliRunS.h"
#include "ScratchDirC.h"
#include "sim/ModemRadio.h"
#include "sim/ModuleRadio.h"

#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using oryx::sim::ModemRadio;
using oryx::sim::ModemRadioOptions;
using oryx::sim::ModuleFaults;
using oryx::sim::ModuleRadio;
using oryx::sim::ModuleRadioOptions;
using Json = nlohmann::json;

std::string ErrorOf(const CliRunS& run) {
    return run.json.is_object() && run.json.contains("error") ? run.json["error"].get<std::string>()
                                                              : "";
}

std::vector<std::string> SettingNames(const Json& list) {
    std::vector<std::string> names;
    for (const Json& entry : list) {
        names.push_back(entry["setting"]);
    }
    return names;
}

// What reached the modem beyond queries, the attention text and leaving command mode.
std::vector<std::string> ModemWrites(ModemRadio& radio) {
    std::vector<std::string> writes;
    for (const std::string& line : radio.traffic().writtenLines()) {
        if (!line.empty() && !line.ends_with("?") && !line.starts_with(":wit") && line != "z>") {
            writes.push_back(line);
        }
    }
    return writes;
}

std::string Profile(const std::string& family, const std::string& model,
                    const std::string& settings) {
    return R"({"format": "oryx-config-profile", "version": 1, "family": ")" + family + "\"" +
           (model.empty() ? "" : ", \"model\": " + model) + ", \"settings\": " + settings + "}";
}

const std::string kModem2410 =
    R"({"device": "ORYX62R", "mode": "Remote", "link": 9, "baud": 115200})";

class CliProfileTest : public ::testing::Test {
protected:
    ModemRadio& StartModem(ModemRadioOptions options) {
        options.linkName = NextLinkName();
        modems_.push_back(std::make_unique<ModemRadio>(std::move(options)));
        modems_.back()->start();
        return *modems_.back();
    }

    // In command mode the first ping answers, so no guard time is spent.
    ModuleRadio& StartModule(ModuleRadioOptions options = {}) {
        options.linkName = NextLinkName();
        options.commandMode = true;
        options.replyDelay = 0ms;
        modules_.push_back(std::make_unique<ModuleRadio>(std::move(options)));
        modules_.back()->start();
        return *modules_.back();
    }

    std::string WriteProfile(const std::string& text) {
        const std::string path = scratch_.file("profile-" + std::to_string(++files_) + ".json");
        ScratchDirC::WriteFile(path, text);
        return path;
    }

    static std::string NextLinkName() {
        static int count = 0;
        return "cli-profile-" + std::to_string(::getpid()) + "-" + std::to_string(++count);
    }

    ScratchDirC scratch_;
    std::vector<std::unique_ptr<ModemRadio>> modems_;
    std::vector<std::unique_ptr<ModuleRadio>> modules_;
    int files_ = 0;
};

TEST_F(CliProfileTest, AModemProfileSavedFromOneRadioMakesAnotherOfTheModelTheSame) {
    struct ModelCase {
        int model;
        bool kvVariant;
        std::uint32_t baud;
        std::map<std::string, unsigned> values;
    };
    const ModelCase cases[] = {
        {2400, false, 19200, {{"wb", 1}, {"wn", 12}, {"wp", 0}, {"pe", 0x00}}},
        {2410, true, 57600, {{"wb", 1}, {"wn", 5}, {"wp", 0}, {"pe", 0x0A}}},
        {2450, false, 9600, {{"wb", 0}, {"wn", 15}, {"wp", 2}, {"pe", 0x00}}},
    };
    for (const ModelCase& c : cases) {
        SCOPED_TRACE(c.model);
        ModemRadioOptions source;
        source.model = c.model;
        source.kvVariant = c.kvVariant;
        source.baud = c.baud;
        source.values = c.values;
        ModemRadio& from = StartModem(source);
        ModemRadioOptions blank;
        blank.model = c.model;
        ModemRadio& to = StartModem(blank);
        const std::string path = scratch_.file(std::to_string(c.model) + ".json");

        const CliRunS save =
            CliRunS::Of({"modem", "read", "--port", from.portText(), "--baud",
                         std::to_string(c.baud), "--service", "--save", path, "--json"});
        ASSERT_EQ(save.status, 0) << save.err;
        const CliRunS apply =
            CliRunS::Of({"modem", "apply", path, "--port", to.portText(), "--service", "--json"});

        ASSERT_EQ(apply.status, 0) << apply.err << apply.json.dump();
        EXPECT_FALSE(apply.json["changes"].empty());
        EXPECT_TRUE(apply.json["failed"].empty());
        EXPECT_EQ(to.storedBaud(), c.baud);
        for (const char* parameter : {"wb", "wn", "wp", "pe", "dx", "dm"}) {
            EXPECT_EQ(to.storedValue(parameter), from.value(parameter)) << parameter;
        }
    }
}

TEST_F(CliProfileTest, AModuleProfileSavedFromOneModuleMakesAnotherTheSame) {
    ModuleRadioOptions source;
    source.settings.name = "Bay 5";
    source.settings.clientProfile = 0;
    source.settings.serverProfile = 255;
    source.settings.baudCode = 8;
    ModuleRadio& from = StartModule(source);
    ModuleRadio& to = StartModule();
    const std::string path = scratch_.file("module.json");

    const CliRunS save = CliRunS::Of(
        {"module", "read", "--port", from.portText(), "--baud", "57600", "--save", path, "--json"});
    ASSERT_EQ(save.status, 0) << save.err;
    const CliRunS apply = CliRunS::Of({"module", "apply", path, "--port", to.portText(), "--json"});

    ASSERT_EQ(apply.status, 0) << apply.err << apply.json.dump();
    EXPECT_EQ(SettingNames(apply.json["changes"]),
              (std::vector<std::string>{"name", "role", "moduleBaud"}));
    EXPECT_TRUE(apply.json["failed"].empty());
    EXPECT_EQ(to.storedSettings().name, "Bay 5");
    EXPECT_EQ(to.storedSettings().clientProfile, 0);
    EXPECT_EQ(to.storedSettings().baudCode, 8);
}

// Checked before the port is opened: a port that does not exist would otherwise be status 3.
TEST_F(CliProfileTest, ABadProfileIsAUsageErrorNamingTheFieldAndOpensNoPort) {
    struct BadCase {
        const char* family;
        std::string text;
        const char* error;
    };
    const BadCase cases[] = {
        {"modem", "{\"format\": ", "not JSON"},
        {"modem", "[1, 2]", "not a JSON object"},
        {"modem", R"({"format": "other", "version": 1, "family": "modem", "settings": {}})",
         "format:"},
        {"modem",
         R"({"format": "oryx-config-profile", "version": 2, "family": "modem", "settings": {}})",
         "version: 2 is not known"},
        {"modem", Profile("module", "", R"({"name": "x", "role": "client", "moduleBaud": 9600})"),
         "family: the profile is for a module"},
        {"modem", Profile("modem", "", kModem2410), "model: missing"},
        {"modem", Profile("modem", "2420", kModem2410), "model: 2420 is not a modem model"},
        {"modem",
         Profile("modem", "2410", R"({"device": "ORYX62R", "mode": "Remote", "baud": 9600})"),
         "settings.link: missing"},
        {"modem",
         Profile("modem", "2410",
                 R"({"device": "ORYX62R", "mode": "Remote", "link": 16, "baud": 9600})"),
         "settings.link: 16 is out of range 0 to 15"},
        {"modem",
         Profile("modem", "2410",
                 R"({"device": "ORYX62R", "mode": "Remote", "link": 1, "baud": 38400})"),
         "settings.baud: 38400 is not one of"},
        {"modem", Profile("modem", "2450", kModem2410),
         "settings.device: \"ORYX62R\" is not one of ORYX63R ORYX63B"},
        {"modem",
         Profile("modem", "2410",
                 R"({"device": "ORYX62B", "mode": "Remote", "link": 1, "baud": 9600})"),
         "settings.device: ORYX62B goes with mode Base"},
        {"modem",
         Profile(
             "modem", "2410",
             R"({"device": "ORYX62R", "mode": "Remote", "link": 1, "baud": 9600, "power": 2, "band": "06"})"),
         "settings.power: 2 is out of range 0 to 1"},
        {"modem",
         Profile(
             "modem", "2410",
             R"({"device": "ORYX62R", "mode": "Remote", "link": 1, "baud": 9600, "power": 1, "band": "6G"})"),
         "settings.band: \"6G\" is not two hexadecimal digits"},
        {"modem",
         Profile(
             "modem", "2410",
             R"({"device": "ORYX62R", "mode": "Remote", "link": 1, "baud": 9600, "address": "x"})"),
         "settings.address: not a setting"},
        {"module",
         Profile("module", "",
                 R"({"name": "ABCDEFGHIJKLMNOP", "role": "client", "moduleBaud": 9600})"),
         "settings.name: \"ABCDEFGHIJKLMNOP\" is not 1 to 15 bytes long"},
        {"module",
         Profile("module", "", R"({"name": "a\"\rAT&F", "role": "client", "moduleBaud": 9600})"),
         "settings.name: \"a\\\"\\rAT&F\" holds control characters"},
        {"module",
         Profile("module", "", R"({"name": "Bay 5", "role": "none", "moduleBaud": 9600})"),
         "settings.role: \"none\" is not one of client server"},
        {"module",
         Profile("module", "", R"({"name": "Bay 5", "role": "client", "moduleBaud": "9600"})"),
         "settings.moduleBaud: \"9600\" is not one of"},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.text);
        const CliRunS run = CliRunS::Of(
            {c.family, "apply", WriteProfile(c.text), "--port", "/nonexistent/port", "--json"});

        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(ErrorOf(run).find(c.error), std::string::npos) << ErrorOf(run);
    }
    const CliRunS missing =
        CliRunS::Of({"modem", "apply", scratch_.file("none.json"), "--port", "/nonexistent/port"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos) << missing.err;
}

TEST_F(CliProfileTest, ADryRunOrAModelThatDoesNotFitWritesNothing) {
    struct NoWriteCase {
        int radioModel;
        bool dryRun;
        int status;
        const char* error;
    };
    const NoWriteCase cases[] = {
        {2410, true, 0, ""},
        {2450, false, 1, "the radio is model 2450 and the profile was saved from model 2410"},
    };
    const std::string path = WriteProfile(Profile("modem", "2410", kModem2410));
    for (const NoWriteCase& c : cases) {
        SCOPED_TRACE(c.radioModel);
        ModemRadioOptions options;
        options.model = c.radioModel;
        ModemRadio& radio = StartModem(options);
        std::vector<std::string> args = {"modem",  "apply",          path,
                                         "--port", radio.portText(), "--json"};
        if (c.dryRun) {
            args.push_back("--dry-run");
        }

        const CliRunS run = CliRunS::Of(args);

        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(ErrorOf(run).find(c.error), std::string::npos) << ErrorOf(run);
        EXPECT_TRUE(radio.traffic().waitForWritten("z>\r\n", 5s));
        EXPECT_EQ(ModemWrites(radio), std::vector<std::string>{});
        if (c.dryRun) {
            EXPECT_EQ(run.json["changes"],
                      Json::parse(R"([{"setting": "link", "from": 0, "to": 9}])"));
        }
    }
}

TEST_F(CliProfileTest, AModemSettingTheRadioRefusesIsNamedAfterTheApply) {
    ModemRadioOptions options;
    options.refused = {"pe"};
    ModemRadio& radio = StartModem(options);
    const std::string path = WriteProfile(Profile(
        "modem", "2410",
        R"({"device": "ORYX62R", "mode": "Remote", "link": 9, "baud": 115200, "band": "00", "power": 1})"));

    const CliRunS run =
        CliRunS::Of({"modem", "apply", path, "--port", radio.portText(), "--service", "--json"});

    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(SettingNames(run.json["failed"]), std::vector<std::string>{"band"});
    EXPECT_NE(ErrorOf(run).find("Settings not saved. Not taken: band."), std::string::npos)
        << ErrorOf(run);
    EXPECT_EQ(radio.storedValue("pe"), 0x06u);
    const auto lines = radio.traffic().writtenLines();
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "m>"), lines.end()) << "nothing is stored";
}

TEST_F(CliProfileTest, AModuleSettingTheModuleRefusesIsNamedAfterTheApply) {
    ModuleRadio& module = StartModule();
    ModuleFaults faults;
    // The client role's fourth step: the name that follows it is never written.
    faults.words["ADNRP"] = {ModuleFaults::Kind::Error};
    module.setModuleFaults(faults);
    const std::string path = WriteProfile(
        Profile("module", "", R"({"name": "Bay 7", "role": "client", "moduleBaud": 115200})"));

    const CliRunS run =
        CliRunS::Of({"module", "apply", path, "--port", module.portText(), "--json"});

    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(SettingNames(run.json["failed"]), std::vector<std::string>{"name"});
    EXPECT_NE(ErrorOf(run).find("Failed to write settings; settings that did not take: name"),
              std::string::npos)
        << ErrorOf(run);
    EXPECT_EQ(module.storedSettings().name, "ORYX-64");
}

TEST_F(CliProfileTest, AModuleWithoutARoleIsNotSavedAsAProfileThatCouldNotBeApplied) {
    ModuleRadioOptions options;
    options.settings.clientProfile = 255;
    options.settings.serverProfile = 255;
    ModuleRadio& module = StartModule(options);
    const std::string path = scratch_.file("none.json");

    const CliRunS run =
        CliRunS::Of({"module", "read", "--port", module.portText(), "--save", path, "--json"});

    EXPECT_EQ(run.status, 1);
    EXPECT_NE(ErrorOf(run).find("No profile saved: the module's settings.role"), std::string::npos)
        << ErrorOf(run);
    EXPECT_NE(::access(path.c_str(), F_OK), 0);
}

} // namespace
