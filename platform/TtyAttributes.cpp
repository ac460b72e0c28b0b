#include "platform/TtyAttributes.h"

#include <algorithm>
#include <array>
#include <asm/termbits.h>
#include <cerrno>
#include <cstdint>
#include <sys/ioctl.h>

namespace oryx::platform {
namespace {

struct RateConstant {
    std::uint32_t rate;
    unsigned constant;
};

constexpr std::array<RateConstant, 30> kRates{{
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
}};

unsigned dataBitsFlag(int dataBits) {
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

int dataBitsOf(unsigned cflag) {
    switch (cflag & CSIZE) {
    case CS5:
        return 5;
    case CS6:
        return 6;
    case CS7:
        return 7;
    default:
        return 8;
    }
}

void makeRaw(termios2& tio) {
    tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                     IXANY | INPCK | IGNPAR);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    // With VMIN 0 an empty read returns 0, which is indistinguishable from a hang-up; with
    // VMIN 1 and O_NONBLOCK an empty line reads as EAGAIN and 0 keeps meaning "gone".
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
}

void applyFraming(termios2& tio, const LineSettings& settings) {
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= dataBitsFlag(settings.dataBits) | CREAD | CLOCAL;
    if (settings.parity != Parity::None) {
        tio.c_cflag |= PARENB;
        tio.c_iflag |= INPCK;
        if (settings.parity == Parity::Odd) {
            tio.c_cflag |= PARODD;
        }
    }
    if (settings.stopBits == StopBits::Two) {
        tio.c_cflag |= CSTOPB;
    }
    if (settings.rtsCtsHandshake) {
        tio.c_cflag |= CRTSCTS;
    }
}

void applyRate(termios2& tio, std::uint32_t rate) {
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    const auto known = std::find_if(kRates.begin(), kRates.end(),
                                    [rate](const RateConstant& r) { return r.rate == rate; });
    tio.c_cflag |= known != kRates.end() ? known->constant : BOTHER;
    tio.c_ispeed = rate;
    tio.c_ospeed = rate;
}

} // namespace

int TtyAttributes::applyRaw(int fd, const LineSettings& settings) {
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0) {
        return errno;
    }
    makeRaw(tio);
    applyFraming(tio, settings);
    applyRate(tio, settings.baudRate);
    return ::ioctl(fd, TCSETS2, &tio) == 0 ? 0 : errno;
}

int TtyAttributes::read(int fd, LineSettings& settings) {
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0) {
        return errno;
    }
    settings.baudRate = tio.c_ospeed;
    settings.dataBits = dataBitsOf(tio.c_cflag);
    settings.parity = (tio.c_cflag & PARENB) == 0   ? Parity::None
                      : (tio.c_cflag & PARODD) != 0 ? Parity::Odd
                                                    : Parity::Even;
    settings.stopBits = (tio.c_cflag & CSTOPB) != 0 ? StopBits::Two : StopBits::One;
    settings.rtsCtsHandshake = (tio.c_cflag & CRTSCTS) != 0;
    return 0;
}

} // namespace oryx::platform
