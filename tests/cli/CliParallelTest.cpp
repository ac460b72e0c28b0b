// oryx-cli on several ports at once, run as the real program against simulated radios.
#include "CliProcessC.h"
#include "ScratchDirC.h"
#include "sim/ModemRadio.h"
#include "sim/ModuleRadio.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <random>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using oryx::sim::ModemRadio;
using oryx::sim::ModemRadioOptions;
using oryx::sim::ModuleFaults;
using oryx::sim::ModuleRadio;
using oryx::sim::ModuleRadioOptions;
using Json = nlohmann::json;

constexpr auto kRunLimit = 90s;

std::string LinkName(const std::string& kind) {
    static int count = 0;
    return "par-" + kind + "-" + std::to_string(::getpid()) + "-" + std::to_string(++count);
}

std::vector<std::string> PortArgs(const std::vector<std::string>& ports) {
    std::vector<std::string> args;
    for (const std::string& port : ports) {
        args.insert(args.end(), {"--port", port});
    }
    return args;
}

// The file of one port: the port text with its slashes made '_' goes before the extension.
std::string PortFile(const ScratchDirC& scratch, const std::string& stem, const std::string& port,
                     const std::string& extension) {
    std::string part = port.substr(port.find_first_not_of('/'));
    std::replace(part.begin(), part.end(), '/', '_');
    return scratch.file(stem + "-" + part + extension);
}

// Counts how many of the watched ports are open at the same time. One inotify instance holds
// the openings and closings of all of them in the order they happened, which the simulated
// radios' own threads might take in out of order.
class OpenPortsC {
public:
    explicit OpenPortsC(const std::vector<std::string>& paths) {
        for (const std::string& path : paths) {
            ::inotify_add_watch(fd_, path.c_str(), IN_OPEN | IN_CLOSE);
        }
    }
    ~OpenPortsC() { ::close(fd_); }

    // The most ports that were open at once so far.
    int MostAtOnce() {
        alignas(inotify_event) std::array<char, 4096> buffer{};
        ssize_t n = 0;
        while ((n = ::read(fd_, buffer.data(), buffer.size())) > 0) {
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                int& opened = openers_[event->wd];
                if ((event->mask & IN_OPEN) != 0) {
                    open_ += ++opened == 1 ? 1 : 0;
                } else if ((event->mask & IN_CLOSE) != 0 && opened > 0) {
                    open_ -= --opened == 0 ? 1 : 0;
                }
                most_ = std::max(most_, open_);
            }
        }
        return most_;
    }

private:
    int fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    std::map<int, int> openers_;
    int open_ = 0;
    int most_ = 0;
};

class CliParallelTest : public ::testing::Test {
protected:
    ModemRadio& StartModem(int model, std::uint32_t baud, bool banner = true) {
        ModemRadioOptions options;
        options.model = model;
        options.baud = baud;
        options.bannerOnOpen = banner;
        options.linkName = LinkName("modem");
        modems_.push_back(std::make_unique<ModemRadio>(options));
        modems_.back()->start();
        return *modems_.back();
    }

    ModuleRadio& StartModule() {
        ModuleRadioOptions options;
        options.commandMode = true;
        options.replyDelay = 0ms;
        return StartModule(options);
    }

    ModuleRadio& StartModule(ModuleRadioOptions options) {
        options.linkName = LinkName("module");
        modules_.push_back(std::make_unique<ModuleRadio>(options));
        modules_.back()->start();
        return *modules_.back();
    }

    ScratchDirC scratch_;
    std::vector<std::unique_ptr<ModemRadio>> modems_;
    std::vector<std::unique_ptr<ModuleRadio>> modules_;
};

// Eight radios at once: four modems of three models at three rates read in one run, four
// modules written in another, where one module is silent and one refuses the write.
TEST_F(CliParallelTest, EachPortGetsItsOwnResultAndAFaultyRadioSpoilsOnlyItsOwn) {
    const std::vector<std::pair<int, std::uint32_t>> models = {
        {2400, 115200}, {2410, 19200}, {2450, 115200}, {2410, 9600}};
    std::vector<std::string> modemPorts;
    for (const auto& [model, baud] : models) {
        modemPorts.push_back(StartModem(model, baud).portText());
    }
    std::vector<std::string> modulePorts;
    for (int i = 0; i < 4; ++i) {
        modulePorts.push_back(StartModule().portText());
    }
    ModuleFaults refusing;
    refusing.words["AGDM"] = {ModuleFaults::Kind::Error};
    modules_[2]->setModuleFaults(refusing);
    oryx::sim::Faults silent;
    silent.silent = true;
    modules_[3]->setFaults(silent);

    std::vector<std::string> modemArgs = {"modem",
                                          "read",
                                          "--json",
                                          "--event-log",
                                          scratch_.file("run.log"),
                                          "--save",
                                          scratch_.file("bay.json")};
    const std::vector<std::string> modemPortArgs = PortArgs(modemPorts);
    modemArgs.insert(modemArgs.end(), modemPortArgs.begin(), modemPortArgs.end());
    std::vector<std::string> moduleArgs = {"module", "write",  "--json", "--name",
                                           "Bay 7",  "--role", "server"};
    const std::vector<std::string> modulePortArgs = PortArgs(modulePorts);
    moduleArgs.insert(moduleArgs.end(), modulePortArgs.begin(), modulePortArgs.end());
    CliProcessC modemCli(ORYX_CLI_PATH, modemArgs);
    CliProcessC moduleCli(ORYX_CLI_PATH, moduleArgs);

    ASSERT_EQ(modemCli.Wait(kRunLimit), 0) << modemCli.err();
    const Json modemResults = Json::parse(modemCli.out(), nullptr, false);
    ASSERT_TRUE(modemResults.is_array() && modemResults.size() == 4) << modemCli.out();
    for (std::size_t i = 0; i < models.size(); ++i) {
        const Json& result = modemResults[i];
        EXPECT_EQ(result["port"], modemPorts[i]);
        EXPECT_EQ(result["status"], "ok");
        EXPECT_EQ(result["model"], models[i].first);
        EXPECT_EQ(result["baud"], models[i].second);
        // Each log holds its own radio's talk and nobody else's.
        const std::string log =
            ScratchDirC::ReadFile(PortFile(scratch_, "run", modemPorts[i], ".log"));
        EXPECT_NE(log.find("Radio settings read OK."), std::string::npos) << modemPorts[i];
        for (std::size_t j = 0; j < models.size(); ++j) {
            const std::string banner = "WLK" + std::to_string(models[j].first);
            EXPECT_EQ(log.find(banner) != std::string::npos, models[i].first == models[j].first)
                << modemPorts[i] << " " << banner;
        }
        // So does each profile: one thread per file.
        const Json profile =
            Json::parse(ScratchDirC::ReadFile(PortFile(scratch_, "bay", modemPorts[i], ".json")),
                        nullptr, false);
        EXPECT_EQ(profile["model"], models[i].first) << modemPorts[i];
    }
    EXPECT_NE(modemCli.err().find(modemPorts[1] + ": Waiting for radio at 19200 bps..."),
              std::string::npos)
        << modemCli.err();

    ASSERT_EQ(moduleCli.Wait(kRunLimit), 1) << moduleCli.err();
    const Json moduleResults = Json::parse(moduleCli.out(), nullptr, false);
    ASSERT_TRUE(moduleResults.is_array() && moduleResults.size() == 4) << moduleCli.out();
    const std::vector<std::string> statuses = {"ok", "ok", "failed", "connect-failed"};
    for (std::size_t i = 0; i < statuses.size(); ++i) {
        EXPECT_EQ(moduleResults[i]["port"], modulePorts[i]);
        EXPECT_EQ(moduleResults[i]["status"], statuses[i]) << moduleResults[i];
    }
    EXPECT_EQ(moduleResults[2]["error"], "Failed to write settings");
    EXPECT_EQ(modules_[0]->storedSettings().name, "Bay 7");
    EXPECT_EQ(modules_[1]->storedSettings().name, "Bay 7");
    EXPECT_NE(modules_[2]->storedSettings().name, "Bay 7");
    EXPECT_NE(moduleCli.err().find(modulePorts[3] + ": Connect with 4800 baud failed"),
              std::string::npos)
        << moduleCli.err();
    // Each failure's message on its own line, as a single port prints it.
    for (const auto& [port, message] : {std::pair{modulePorts[2], "Failed to write settings"},
                                        std::pair{modulePorts[3], "Connect failed!"}}) {
        EXPECT_NE(moduleCli.err().find(port + ": " + message + "\n"), std::string::npos)
            << moduleCli.err();
    }
}

TEST_F(CliParallelTest, CtrlCCancelsEveryPortWithinTwoSecondsAndTheTableSaysSo) {
    std::vector<std::string> ports;
    for (int i = 0; i < 3; ++i) {
        ports.push_back(StartModem(2410, 115200, false).portText());
    }
    std::vector<std::string> args = {"modem", "read"};
    const std::vector<std::string> portArgs = PortArgs(ports);
    args.insert(args.end(), portArgs.begin(), portArgs.end());
    CliProcessC cli(ORYX_CLI_PATH, args);
    ASSERT_TRUE(cli.WaitForError(ports[2] + ": Please disconnect", 20s)) << cli.err();
    cli.Interrupt();
    const auto interrupted = std::chrono::steady_clock::now();

    EXPECT_EQ(cli.Wait(kRunLimit), 4) << cli.err();
    EXPECT_LT(std::chrono::steady_clock::now() - interrupted, 3s);
    for (const std::string& port : ports) {
        // The port column is as wide as the longest port text.
        const auto at = cli.out().find(port + " ");
        ASSERT_NE(at, std::string::npos) << cli.out();
        const std::string row = cli.out().substr(at);
        EXPECT_EQ(row.substr(0, row.find('\n')).substr(row.find_first_not_of(' ', port.size())),
                  "cancelled  Cancelled while waiting for the radio.")
            << cli.out();
    }
}

TEST_F(CliParallelTest, JobsBoundHowManyPortsAreOpenAtOnce) {
    ModuleRadioOptions slow;
    slow.guardTime = 300ms;
    std::vector<std::string> ports;
    std::vector<std::string> slaves;
    for (int i = 0; i < 5; ++i) {
        const ModuleRadio& module = StartModule(slow);
        ports.push_back(module.portText());
        slaves.push_back(module.slavePath());
    }
    OpenPortsC open(slaves);
    std::vector<std::string> args = {"module", "read", "--json", "--jobs", "2"};
    const std::vector<std::string> portArgs = PortArgs(ports);
    args.insert(args.end(), portArgs.begin(), portArgs.end());
    CliProcessC cli(ORYX_CLI_PATH, args);

    ASSERT_EQ(cli.Wait(kRunLimit), 0) << cli.err();
    EXPECT_EQ(open.MostAtOnce(), 2);
    const Json results = Json::parse(cli.out(), nullptr, false);
    ASSERT_TRUE(results.is_array() && results.size() == ports.size()) << cli.out();
}

// Ctrl-C at any moment of a run, also while a port is deep inside the library and must be
// left behind: the program ends with every port's row and never by a signal. Half the ports
// are still waiting for a place. Five runs go at once on fleets of their own to fit fifty
// cancellations in the time.
TEST_F(CliParallelTest, CtrlCAtAnyMomentEndsWithEveryRowAndNeverCrashes) {
    constexpr int kLanes = 5;
    constexpr int kRunsPerLane = 10;
    ModuleRadioOptions slow;
    slow.replyDelay = 150ms;
    std::array<std::vector<std::string>, kLanes> fleets;
    for (auto& fleet : fleets) {
        for (int i = 0; i < 16; ++i) {
            fleet.push_back(StartModule(slow).portText());
        }
    }
    std::array<std::vector<std::string>, kLanes> failures;
    auto lane = [&](int number) {
        std::mt19937 random(static_cast<unsigned>(::getpid() + number));
        std::vector<std::string> args = {"module", "read", "--json", "--jobs", "8"};
        const std::vector<std::string> portArgs = PortArgs(fleets[number]);
        args.insert(args.end(), portArgs.begin(), portArgs.end());
        for (int run = 0; run < kRunsPerLane; ++run) {
            CliProcessC cli(ORYX_CLI_PATH, args);
            // Once a port has spoken, Ctrl-C is the program's to handle.
            if (!cli.WaitForError(fleets[number].front() + ": ", 20s)) {
                failures[number].push_back("no progress: " + cli.err());
                continue;
            }
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::uniform_int_distribution<>(0, 1500)(random)));
            cli.Interrupt();
            const int status = cli.Wait(30s);
            const Json results = Json::parse(cli.out(), nullptr, false);
            const bool everyRow = results.is_array() && results.size() == 16;
            if (status != 4 || !everyRow) {
                failures[number].push_back("exit " + std::to_string(status) + ": " + cli.out());
            }
        }
    };
    std::vector<std::thread> others;
    for (int number = 1; number < kLanes; ++number) {
        others.emplace_back(lane, number);
    }
    lane(0);
    for (std::thread& other : others) {
        other.join();
    }
    for (const auto& lost : failures) {
        EXPECT_TRUE(lost.empty()) << lost.size() << " runs went wrong; the first: " << lost.front();
    }
}

} // namespace