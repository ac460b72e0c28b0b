// Feeds the modem family's reply handling what a radio could send: the text read up to a
// reply's prompt or a banner's ':' (arbitrary bytes, zero bytes included, at most one buffer),
// decoded as a command's value, as a start-up banner, or by FilterBuffer and HexToInt alone.
//
// Input: one byte choosing the handling (and the command a reply answers), for FilterBuffer
// one byte with the start character, then the bytes as read.

#include "FuzzChecks.h"
#include "common/EventLogFileC.h"
#include "modem/ModemDetectionC.h"
#include "modem/ModemLinkC.h"
#include "modem/ModemResultC.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr size_t kSize = ModemLinkC::kBufferSize;
constexpr const char* kCommands[] = {"wb?", "wn?", "sd?", "pe?", "wp5", "sp?"};

// The buffer as ReadTerminatedStr leaves it: the bytes up to the terminator, at most one
// short of the buffer, then zeros.
void FillAsRead(char (&buffer)[kSize], const uint8_t* data, size_t size, char terminator) {
    std::memset(buffer, 0, sizeof buffer);
    const auto* end = std::find(data, data + size, static_cast<uint8_t>(terminator));
    const size_t length = std::min(static_cast<size_t>(end - data), kSize - 1);
    std::memcpy(buffer, data, length);
}

void CheckTerminated(const char (&buffer)[kSize]) {
    FuzzCheck(std::memchr(buffer, '\0', kSize) != nullptr, "buffer left without its end");
}

void CheckFiltered(const char (&buffer)[kSize]) {
    CheckTerminated(buffer);
    FuzzCheck(std::strpbrk(buffer, "\r\n") == nullptr, "a line end survived the filter");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    static EventLogFileC s_noLog("", 0);
    static ModemLinkC s_link(s_noLog);
    const uint8_t choice = data[0];
    ++data;
    --size;
    char buffer[kSize];
    switch (choice % 4) {
    case 0: {
        FillAsRead(buffer, data, size, '>');
        const char* sent = kCommands[(choice / 4) % std::size(kCommands)];
        int value = -1;
        const int rc = s_link.DecodeReply(buffer, sizeof buffer, sent, value);
        FuzzCheck(rc == RC_OK || rc == RC_UNDEFINED, "a reply result outside its codes");
        FuzzCheck(rc == RC_OK || value == -1, "a refused reply changed the value");
        CheckTerminated(buffer);
        break;
    }
    case 1: {
        FillAsRead(buffer, data, size, ':');
        std::string banner;
        int model = -1;
        if (ModemDetectionC::BannerOf(s_link, buffer, sizeof buffer, banner, model)) {
            FuzzCheck(banner.size() >= 7 && banner.size() < kSize, "a banner of impossible size");
            FuzzCheck(banner[0] == 'W', "a banner not starting at its W");
            FuzzCheck(model >= -999 && model <= 9999, "a model number beyond four digits");
            CheckFiltered(buffer);
        }
        CheckTerminated(buffer);
        break;
    }
    case 2: {
        // Any bytes at all, not only what a read leaves: the filter must stay inside them.
        if (size == 0) {
            return 0;
        }
        const char start = static_cast<char>(*data++);
        --size;
        const size_t length = std::min(size, kSize);
        std::memcpy(buffer, data, length);
        std::memset(buffer + length, 0, kSize - length);
        const int rc = s_link.FilterBuffer(buffer, length, start);
        FuzzCheck(rc == 0 || rc == 1, "a filter result outside its codes");
        if (rc == 0) {
            CheckFiltered(buffer);
        }
        break;
    }
    default: {
        const std::string text(reinterpret_cast<const char*>(data), std::min(size, kSize));
        ModemLinkC::HexToInt(text.c_str());
        break;
    }
    }
    return 0;
}
