// Throughput of the scrambling in memory and through files.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/text/scrambling.h"
#include "../tests/support/sample_download.h"

namespace {

void DecodeBytes(benchmark::State& state)
{
    const std::string text = sample::wideDownload(std::size_t(state.range(0)));
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                                              text.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(kestrava::decodeBytes(bytes));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(DecodeBytes)->Arg(100000);

void DecodeStream(benchmark::State& state)
{
    const std::string text = sample::wideDownload(std::size_t(state.range(0)));
    std::string out;
    out.reserve(1 << 20);
    for (auto _ : state) {
        kestrava::ScrambleStream stream(kestrava::ScrambleDirection::Decode);
        for (std::size_t at = 0; at < text.size(); at += 1 << 20) {
            out.clear();
            const std::size_t n = std::min<std::size_t>(1 << 20, text.size() - at);
            stream.feed({reinterpret_cast<const std::uint8_t*>(text.data() + at), n}, out);
            benchmark::DoNotOptimize(out.data());
        }
        out.clear();
        stream.finish(out);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(DecodeStream)->Arg(100000);

void DecodeFile(benchmark::State& state)
{
    const auto folder = std::filesystem::temp_directory_path();
    const auto source = folder / "kestrava-bench-source.pfd";
    const auto target = folder / "kestrava-bench-target.xls";
    const std::string text = sample::wideDownload(std::size_t(state.range(0)));
    std::ofstream(source, std::ios::binary) << text;
    for (auto _ : state) {
        const auto result =
            kestrava::scrambleFile(kestrava::ScrambleDirection::Decode, source, target);
        if (!result.ok())
            state.SkipWithError("decode failed");
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
    std::filesystem::remove(source);
    std::filesystem::remove(target);
}
BENCHMARK(DecodeFile)->Arg(300000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
