#include "core/files/file_copy.h"

#include <cstring>

#include "core/files/file_io.h"
#include "core/files/write_behind.h"

namespace kestrava::fileio {

FileResult copyThrough(const std::filesystem::path& source, const std::filesystem::path& target,
                       bool replaceExisting, const Progress& progress, const ChunkStep& step)
{
    Reader reader;
    if (auto opened = reader.open(source); !opened)
        return opened;
    AtomicWriter writer;
    if (auto created = writer.open(target, replaceExisting); !created)
        return created;
    WriteBehind behind(writer);
    if (!behind.ok()) {
        FileResult noMemory;
        noMemory.fault = FileFault::OutOfMemory;
        noMemory.path = source.string();
        return noMemory;
    }

    const std::uint64_t total = reader.size();
    std::uint64_t done = 0;
    std::uint8_t carried[kMostCarried];
    std::size_t carrying = 0;
    for (;;) {
        std::uint8_t* const buffer = behind.buffer();
        if (!buffer)
            return behind.finish();
        std::memcpy(buffer, carried, carrying);
        FileResult readFault;
        const std::size_t got =
            reader.read(buffer + carrying, WriteBehind::kChunk - carrying, readFault);
        if (!readFault.ok())
            return readFault;
        const bool atEnd = got == 0;
        const std::size_t held = carrying + got;
        const std::size_t out = step(buffer, held, atEnd);
        carrying = held - out;
        std::memcpy(carried, buffer + out, carrying);
        behind.write(buffer, out);
        done += out;
        if (progress && !progress(done, total)) {
            behind.finish();
            writer.abandon();
            FileResult cancelled;
            cancelled.fault = FileFault::Cancelled;
            cancelled.path = target.string();
            return cancelled;
        }
        if (atEnd)
            break;
    }
    if (FileResult written = behind.finish(); !written)
        return written;
    return writer.commit();
}

}  // namespace kestrava::fileio
