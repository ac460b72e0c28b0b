// oryx-sim: runs a simulated radio on a pseudo-terminal until interrupted, for trying the
// program without hardware and for training.

#include "sim/ModemRadio.h"
#include "sim/ModuleCommandOptions.h"
#include "sim/ModuleRadio.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <pthread.h>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using oryx::sim::Direction;
using oryx::sim::TrafficChunk;

std::string printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// With several radios each line names the radio's port first.
void logTraffic(oryx::sim::Traffic& traffic, const std::string& label) {
    const auto start = std::chrono::steady_clock::now();
    traffic.setObserver([start, label](const TrafficChunk& chunk) {
        const double seconds = std::chrono::duration<double>(chunk.time - start).count();
        std::printf("%s%10.3f %s \"%s\"\n", label.c_str(), seconds,
                    chunk.direction == Direction::FromProgram ? "program -> radio"
                                                              : "radio -> program",
                    printable(chunk.bytes).c_str());
        std::fflush(stdout);
    });
}

oryx::sim::Faults faultsFrom(const std::vector<std::string>& names, int delayMs, int byteGapMs) {
    oryx::sim::Faults faults;
    for (const std::string& name : names) {
        faults.silent |= name == "silent";
        faults.garbage |= name == "garbage";
        faults.answerError |= name == "error";
        faults.splitIntoBytes |= name == "split";
    }
    faults.extraDelay = std::chrono::milliseconds(delayMs);
    faults.byteGap = std::chrono::milliseconds(byteGapMs);
    return faults;
}

// One radio keeps the link's own name; several are numbered from 1 after it.
std::string numberedName(const std::string& name, int count, int number) {
    return count == 1 ? name : name + "-" + std::to_string(number);
}

// Each radio holds a few descriptors, so a fleet may need more than the soft limit gives.
void raiseDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// Starts count radios, each on its own pty and link, and prints their port texts on
// standard output, one a line, in order.
// optionsFor(number) gives the options of the number-th radio, from 1.
template <typename RadioT, typename OptionsForT, typename SetupT>
std::vector<std::unique_ptr<RadioT>> startRadios(const OptionsForT& optionsFor,
                                                 const std::string& name, int count, bool log,
                                                 const SetupT& setup) {
    raiseDescriptorLimit();
    std::vector<std::unique_ptr<RadioT>> radios;
    for (int number = 1; number <= count; ++number) {
        auto own = optionsFor(number);
        own.linkName = numberedName(name, count, number);
        radios.push_back(std::make_unique<RadioT>(own));
        RadioT& radio = *radios.back();
        setup(radio);
        if (log) {
            logTraffic(radio.traffic(), count == 1 ? std::string() : radio.portText() + " ");
        }
        radio.start();
    }
    for (const auto& radio : radios) {
        std::printf("%s\n", radio->portText().c_str());
    }
    std::fflush(stdout);
    return radios;
}

const char* kCountHelp = "Number of radios, each on its own port; with more than one their "
                         "links are numbered: NAME-1 to NAME-N";

// Blocks SIGINT and SIGTERM in every thread and returns once one of them arrives.
sigset_t blockStopSignals() {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    return stopSignals;
}

// Runs the modules until SIGINT or SIGTERM; SIGUSR1 unplugs them and plugs them back in in
// turn.
int runModule(oryx::sim::ModuleCommandOptions& command, int count) {
    try {
        command.finish();
    } catch (const std::exception& e) {
        std::cerr << "oryx-sim module: " << e.what() << "\n";
        return 2;
    }
    sigset_t signals = blockStopSignals();
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    try {
        const std::string name =
            command.options().linkName.empty() ? "module" : command.options().linkName;
        auto radios = startRadios<oryx::sim::ModuleRadio>(
            [&command](int number) { return command.optionsFor(number); }, name, count,
            command.log(),
            [&](oryx::sim::ModuleRadio& radio) {
                radio.setFaults(command.faults());
                radio.setModuleFaults(command.moduleFaults());
                radio.unplugAfterSteps(command.unplugAfterSteps());
            });
        for (const auto& radio : radios) {
            std::fprintf(stderr, "Radio module at %u bit/s in %s mode on %s (%s).\n", radio->baud(),
                         radio->inCommandMode() ? "command" : "data", radio->portText().c_str(),
                         radio->slavePath().c_str());
        }
        std::fprintf(stderr, "Ctrl+C ends.\n");
        int signal = 0;
        while (sigwait(&signals, &signal) == 0 && signal == SIGUSR1) {
            // A module may have vanished on its own at the step it was given.
            const bool unplugged = !radios.front()->isPluggedIn();
            for (const auto& radio : radios) {
                unplugged ? radio->replug() : radio->unplug();
            }
            std::fprintf(stderr, "%s\n", unplugged ? "Plugged in again." : "Unplugged.");
        }
        for (const auto& radio : radios) {
            radio->stop();
        }
    } catch (const std::exception& e) {
        std::cerr << "oryx-sim: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Simulated ORYX radios on pseudo-terminals. Each command prints the port texts to "
                 "open, one a line, "
                 "and runs until interrupted (Ctrl+C)."};
    app.require_subcommand(1);

    oryx::sim::ModemRadioOptions options;
    int mode = -1;
    int link = -1;
    int power = -1;
    std::string band;
    std::vector<std::string> values;
    std::vector<std::string> faultNames;
    int replyDelayMs = 5;
    int bannerDelayMs = 600;
    int noiseDelayMs = 300;
    int delayMs = 0;
    int byteGapMs = 2;
    bool noBanner = false;
    bool log = false;

    CLI::App* modem = app.add_subcommand(
        "modem", "A radio modem of the ORYX 62/63 family. SIGUSR1 reconnects its cable: it "
                 "sends its banner, as a radio does then.");
    modem->add_option("--model", options.model, "Model number")
        ->check(CLI::IsMember({2400, 2410, 2450}))
        ->capture_default_str();
    modem->add_flag("--kv", options.kvVariant, "Model 2410 only: the KV7730 unit (range 4)");
    modem->add_option("--baud", options.baud, "The radio's own baud rate")
        ->check(CLI::IsMember({4800, 9600, 14400, 19200, 57600, 115200}))
        ->capture_default_str();
    modem->add_option("--name", options.linkName, "Name of the port link (default modem-<model>)");
    modem->add_option("--mode", mode, "0 = Remote, 1 = Base")->check(CLI::Range(0, 1));
    modem->add_option("--link", link, "Link number 0 to 15")->check(CLI::Range(0, 15));
    modem->add_option("--power", power, "Transmit power index")->check(CLI::Range(0, 2));
    modem->add_option("--band", band, "Frequency band code, two hex digits (e.g. 06)");
    modem->add_option("--set", values,
                      "Any two-letter parameter as NAME=HEX (e.g. --set pw=34); repeatable");
    modem->add_option("--reply-delay", replyDelayMs, "Milliseconds before each reply")
        ->capture_default_str();
    modem->add_flag("--no-banner", noBanner, "Send no banner when the port is opened");
    modem
        ->add_option("--banner-delay", bannerDelayMs,
                     "Milliseconds from the port being opened to the banner")
        ->capture_default_str();
    modem->add_option("--banner", options.banner, "Banner text instead of the model's own");
    modem->add_option("--noise", options.noiseBytes, "Bytes of line noise before the banner")
        ->check(CLI::Range(0, 2));
    modem
        ->add_option("--noise-delay", noiseDelayMs,
                     "Milliseconds from the port being opened to the noise")
        ->capture_default_str();
    modem
        ->add_option("--fault", faultNames,
                     "silent: no answers; garbage: answers arrive garbled; error: every "
                     "command answered ERROR; split: answers one byte at a time; repeatable")
        ->check(CLI::IsMember({"silent", "garbage", "error", "split"}));
    modem->add_option("--refuse", options.refused,
                      "A two-letter parameter whose set commands are answered ERROR (e.g. "
                      "--refuse pe); repeatable");
    modem->add_option("--delay", delayMs, "Extra milliseconds before everything it sends");
    modem->add_option("--byte-gap", byteGapMs, "Milliseconds between bytes with --fault split")
        ->capture_default_str();
    modem->add_flag("--log", log, "Print every byte both ways with a time stamp");
    int count = 1;
    modem->add_option("--count", count, kCountHelp)->check(CLI::Range(1, 1000));

    oryx::sim::ModuleCommandOptions moduleCommand;
    CLI::App* module = moduleCommand.addTo(app);
    int moduleCount = 1;
    module->add_option("--count", moduleCount, kCountHelp)->check(CLI::Range(1, 1000));

    CLI11_PARSE(app, argc, argv);
    if (module->parsed()) {
        return runModule(moduleCommand, moduleCount);
    }

    if (mode >= 0) {
        options.values["wb"] = static_cast<unsigned>(mode);
    }
    if (link >= 0) {
        options.values["wn"] = static_cast<unsigned>(link);
    }
    if (power >= 0) {
        options.values["wp"] = static_cast<unsigned>(power);
    }
    try {
        if (!band.empty()) {
            options.values["pe"] = static_cast<unsigned>(std::stoul(band, nullptr, 16));
        }
        for (const std::string& assignment : values) {
            const auto equals = assignment.find('=');
            if (equals != 2) {
                throw std::invalid_argument(assignment);
            }
            options.values[assignment.substr(0, 2)] =
                static_cast<unsigned>(std::stoul(assignment.substr(3), nullptr, 16));
        }
    } catch (const std::exception&) {
        std::cerr << "oryx-sim: values are hexadecimal, parameters NAME=HEX\n";
        return 2;
    }
    options.replyDelay = std::chrono::milliseconds(replyDelayMs);
    options.bannerDelay = std::chrono::milliseconds(bannerDelayMs);
    options.noiseDelay = std::chrono::milliseconds(noiseDelayMs);
    options.bannerOnOpen = !noBanner;

    sigset_t signals = blockStopSignals();
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    try {
        const std::string name =
            options.linkName.empty() ? "modem-" + std::to_string(options.model) : options.linkName;
        const oryx::sim::Faults faults = faultsFrom(faultNames, delayMs, byteGapMs);
        auto radios = startRadios<oryx::sim::ModemRadio>(
            [&options](int) { return options; }, name, count, log,
            [&](oryx::sim::ModemRadio& radio) { radio.setFaults(faults); });
        for (const auto& radio : radios) {
            std::fprintf(stderr, "Model %d at %u bit/s on %s (%s).\n", radio->model(),
                         radio->baud(), radio->portText().c_str(), radio->slavePath().c_str());
        }
        std::fprintf(stderr, "Ctrl+C ends.\n");
        int signal = 0;
        while (sigwait(&signals, &signal) == 0 && signal == SIGUSR1) {
            for (const auto& radio : radios) {
                radio->reconnectCable();
            }
            std::fprintf(stderr, "Cable reconnected.\n");
        }
        for (const auto& radio : radios) {
            radio->stop();
        }
    } catch (const std::exception& e) {
        std::cerr << "oryx-sim: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
