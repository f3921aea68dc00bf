#include "core/text/plain_reader.h"

#include <memory>
#include <string>

#include "core/text/scrambling.h"

namespace kestrava {

namespace {

// The pieces handed over, read or mapped alike (progress and cancelling come between
// them).
constexpr std::size_t kReadChunk = std::size_t(1) << 20;

}  // namespace

FileResult readPlainPieces(fileio::Reader& source, const std::filesystem::path& sourcePath,
                           bool scrambled, const LastingPiece& take,
                           const std::function<void()>& settle, const Progress& progress)
{
    const bool mapped = source.map();
    std::unique_ptr<char[]> buffer(mapped ? nullptr : new char[kReadChunk]);
    const std::shared_ptr<const void> keeper = mapped && !scrambled ? source.keeper() : nullptr;
    std::string decoded;
    ScrambleStream decoder(ScrambleDirection::Decode);
    const std::uint64_t total = source.size();
    for (;;) {
        FileResult readFault;
        std::string_view got;
        if (mapped) {
            if (settle && source.consumed() == total)
                settle();
            got = source.nextMapped(kReadChunk, readFault);
        } else {
            got = {buffer.get(), source.read(buffer.get(), kReadChunk, readFault)};
        }
        if (!readFault.ok())
            return readFault;
        if (got.empty())
            break;
        bool going;
        if (scrambled) {
            decoded.clear();
            decoder.feed({reinterpret_cast<const std::uint8_t*>(got.data()), got.size()}, decoded);
            going = take(decoded, nullptr);
        } else {
            going = take(got, keeper);
        }
        if (!going)
            return {};
        if (progress && !progress(source.consumed(), total)) {
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
            take(decoded, nullptr);
    }
    return {};
}

FileResult readPlainText(fileio::Reader& source, const std::filesystem::path& sourcePath,
                         bool scrambled, const PlainPiece& take, const Progress& progress)
{
    return readPlainPieces(
        source, sourcePath, scrambled,
        [&take](std::string_view piece, const std::shared_ptr<const void>&) { return take(piece); },
        {}, progress);
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
