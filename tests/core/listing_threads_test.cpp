// The listing run's worker threads hand each job's record count on to the next job.
// A lost wake-up there hangs the run; this test runs the threaded listing many times on
// small varied inputs, each run watched: a run that does not end fails the test with a
// message instead of hanging it.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <random>
#include <thread>

#include "core/listing/listing.h"

using namespace kestrava;

namespace {

// Fails the whole test program when one watched step takes longer than its limit.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit) : limit_(limit), thread_([this] { watch(); }) { }
    ~Watchdog()
    {
        {
            const std::lock_guard<std::mutex> hold(lock_);
            closing_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    void step(std::string what)
    {
        {
            const std::lock_guard<std::mutex> hold(lock_);
            what_ = std::move(what);
            ++steps_;
        }
        changed_.notify_all();
    }

private:
    void watch()
    {
        std::unique_lock<std::mutex> hold(lock_);
        while (!closing_) {
            const auto seen = steps_;
            if (!changed_.wait_for(hold, limit_, [&] { return closing_ || steps_ != seen; })) {
                std::fprintf(stderr, "HUNG: %s did not end within %lld s\n", what_.c_str(),
                             static_cast<long long>(limit_.count()));
                std::fflush(stderr);
                std::_Exit(3);
            }
        }
    }

    std::chrono::seconds limit_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::string what_ = "the first run";
    std::uint64_t steps_ = 0;
    bool closing_ = false;
    std::thread thread_;
};

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

    ListingFilter error, dates;
    error.errorOn = true;
    error.errorNumber = 27;
    dates.dateOn = true;
    dates.from = Day{std::chrono::year{2009} / 3 / 1};
    dates.to = Day{std::chrono::year{2009} / 6 / 30};
    const ListingFilter filters[] = {ListingFilter{}, error, dates};
    // Cut after a few lengths, each listed once on one thread as the reference.
    const std::size_t lengths[] = {text.size() / 5, text.size() / 3, text.size() / 2, text.size()};
    Listed reference[std::size(lengths)][std::size(filters)];
    Watchdog watchdog(std::chrono::seconds(60));
    for (std::size_t l = 0; l < std::size(lengths); ++l)
        for (std::size_t f = 0; f < std::size(filters); ++f) {
            reference[l][f] = listInPieces(std::string_view(text).substr(0, lengths[l]), filters[f],
                                           1, std::size_t(1) << 20);
            ASSERT_GT(reference[l][f].records, 0u);
        }

    for (int runNumber = 0; runNumber < kRuns; ++runNumber) {
        const std::size_t l = pick(unsigned(std::size(lengths)));
        const std::size_t f = pick(unsigned(std::size(filters)));
        const unsigned threads = 2 + pick(3);
        const std::size_t piece = std::size_t(1) << (8 + pick(13));  // 256 B to 1 MiB
        watchdog.step("run " + std::to_string(runNumber) + " (" + std::to_string(threads) +
                      " threads, pieces of " + std::to_string(piece) + " bytes)");
        const Listed listed =
            listInPieces(std::string_view(text).substr(0, lengths[l]), filters[f], threads, piece);
        ASSERT_EQ(listed.records, reference[l][f].records) << "run " << runNumber;
        ASSERT_TRUE(listed.listing == reference[l][f].listing) << "run " << runNumber;
    }
}
