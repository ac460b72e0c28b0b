#include "modem/DetectWaitC.h"

#include "modem/ModemLinkC.h"

bool DetectWaitC::Run(const DetectWaitHooksS& wait) {
    bool discarded = false;
    link_.ClearCommError();
    unsigned inQueue = 0;
    bool lineError = false;
    while (inQueue == 0 && !wait.cancelled() && !lineError) {
        wait.pumpFor(kPollMs);
        ModemLinkC::LineStatusS status = link_.ClearCommError();
        inQueue = status.inQueue;
        lineError = status.lineError || !status.ok;
        if (!discarded && (inQueue == 1 || inQueue == 2)) {
            link_.PurgeQueues();
            inQueue = 0;
            discarded = true;
        }
    }
    return !wait.cancelled();
}
