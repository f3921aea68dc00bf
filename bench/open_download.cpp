// Opens a download file through the loaded download as the window's Open command does
// (a pfd file decoded into the working copy, the listing written to the listing file)
// and prints the seconds the open took and the records listed.
//   Usage: open_download FILE WORKFOLDER
#include <chrono>
#include <cstdio>

#include "core/document/loaded_download.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: open_download FILE WORKFOLDER\n");
        return 2;
    }
    kestrava::LoadedDownload download{std::filesystem::path(argv[2])};
    const auto start = std::chrono::steady_clock::now();
    const auto opened = download.open(argv[1], {});
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (!opened) {
        std::fprintf(stderr, "open failed: %s\n", kestrava::describe(opened.fault().file).c_str());
        return 1;
    }
    std::printf("%.3f s, %llu records\n", took.count(),
                static_cast<unsigned long long>(opened.value().records));
    return 0;
}
