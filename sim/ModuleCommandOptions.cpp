#include "sim/ModuleCommandOptions.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <stdexcept>

namespace oryx::sim {
namespace {

constexpr char kStrayBytes[] = "\xF0\xFF";

std::vector<std::string> split(const std::string& text, std::size_t most) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    std::string part;
    while (parts.size() + 1 < most && std::getline(in, part, ',')) {
        parts.push_back(part);
    }
    if (std::getline(in, part)) {
        parts.push_back(part);
    }
    return parts;
}

bool isAddress(const std::string& text) {
    return text.size() == 12 && std::all_of(text.begin(), text.end(),
                                            [](unsigned char c) { return std::isxdigit(c) != 0; });
}

std::string checkedAddress(const std::string& text, const std::string& option) {
    if (!isAddress(text)) {
        throw std::invalid_argument(option + ": an address is 12 hexadecimal digits, not '" + text +
                                    "'");
    }
    return text;
}

} // namespace

CLI::App* ModuleCommandOptions::addTo(CLI::App& app) {
    CLI::App* module = app.add_subcommand(
        "module", "A radio module of the ORYX 64/65 family, spoken to with AT commands. "
                  "SIGUSR1 unplugs it and, sent again, plugs it back in.");
    ModuleSettings& s = m_options.settings;
    module->add_option("--baud", m_baud, "The rate the module runs at (its baud code in effect)")
        ->check(CLI::IsMember({4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600}))
        ->capture_default_str();
    module
        ->add_option("--rates", m_rates,
                     "With --count: the modules run at these rates in turn, the first module at "
                     "the first rate (e.g. --rates 4800,9600,57600); instead of --baud")
        ->delimiter(',')
        ->check(CLI::IsMember({4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600}));
    module
        ->add_option("--baud-code", m_storedBaudCode,
                     "Baud code in permanent memory, taken at the next restart "
                     "(4=4800 5=9600 6=19200 7=38400 8=57600 9=115200 10=230400 11=460800 "
                     "12=921600; default: the code of --baud)")
        ->check(CLI::Range(4, 12));
    module->add_option("--mode", m_mode, "Mode at power-on")
        ->check(CLI::IsMember({"data", "command"}))
        ->capture_default_str();
    module->add_option("--link", m_options.linkName, "Name of the port link (default module)");
    module->add_option("--name", s.name, "Local name")->capture_default_str();
    module->add_option("--address", s.address, "Own address, 12 hexadecimal digits")
        ->capture_default_str();
    module->add_option("--class", s.classOfDevice, "Own class of device")->capture_default_str();
    module->add_option("--client-profile", s.clientProfile, "Default client profile (255: none)")
        ->check(CLI::Range(0, 255))
        ->capture_default_str();
    module->add_option("--server-profile", s.serverProfile, "Default server profile (255: none)")
        ->check(CLI::Range(0, 255))
        ->capture_default_str();
    module->add_option("--connectability", s.connectability, "Connectability mode 1-2")
        ->check(CLI::Range(1, 2))
        ->capture_default_str();
    module->add_option("--discoverability", s.discoverability, "Discoverability mode 1-3")
        ->check(CLI::Range(1, 3))
        ->capture_default_str();
    module->add_option("--paired", m_paired,
                       "Default remote peer 0 as ADDR,NAME (peer code 130); none by default");
    module->add_option("--version", m_versions,
                       "Version strings of the AILVI answer, in order; up to 5, repeatable");
    module->add_option("--device", m_devices,
                       "A device in range as ADDR,CLASS,NAME[,FAULT]; FAULT is fail-once, "
                       "fail-always or never (its name query never answers); repeatable");
    module
        ->add_option("--fault", m_faultNames,
                     "silent: hears and says nothing; garbage: answers arrive garbled; error: "
                     "every command answered ERROR; split: answers one byte at a time; stray: "
                     "two stray bytes before the echo of every line; repeatable")
        ->check(CLI::IsMember({"silent", "garbage", "error", "split", "stray"}));
    module->add_option("--word-fault", m_wordFaults,
                       "WORD=error, WORD=silent (no answer), WORD=hold (answer held back until "
                       "the next line begins) or WORD=MS (answer MS later); WORD as in AGLN for "
                       "AT*AGLN, or a plain line such as AT; repeatable");
    module->add_option("--delay", m_delayMs, "Extra milliseconds before everything it sends");
    module->add_option("--byte-gap", m_byteGapMs, "Milliseconds between bytes with --fault split")
        ->capture_default_str();
    module->add_option("--reply-delay", m_replyDelayMs, "Milliseconds before each answer")
        ->capture_default_str();
    module
        ->add_option("--inquiry-delay", m_inquiryDelayMs,
                     "Milliseconds from AT*AGI to its result lines")
        ->capture_default_str();
    module->add_option("--name-delay", m_nameDelayMs, "Milliseconds from AT*AGND to its answer")
        ->capture_default_str();
    module
        ->add_option("--guard-time", m_guardTimeMs,
                     "Milliseconds of silence needed before and after the escape ///")
        ->capture_default_str();
    module->add_option("--unplug-at-step", m_unplugAfterSteps,
                       "Vanishes on hearing the program's N-th step (each line ending with CR, "
                       "and each escape ///), without answering it; SIGUSR1 plugs it back in");
    module->add_flag("--log", m_log, "Print every byte both ways with a time stamp");
    return module;
}

void ModuleCommandOptions::finish() {
    ModuleSettings& s = m_options.settings;
    checkedAddress(s.address, "--address");
    if (s.name.empty() || s.name.size() > 32) {
        throw std::invalid_argument("--name: 1 to 32 characters");
    }
    s.baudCode = *ModuleSettings::codeForRate(m_baud);
    if (m_versions.size() > s.versions.size()) {
        throw std::invalid_argument("--version: at most 5");
    }
    std::copy(m_versions.begin(), m_versions.end(), s.versions.begin());
    if (!m_paired.empty()) {
        takePaired(m_paired);
    }
    m_options.storedSettings = s;
    if (m_storedBaudCode != 0) {
        m_options.storedSettings.baudCode = m_storedBaudCode;
    }
    m_options.commandMode = m_mode == "command";
    for (const std::string& device : m_devices) {
        takeDevice(device);
    }
    for (const std::string& name : m_faultNames) {
        m_faults.silent |= name == "silent";
        m_faults.garbage |= name == "garbage";
        m_faults.answerError |= name == "error";
        m_faults.splitIntoBytes |= name == "split";
        if (name == "stray") {
            m_moduleFaults.strayBytes = kStrayBytes;
        }
    }
    m_faults.extraDelay = std::chrono::milliseconds(m_delayMs);
    m_faults.byteGap = std::chrono::milliseconds(m_byteGapMs);
    for (const std::string& wordFault : m_wordFaults) {
        takeWordFault(wordFault);
    }
    m_options.replyDelay = std::chrono::milliseconds(m_replyDelayMs);
    m_options.inquiryDelay = std::chrono::milliseconds(m_inquiryDelayMs);
    m_options.nameDelay = std::chrono::milliseconds(m_nameDelayMs);
    m_options.guardTime = std::chrono::milliseconds(m_guardTimeMs);
}

ModuleRadioOptions ModuleCommandOptions::optionsFor(int number) const {
    ModuleRadioOptions options = m_options;
    if (!m_rates.empty()) {
        const auto rate = m_rates[static_cast<std::size_t>(number - 1) % m_rates.size()];
        options.settings.baudCode = *ModuleSettings::codeForRate(rate);
        options.storedSettings.baudCode = options.settings.baudCode;
    }
    return options;
}

void ModuleCommandOptions::takePaired(const std::string& text) {
    const auto parts = split(text, 2);
    if (parts.size() != 2 || parts[1].empty()) {
        throw std::invalid_argument("--paired: ADDR,NAME");
    }
    m_options.settings.peers[0] = {checkedAddress(parts[0], "--paired"), 130, 0, parts[1]};
}

void ModuleCommandOptions::takeDevice(const std::string& text) {
    using NameFault = DeviceInRange::NameFault;
    const auto parts = split(text, 4);
    if (parts.size() < 3 || parts[2].empty()) {
        throw std::invalid_argument("--device: ADDR,CLASS,NAME[,FAULT], not '" + text + "'");
    }
    DeviceInRange device;
    device.address = checkedAddress(parts[0], "--device");
    try {
        device.classOfDevice = std::stol(parts[1]);
    } catch (const std::exception&) {
        throw std::invalid_argument("--device: the class of device is a number, not '" + parts[1] +
                                    "'");
    }
    device.name = parts[2];
    if (parts.size() == 4) {
        const std::string& fault = parts[3];
        if (fault == "fail-once") {
            device.nameFault = NameFault::FailOnce;
        } else if (fault == "fail-always") {
            device.nameFault = NameFault::FailAlways;
        } else if (fault == "never") {
            device.nameFault = NameFault::NeverAnswers;
        } else {
            throw std::invalid_argument("--device: the fault is fail-once, fail-always or never");
        }
    }
    m_options.devices.push_back(device);
}

void ModuleCommandOptions::takeWordFault(const std::string& text) {
    const auto equals = text.find('=');
    if (equals == std::string::npos || equals == 0) {
        throw std::invalid_argument("--word-fault: WORD=error|silent|hold|MS, not '" + text + "'");
    }
    const std::string word = text.substr(0, equals);
    const std::string what = text.substr(equals + 1);
    ModuleFaults::WordFault fault;
    if (what == "error") {
        fault.kind = ModuleFaults::Kind::Error;
    } else if (what == "silent") {
        fault.kind = ModuleFaults::Kind::NoAnswer;
    } else if (what == "hold") {
        fault.kind = ModuleFaults::Kind::Hold;
    } else if (!what.empty() && std::all_of(what.begin(), what.end(),
                                            [](unsigned char c) { return std::isdigit(c) != 0; })) {
        fault.kind = ModuleFaults::Kind::Delay;
        fault.delay = std::chrono::milliseconds(std::stol(what));
    } else {
        throw std::invalid_argument("--word-fault: WORD=error|silent|hold|MS, not '" + text + "'");
    }
    m_moduleFaults.words[word] = fault;
}

} // namespace oryx::sim
