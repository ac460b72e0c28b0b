// oryx-cli --trace and --debug-config, run as the real program against simulated radios.
#include "CliRunS.h"
#include "ScratchDirC.h"
#include "Ser2netServerC.h"
#include "sim/ModemRadio.h"
#include "sim/ModuleRadio.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using oryx::sim::ModemRadio;
using oryx::sim::ModemRadioOptions;
using oryx::sim::ModuleRadio;
using oryx::sim::ModuleRadioOptions;

// One event of a trace: its time, its tag (TX, RX, SET, ...), and the bytes of a chunk
// (continuation lines joined) or the text of a mark.
struct EventS {
    long long time = 0;
    std::string tag;
    std::string data;
};

std::string BytesOfHex(std::istringstream& fields) {
    std::string bytes;
    std::string token;
    while (fields >> token && token.front() != '|') {
        bytes += static_cast<char>(std::stoi(token, nullptr, 16));
    }
    return bytes;
}

// Reads a trace the way docs/trace.md tells a script to.
std::vector<EventS> ParseTrace(const std::string& text) {
    std::vector<EventS> events;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line.front() == '#') {
            continue;
        }
        std::istringstream fields(line);
        EventS event;
        fields >> event.time >> event.tag;
        if (event.tag == "TX+" || event.tag == "RX+") {
            events.back().data += BytesOfHex(fields);
            continue;
        }
        if (event.tag == "TX" || event.tag == "RX") {
            event.data = BytesOfHex(fields);
        } else {
            std::getline(fields >> std::ws, event.data);
        }
        events.push_back(event);
    }
    return events;
}

// Where each needle first occurs in the events of one tag, in the order given: the index of
// the event that holds it, or -1. Bytes are matched across chunk boundaries.
std::vector<long> Positions(const std::vector<EventS>& events, const std::string& tag,
                            const std::vector<std::string>& needles) {
    std::string stream;
    std::vector<long> owner;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i].tag == tag) {
            stream += events[i].data;
            owner.insert(owner.end(), events[i].data.size(), static_cast<long>(i));
        }
    }
    std::vector<long> found;
    for (const std::string& needle : needles) {
        const std::size_t at = stream.find(needle);
        found.push_back(at == std::string::npos ? -1 : owner[at + needle.size() - 1]);
    }
    return found;
}

long IndexOf(const std::vector<EventS>& events, const std::string& tag, const std::string& start) {
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i].tag == tag && events[i].data.rfind(start, 0) == 0) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

void ExpectRising(const std::vector<long>& indexes, const std::string& what) {
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        EXPECT_GE(indexes[i], 0) << what << ": item " << i << " is missing";
        if (i > 0) {
            EXPECT_LT(indexes[i - 1], indexes[i]) << what << ": item " << i << " out of order";
        }
    }
}

class CliTraceTest : public ::testing::Test {
protected:
    std::string LinkName() {
        static int count = 0;
        return "cli-trace-" + std::to_string(::getpid()) + "-" + std::to_string(++count);
    }

    ModemRadio& StartModem(std::uint32_t baud) {
        ModemRadioOptions options;
        options.model = 2450;
        options.baud = baud;
        options.linkName = LinkName();
        modems_.push_back(std::make_unique<ModemRadio>(options));
        modems_.back()->start();
        return *modems_.back();
    }

    ModuleRadio& StartModule(int baudCode) {
        ModuleRadioOptions options;
        options.commandMode = true;
        options.replyDelay = 0ms;
        options.settings.baudCode = baudCode;
        options.storedSettings = options.settings;
        options.linkName = LinkName();
        module_ = std::make_unique<ModuleRadio>(options);
        module_->start();
        return *module_;
    }

    std::vector<EventS> Trace(const std::string& name) const {
        return ParseTrace(ScratchDirC::ReadFile(scratch_.file(name)));
    }

    ScratchDirC scratch_;
    std::vector<std::unique_ptr<ModemRadio>> modems_;
    std::unique_ptr<ModuleRadio> module_;
};

TEST_F(CliTraceTest, ModemReadTracesTheFallbackAndEveryExchangeInOrder) {
    ModemRadio& radio = StartModem(19200);

    const CliRunS run = CliRunS::Of({"modem", "read", "--port", radio.portText(), "--baud",
                                     "115200", "--json", "--trace", scratch_.file("t.txt")});

    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<EventS> events = Trace("t.txt");
    const long at115200 = IndexOf(events, "SET", "115200 8N1");
    const long at19200 = IndexOf(events, "SET", "19200 8N1");
    EXPECT_GE(IndexOf(events, "OPEN", radio.portText()), 0);
    ASSERT_GE(at115200, 0);
    ASSERT_GT(at19200, at115200) << "the rate of the fallback comes after the first";
    const std::vector<long> sent = Positions(events, "TX", {":wit2400\r\n", "wb?", "wn?", "z>"});
    const std::vector<long> heard = Positions(events, "RX", {"WLK2450", ">"});
    ExpectRising(sent, "commands");
    EXPECT_GT(heard[0], at19200) << "the banner is heard at the radio's rate";
    EXPECT_LT(heard[0], sent[0]) << "the banner comes before the attention text";
    EXPECT_GT(heard[1], sent[0]) << "a prompt answers the attention text";
    EXPECT_TRUE(std::is_sorted(events.begin(), events.end(),
                               [](const EventS& a, const EventS& b) { return a.time < b.time; }));
    EXPECT_EQ(events.back().tag, "CLOSE");
}

// The library's port, local or on a device server, is traced as the program's own.
TEST_F(CliTraceTest, ModuleReadTracesTheLibrarysPortWithTheFallbackLocallyAndOverTheNetwork) {
    StartModule(5); // 9600
    // ser2net holds the device while it serves it, so the local run goes first.
    std::unique_ptr<Ser2netServerC> server;
    for (const bool network : {false, true}) {
        if (network) {
            server = std::make_unique<Ser2netServerC>(module_->portText());
            if (!server->available()) {
                std::cerr << "Only the local port: " << server->problem() << std::endl;
                break;
            }
        }
        const std::string port = network ? server->portText() : module_->portText();
        module_->setCommandMode(true);
        const CliRunS run = CliRunS::Of({"module", "read", "--port", port, "--baud", "115200",
                                         "--json", "--trace", scratch_.file("t.txt")});

        ASSERT_EQ(run.status, 0) << port << "\n" << run.err;
        const std::vector<EventS> events = Trace("t.txt");
        const long at115200 = IndexOf(events, "SET", "115200 8N1");
        const long at9600 = IndexOf(events, "SET", "9600 8N1");
        EXPECT_GE(IndexOf(events, "OPEN", port), 0) << port;
        ASSERT_GE(at115200, 0) << port;
        ASSERT_GT(at9600, at115200) << port;
        const std::vector<long> sent = Positions(events, "TX", {"AT*AGLN?\r", "AT*AILBA?\r"});
        ExpectRising(sent, port + " commands");
        EXPECT_GT(sent[0], at9600) << port;
        const std::vector<long> heard = Positions(events, "RX", {"*AGLN:", "*AILBA:"});
        ExpectRising(heard, port + " answers");
        EXPECT_GT(heard[0], sent[0]) << port;
        EXPECT_LT(heard[0], sent[1])
            << port << ": the name is answered before the address is asked";
        EXPECT_GE(IndexOf(events, "PURGE", ""), 0) << port;
    }
}

TEST_F(CliTraceTest, ARunOverTwoPortsWritesATraceForEach) {
    ModemRadio& first = StartModem(115200);
    ModemRadio& second = StartModem(115200);

    const CliRunS run =
        CliRunS::Of({"modem", "read", "--port", first.portText(), "--port", second.portText(),
                     "--json", "--trace", scratch_.file("t.txt")});

    ASSERT_EQ(run.status, 0) << run.err;
    for (const ModemRadio* radio : {&first, &second}) {
        std::string part = radio->portText().substr(1);
        std::replace(part.begin(), part.end(), '/', '_');
        const std::vector<EventS> events = Trace("t-" + part + ".txt");
        EXPECT_GE(IndexOf(events, "OPEN", radio->portText()), 0) << part;
        EXPECT_EQ(IndexOf(events, "OPEN", (radio == &first ? second : first).portText()), -1)
            << part << " holds only its own port";
        EXPECT_GE(Positions(events, "TX", {"wb?"})[0], 0) << part;
    }
    EXPECT_FALSE(std::filesystem::exists(scratch_.file("t.txt")));
}

TEST_F(CliTraceTest, ATraceThatCannotBeWrittenIsAWarningAndNothingIsFollowed) {
    ModemRadio& radio = StartModem(115200);
    ScratchDirC::WriteFile(scratch_.file("kept.txt"), "kept");
    std::filesystem::create_symlink(scratch_.file("kept.txt"), scratch_.file("link.txt"));
    struct CaseS {
        std::string file;
        std::string reason;
    };
    const std::vector<CaseS> cases = {{scratch_.file("missing/t.txt"), "No such file"},
                                      {scratch_.file("link.txt"), "symbolic link"}};
    for (const CaseS& c : cases) {
        const CliRunS run =
            CliRunS::Of({"modem", "read", "--port", radio.portText(), "--json", "--trace", c.file});

        EXPECT_EQ(run.status, 0) << c.file << "\n" << run.err;
        EXPECT_EQ(run.json["status"], "ok") << c.file;
        EXPECT_NE(run.err.find("Warning: cannot write trace " + c.file), std::string::npos)
            << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    }
    EXPECT_EQ(ScratchDirC::ReadFile(scratch_.file("kept.txt")), "kept");
}

TEST_F(CliTraceTest, DebugConfigSwitchesOnTheControllersScopeTrace) {
    StartModule(9);
    ::setenv("XDG_DATA_HOME", scratch_.path().c_str(), 1);
    ScratchDirC::WriteFile(scratch_.file("debug.def"),
                           "# the controller's scope traces\n"
                           "LOGT OpalDeviceControllerImplC INFO controller.txt 2 1\n");

    const CliRunS run = CliRunS::Of({"module", "read", "--port", module_->portText(), "--json",
                                     "--debug-config", scratch_.file("debug.def")});
    ::unsetenv("XDG_DATA_HOME");

    ASSERT_EQ(run.status, 0) << run.err;
    std::string log;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(scratch_.path())) {
        if (entry.path().filename().string().rfind("controller", 0) == 0) {
            log += ScratchDirC::ReadFile(entry.path().string());
        }
    }
    EXPECT_NE(log.find("OpalDeviceControllerImplC::getDeviceNameAndAddress"), std::string::npos)
        << log;
}

} // namespace
