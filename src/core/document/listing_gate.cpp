#include "core/document/listing_gate.h"

namespace kestrava {

bool ListingGate::write(std::string_view bytes)
{
    const ListingSummary& soFar = run_->summarySoFar();
    if (soFar.outcome == ListingOutcome::NoFamily)
        return true;  // nothing of such a file reaches the destination
    if (!passing_ && (soFar.family != MachineFamily::Unknown || run_->sourceEnded()) &&
        isRecognisedHeader(soFar.headerLine)) {
        passing_ = true;
        const bool sent = pass(held_);
        std::string().swap(held_);
        if (!sent)
            return false;
    }
    if (passing_)
        return pass(bytes);
    held_.append(bytes);
    return true;
}

void ListingGate::finish(const ListingSummary& summary)
{
    if (!run_->writeFailed() && !passing_ && summary.outcome == ListingOutcome::Listed)
        pass(held_);
}

bool ListingGate::pass(std::string_view bytes)
{
    if (!bytes.empty() && !destination_(bytes))
        fault_.fault = FileFault::TargetWrite;
    return fault_.ok();
}

}  // namespace kestrava
