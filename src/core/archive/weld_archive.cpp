#include "core/archive/weld_archive.h"

#include <cstdlib>

#include "core/archive/archive_schema.h"
#include "core/archive/sqlite_db.h"
#include "core/files/file_io.h"
#include "core/files/path_text.h"

namespace kestrava {

using archive::Database;
using archive::SqliteError;

std::filesystem::path defaultArchivePath()
{
    const auto fromVariable = [](const char* name) -> std::filesystem::path {
        const char* value = std::getenv(name);
        return value && *value ? pathFromUtf8(value) : std::filesystem::path();
    };
#ifdef _WIN32
    std::filesystem::path base = fromVariable("LOCALAPPDATA");
#else
    std::filesystem::path base = fromVariable("XDG_DATA_HOME");
    if (base.empty()) {
        const std::filesystem::path home = fromVariable("HOME");
        if (!home.empty())
            base = home / ".local" / "share";
    }
#endif
    if (base.empty())
        return {};
    return base / "Kestrava" / "kestrava" / "archive.sqlite";
}

ArchiveQuery ArchiveQuery::of(const ListingFilter& filter)
{
    ArchiveQuery query;
    if (filter.dateOn) {
        // The command line leaves an open end at the calendar's limits.
        if (filter.from != Day::min())
            query.from = filter.from;
        if (filter.to != Day::max())
            query.to = filter.to;
    }
    if (filter.errorOn)
        query.errors.push_back(filter.errorNumber);
    return query;
}

ArchiveError WeldArchive::failed(const std::exception& error) const
{
    return {ArchiveFault::Failed, archive::shownArchive(path_) + ": " + error.what()};
}

namespace {

ArchiveError refusal(ArchiveFault fault, const std::filesystem::path& path, const std::string& why)
{
    return {fault, archive::shownArchive(path) + ": " + why};
}

}  // namespace

ArchiveError WeldArchive::open(const std::filesystem::path& path, bool forImport)
{
    dropStatements();
    db_.reset();
    path_ = path;
    fileio::PathStatus status;
    if (const FileResult fault = fileio::pathStatus(path, status); !fault)
        return refusal(ArchiveFault::Open, path, "cannot be read (" + fault.detail + ")");
    if (status.kind == fileio::EntryKind::Missing && !forImport)
        return refusal(ArchiveFault::Missing, path,
                       "no archive there (import downloads into it first)");
    if (status.kind != fileio::EntryKind::Missing && status.kind != fileio::EntryKind::File)
        return refusal(ArchiveFault::Open, path, "not a file");

    // Everything that decides whether the file may be used is read through a
    // connection that cannot write, so that a refused archive is left as it was.
    int version = 0;
    if (status.kind == fileio::EntryKind::File) {
        try {
            Database check;
            archive::SchemaCheck checked;
            try {
                check.open(path, false, false);
                checked = archive::checkSchema(check);
            } catch (const SqliteError& error) {
                if (error.code != 8)  // SQLITE_READONLY
                    throw;
                // A program killed while writing left a log that only a connection that
                // may write can take back in (it changes nothing of what was committed).
                check.open(path, true, false);
                checked = archive::checkSchema(check);
            }
            if (!checked.error.empty())
                return refusal(checked.fault, path, checked.error);
            version = checked.version;
        } catch (const SqliteError& error) {
            if (error.code == 26)  // SQLITE_NOTADB
                return refusal(ArchiveFault::NotArchive, path,
                               "not a weld archive (not an SQLite database)");
            if (error.code == 11)  // SQLITE_CORRUPT
                return refusal(ArchiveFault::Damaged, path,
                               std::string("the archive is damaged (") + error.what() +
                                   "); it was left as it is");
            return refusal(ArchiveFault::Open, path,
                           std::string("cannot be opened (") + error.what() + ")");
        }
    } else {
        std::error_code ignored;
        std::filesystem::create_directories(path.parent_path(), ignored);
    }

    auto db = std::make_unique<Database>();
    try {
        if (version > 0 && version < kArchiveSchemaVersion) {
            // An archive of an older version is brought up to date once, a copy of it
            // kept beside it under the old version's number.
            std::filesystem::path copy = path;
            copy += ".v" + std::to_string(version) + ".bak";
            fileio::PathStatus copyStatus;
            if (fileio::pathStatus(copy, copyStatus) &&
                copyStatus.kind != fileio::EntryKind::Missing)
                return refusal(
                    ArchiveFault::Open, path,
                    "written by an older version; it is to be brought up to date, but its copy " +
                        shownPath(copy) + " is in the way: move that file elsewhere first");
            Database upgrade;
            upgrade.open(path, true, false);
            archive::prepareConnection(upgrade, true);
            archive::upgradeSchema(upgrade, version, copy);
        }
        db->open(path, forImport, forImport);
        archive::prepareConnection(*db, forImport);
        if (forImport)
            db->checkpointAfterCommits(path);
        if (forImport && version == 0)
            archive::createSchema(*db);
    } catch (const SqliteError& error) {
        return refusal(ArchiveFault::Open, path,
                       std::string("cannot be opened (") + error.what() + ")");
    }
    db_ = std::move(db);
    return {};
}

}  // namespace kestrava
