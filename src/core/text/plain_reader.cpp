#include "core/text/plain_reader.h"

#include <memory>
#include <string>

#include "core/text/scrambling.h"

namespace kestrava {

namespace {

constexpr std::size_t kReadChunk = std::size_t(1) << 20;

}  // namespace

FileResult readPlainText(fileio::Reader& source, const std::filesystem::path& sourcePath,
                         bool scrambled, const PlainPiece& take, const Progress& progress)
{
    std::unique_ptr<char[]> buffer(new char[kReadChunk]);
    std::string decoded;
    ScrambleStream decoder(ScrambleDirection::Decode);
    const std::uint64_t total = source.size();
    std::uint64_t done = 0;
    for (;;) {
        FileResult readFault;
        const std::size_t got = source.read(buffer.get(), kReadChunk, readFault);
        if (!readFault.ok())
            return readFault;
        if (got == 0)
            break;
        done += got;
        bool going;
        if (scrambled) {
            decoded.clear();
            decoder.feed({reinterpret_cast<const std::uint8_t*>(buffer.get()), got}, decoded);
            going = take(decoded);
        } else {
            going = take(std::string_view(buffer.get(), got));
        }
        if (!going)
            return {};
        if (progress && !progress(done, total)) {
            FileResult cancelled;
            cancelled.fault = FileFault::Cancelled;
            cancelled.path = sourcePath.string();
            return cancelled;
        }
    }
    if (scrambled) {
        // The unpaired last byte of an odd-sized file.
        decoded.clear();
        decoder.finish(decoded);
        if (!decoded.empty())
            take(decoded);
    }
    return {};
}

FileResult readPlainText(const std::filesystem::path& source, bool scrambled,
                         const PlainPiece& take, const Progress& progress)
{
    fileio::Reader reader;
    if (FileResult opened = reader.open(source); !opened.ok())
        return opened;
    return readPlainText(reader, source, scrambled, take, progress);
}

}  // namespace kestrava
