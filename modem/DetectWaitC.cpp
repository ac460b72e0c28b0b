#include "modem/DetectWaitC.h"

#include "modem/ModemLinkC.h"

bool DetectWaitC::Run(const DetectWaitHooksS& wait) {
    discarded_ = false;
    link_.ClearCommError();
    HeardT heard = HeardT::Nothing;
    while (heard == HeardT::Nothing && !wait.cancelled()) {
        wait.pumpFor(kPollMs);
        heard = Look();
    }
    return !wait.cancelled();
}

DetectWaitC::HeardT DetectWaitC::Look() {
    const ModemLinkC::LineStatusS status = link_.ClearCommError();
    if (status.lineError || !status.ok) {
        return HeardT::LineError;
    }
    if (!discarded_ && (status.inQueue == 1 || status.inQueue == 2)) {
        link_.PurgeQueues();
        discarded_ = true;
        return HeardT::Nothing;
    }
    return status.inQueue == 0 ? HeardT::Nothing : HeardT::Bytes;
}
