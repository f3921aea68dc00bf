// The hold-back gate between a listing run and a destination that must see nothing of
// a file that is not a weld-record download (kestrava-cli's standard output): the
// listing is held back until its header is recognised and the family decided (or the
// source has ended), then passed on as it comes; a file that gets no family gives the
// destination nothing, and one whose header is not recognised nothing either.
#pragma once

#include <string>
#include <string_view>

#include "core/files/file_result.h"
#include "core/listing/listing.h"

namespace kestrava {

class ListingGate {
public:
    // destination must outlive the gate.
    explicit ListingGate(const ListingRun::Write& destination) : destination_(destination) { }
    ListingGate(const ListingGate&) = delete;
    ListingGate& operator=(const ListingGate&) = delete;

    // The run whose listing the gate takes through write(); set before its first feed.
    void watch(const ListingRun& run) { run_ = &run; }

    // The run's write callback. False once the destination refused a piece.
    bool write(std::string_view bytes);

    // At the end of a finished run: a listed file's listing still held back goes out.
    void finish(const ListingSummary& summary);

    // FileFault::TargetWrite once the destination refused a piece.
    const FileResult& fault() const { return fault_; }

private:
    bool pass(std::string_view bytes);

    const ListingRun::Write& destination_;
    const ListingRun* run_ = nullptr;
    std::string held_;
    bool passing_ = false;
    FileResult fault_;
};

}  // namespace kestrava
