// Throughput of the listing run, without and with filters.
#include <benchmark/benchmark.h>

#include "core/listing/listing.h"
#include "../tests/support/sample_download.h"

namespace {

void ListingRun(benchmark::State& state, const kestrava::ListingFilter& filter)
{
    const std::string text = sample::wideDownload(std::size_t(state.range(0)));
    std::size_t written = 0;
    for (auto _ : state) {
        kestrava::ListingRun run(filter, "", [&](std::string_view bytes) {
            written += bytes.size();
            return true;
        });
        for (std::size_t at = 0; at < text.size(); at += 1 << 20)
            run.feed(std::string_view(text).substr(at, 1 << 20));
        benchmark::DoNotOptimize(run.finish());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
    benchmark::DoNotOptimize(written);
}

void ListAll(benchmark::State& state)
{
    ListingRun(state, {});
}
BENCHMARK(ListAll)->Arg(100000);

void ListDateFilter(benchmark::State& state)
{
    using namespace std::chrono;
    kestrava::ListingFilter filter;
    filter.dateOn = true;
    filter.from = kestrava::Day{year{2009} / 3 / 1};
    filter.to = kestrava::Day{year{2009} / 6 / 30};
    ListingRun(state, filter);
}
BENCHMARK(ListDateFilter)->Arg(100000);

void ListErrorFilter(benchmark::State& state)
{
    kestrava::ListingFilter filter;
    filter.errorOn = true;
    filter.errorNumber = 27;
    ListingRun(state, filter);
}
BENCHMARK(ListErrorFilter)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
