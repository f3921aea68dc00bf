// The reading half of an import: a download's record lines read (decoded on the way),
// split and parsed into what the archive keeps of them, and handed over in batches.
// A large file is read on a thread of its own, a few batches ahead of the archive
// writing the ones before; a small one on the caller's thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/fleet/weld_set.h"
#include "core/listing/listing.h"

namespace kestrava::archive {

// A record line as the archive keeps it.
struct ReadRecord {
    std::uint32_t start = 0;  // the line in its batch's lines
    std::uint32_t size = 0;
    std::uint32_t serialStart = 0;  // the serial field in the line
    std::uint32_t serialSize = 0;
    MachineFamily family = MachineFamily::Unknown;
    std::int64_t key = 0;  // lineKey()
    std::optional<std::int64_t> day;  // Julian day number
    std::optional<std::int64_t> error;  // the error number
    std::optional<std::int64_t> row;  // the row of the family's error-code table
    // Set by the archive as it places the record.
    std::int64_t machine = 0;
    std::int64_t id = 0;  // once placed as a new weld
};

struct RecordBatch {
    std::string lines;  // the record lines one after the other
    std::vector<ReadRecord> records;
    std::uint64_t bytesRead = 0;  // of the file, when the batch was handed over

    std::string_view lineOf(const ReadRecord& record) const
    {
        return std::string_view(lines).substr(record.start, record.size);
    }
};

// What the reading found besides the records.
struct ReadDownload {
    ListingFileResult listed;
    std::string header;  // the header line as it stands (without its line end)
    Hash128 content;  // of the plain text
};

class RecordReading {
public:
    // Batches of about batchBytes of lines.
    explicit RecordReading(std::size_t batchBytes);
    ~RecordReading();
    RecordReading(const RecordReading&) = delete;
    RecordReading& operator=(const RecordReading&) = delete;

    using Take = std::function<void(std::unique_ptr<RecordBatch> batch)>;
    using Going = std::function<bool(std::uint64_t bytesRead)>;

    // Reads the download at path (with onThread, on a thread of its own), calling
    // take with each batch in the file's order and going with the bytes read so far,
    // both on the caller's thread; going is called last once the file has been read.
    // Reading stops when going returns false (the result then is of no use) or take
    // throws (the reading ends, then the exception goes on).
    ReadDownload read(const std::filesystem::path& path, bool scrambled, bool onThread,
                      const Take& take, const Going& going);

    // A batch taken, to be filled again.
    void recycle(std::unique_ptr<RecordBatch> batch);

private:
    struct Queue;
    std::unique_ptr<RecordBatch> spare();
    ReadDownload readHere(const std::filesystem::path& path, bool scrambled, const Take& take,
                          const Going& going);

    std::size_t batchBytes_;
    std::unique_ptr<Queue> queue_;
};

}  // namespace kestrava::archive
