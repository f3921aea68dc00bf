// The fleet summary: many download files read at once, summed up per machine.
//
// Every file is read as the listing reads it (a "pfd" file decoded on the way, nothing
// written anywhere) under one filter; its kept records count for the machine whose
// serial number stands in the family's serial field of each record. Files that cannot
// be read, or that are not weld-record downloads, are listed with the reason.
//
// Each file counts once and each weld once. A file reached by two names (a link, a
// path given twice) is read once; two files of the same plain text (one download kept
// as "xls" and as "pfd", or copied under another name) are summed up once, the others
// listed as the same download. A record line that stands in more than one download of
// a machine (downloads repeat the machine's memory) counts once: the key is the serial
// number and the line's bytes, kept as a 128-bit hash. The files are taken largest
// first (then plain before scrambled, then by path), and a file counts for a machine
// when it brought at least one of its records: a shorter download whose records all
// stand in a longer one adds nothing.
// The result does not depend on the order of the files or on the number of threads
// that read them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/files/file_result.h"
#include "core/listing/listing.h"
#include "core/listing/machine_family.h"
#include "core/listing/record_filter.h"
#include "core/settings/regional.h"

namespace kestrava {

struct MachineSummary {
    std::string serial;  // bytes as they stand in the files (their code page)
    MachineFamily family = MachineFamily::Unknown;
    std::uint64_t files = 0;  // files with at least one kept record of this machine
    std::uint64_t records = 0;  // kept records
    std::optional<Day> first;  // earliest and latest readable record date
    std::optional<Day> last;
    ErrorCodeTable errorCodes = freshErrorCodeTable();  // the family's ten rows
    std::vector<std::filesystem::path> paths;  // the files, sorted

    // Records whose error field is not the family's "E00" code, as a share of records.
    double faultShare() const;
};

struct UnreadFile {
    enum class Why {
        NotFound,  // neither a file nor a folder (a missing name, a device)
        FolderCut,  // a folder that could not be searched to its end
        FileFault,  // the file could not be read: see fault
        NoDateField,  // not a weld-record download: no date in field 3 or 4
        UnknownHeader,  // not a weld-record download: the header starts with no known word
        NotRegular,  // in a folder, under a download name: a FIFO, device or socket
        SameFile,  // a name of a file (or folder) already taken: see original
        SameDownload,  // the same plain text as original, which was summed up
        NotDownloadName,  // given by a name that does not end in xls or pfd (the archive's import)
    };
    std::filesystem::path path;
    Why why = Why::FileFault;
    FileResult fault;  // what failed and the system's error (error also for NotFound, FolderCut)
    // English, as kestrava-cli says it; for SameFile and SameDownload the original's
    // name follows it.
    std::string reason;
    std::filesystem::path original;  // SameFile, SameDownload: the one that counted

    bool notDownload() const { return why == Why::NoDateField || why == Why::UnknownHeader; }
};

struct FleetSummary {
    std::vector<MachineSummary> machines;  // by serial, then family
    std::vector<UnreadFile> unread;  // by path
    std::uint64_t filesRead = 0;  // download files read to their end (copies not)
    std::uint64_t repeatedRecords = 0;  // kept records left out as already counted
};

// Why a file the listing run read to its end is not a weld-record download (outcome
// NoFamily or HeaderNotRecognised), in English as kestrava-cli says it.
std::string notDownloadReason(ListingOutcome outcome);

// The download files named by paths: a file as it is (any name), a folder searched
// through with its subfolders (links followed) for names the Open command accepts
// ("xls", "pfd", case-sensitive). Nothing is left out unnamed: a path that is neither
// file nor folder, a folder or subfolder that cannot be searched, a FIFO, device or
// socket under a download name, a name that leads nowhere, and a second name of a file
// or folder already taken go to unread with the reason. The files are sorted, each
// file once.
std::vector<std::filesystem::path> downloadFilesIn(const std::vector<std::filesystem::path>& paths,
                                                   std::vector<UnreadFile>& unread);

// Reads files with threads workers (at least one; each holds one file open at a time).
// progress counts files; bytesRead, when set, counts the bytes read of all files against
// their sizes when the run began. Both are called from one thread at a time, and either
// cancels by returning false; a cancelled run returns nullopt. Throws std::bad_alloc when
// the summary itself cannot get the memory it needs (a file that cannot is listed).
std::optional<FleetSummary> summariseFleet(const std::vector<std::filesystem::path>& files,
                                           const ListingFilter& filter, unsigned threads,
                                           const Progress& progress = {},
                                           const Progress& bytesRead = {});

}  // namespace kestrava
