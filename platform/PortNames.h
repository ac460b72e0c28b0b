#pragma once

#include <optional>
#include <string>
#include <string_view>

// A port text is what the user picks and the settings store: a device name relative to /dev
// ("ttyUSB0", "pts/4"), an absolute path (a simulator's link), or the number n of the
// traditional COMn, which names /dev/ttyS(n-1) so that a stored "1" keeps meaning the first
// built-in port. "rfc2217://HOST:PORT" names a port on a device server (NetworkSerialPort).
namespace oryx::platform::PortNames {

// n for "n", "COMn", "COMn:" and "\\.\COMn"; nothing for any other text.
std::optional<unsigned> comNumber(std::string_view portText);

struct NetworkAddress {
    std::string host;
    std::string port;
};

// True for every text of the rfc2217:// form, well made or not.
bool isNetworkPort(std::string_view portText);
// Host and TCP port of an rfc2217:// text; nothing unless the host is a name or address
// (IPv6 in brackets) and the port a number from 1 to 65535.
std::optional<NetworkAddress> networkAddress(std::string_view portText);

// The device to open; empty when the text cannot name one (empty text, COM0).
std::string devicePath(std::string_view portText);

// How messages name the port: "COM" + n for a COM number, otherwise the text itself.
std::string displayName(std::string_view portText);

// List order: by name stem, then by trailing number (ttyS2 before ttyS10); names without a
// number sort as plain text.
bool comesBefore(std::string_view a, std::string_view b);

bool samePort(std::string_view a, std::string_view b);

// Equal for two texts that name one port: for a local text that leads to a character device,
// links followed, that device's number (a simulator's link and the pty it names give one);
// otherwise devicePath, such as for a network port or a device that is not there. One stat
// per text, so that a long list is quick to check.
std::string portIdentity(std::string_view portText);

} // namespace oryx::platform::PortNames
