// The listing run's worker threads hand each job's record count on to the next job.
// A lost wake-up there hangs the run; this test runs the threaded listing many times on
// small varied inputs, each run watched: a run that does not end fails the test with a
// message instead of hanging it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <random>
#include <string>

#include "core/listing/listing.h"

using namespace kestrava;

namespace {

struct Listed {
    std::string listing;
    std::uint64_t records = 0;
};

Listed listInPieces(const std::string_view text, const ListingFilter& filter, unsigned threads,
                    std::size_t piece)
{
    Listed out;
    ListingRun run(filter, "", [&out](std::string_view bytes) {
        out.listing.append(bytes);
        return true;
    });
    run.setThreads(threads);
    for (std::size_t at = 0; at < text.size(); at += piece)
        run.feed(text.substr(at, std::min(piece, text.size() - at)));
    out.records = run.finish().records;
    return out;
}

// listInPieces on a thread of its own; a run that does not end within a minute fails
// the whole test program with a message instead of hanging it.
Listed watched(const std::string& what, const std::string_view text, const ListingFilter& filter,
               unsigned threads, std::size_t piece)
{
    auto done = std::async(std::launch::async, listInPieces, text, filter, threads, piece);
    if (done.wait_for(std::chrono::seconds(60)) == std::future_status::timeout) {
        std::fprintf(stderr, "HUNG: %s did not end within 60 s\n", what.c_str());
        std::fflush(stderr);
        std::_Exit(3);
    }
    return done.get();
}

}  // namespace

TEST(ListingThreads, ManyShortThreadedRunsNeverHang)
{
#ifdef _WIN32
    constexpr int kRuns = 200;  // under Wine each run costs more
#else
    constexpr int kRuns = 1000;
#endif
    std::mt19937 random(25);
    const auto pick = [&random](unsigned n) { return random() % n; };

    // A download of a few jobs' worth (a job takes a quarter of a megabyte of source),
    // some records filtered out, some long enough to be listed apart.
    std::string text = "Weld\tSerial\tDate\tTime\tError";
    while (text.size() < (std::size_t(3) << 19)) {
        text += pick(4) == 0 ? "\r" : "\r\n";
        text += std::to_string(pick(100000)) + "\tS-" + std::to_string(pick(9)) + "\t" +
                std::to_string(1 + pick(28)) + "/0" + std::to_string(1 + pick(9)) +
                "/2009\t10:00\t" + std::to_string(pick(30));
        if (pick(2000) == 0)
            text += "\t" + std::string(20000 + pick(50000), 'w');
    }
    text += "\r\n";

    const ListingFilter filters[] = {{},
                                     {.errorOn = true, .errorNumber = 27},
                                     {.dateOn = true,
                                      .from = Day{std::chrono::year{2009} / 3 / 1},
                                      .to = Day{std::chrono::year{2009} / 6 / 30}}};
    // Cut after a few lengths, each listed once on one thread as the reference.
    const std::size_t lengths[] = {text.size() / 5, text.size() / 3, text.size() / 2, text.size()};
    Listed reference[std::size(lengths)][std::size(filters)];
    for (std::size_t l = 0; l < std::size(lengths); ++l)
        for (std::size_t f = 0; f < std::size(filters); ++f) {
            reference[l][f] = watched("a first run", std::string_view(text).substr(0, lengths[l]),
                                      filters[f], 1, std::size_t(1) << 20);
            ASSERT_GT(reference[l][f].records, 0u);
        }

    for (int runNumber = 0; runNumber < kRuns; ++runNumber) {
        const std::size_t l = pick(unsigned(std::size(lengths)));
        const std::size_t f = pick(unsigned(std::size(filters)));
        const unsigned threads = 2 + pick(3);
        const std::size_t piece = std::size_t(1) << (8 + pick(13));  // 256 B to 1 MiB
        const Listed listed =
            watched("run " + std::to_string(runNumber) + " (" + std::to_string(threads) +
                        " threads, pieces of " + std::to_string(piece) + " bytes)",
                    std::string_view(text).substr(0, lengths[l]), filters[f], threads, piece);
        ASSERT_EQ(listed.records, reference[l][f].records) << "run " << runNumber;
        ASSERT_TRUE(listed.listing == reference[l][f].listing) << "run " << runNumber;
    }
}
