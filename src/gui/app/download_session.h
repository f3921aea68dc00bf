// DownloadSession: the window's one owner of the loaded download (the engine's
// LoadedDownload). It runs the download's commands as the window's long work and tells
// whoever listens what came of a listing run; the title, the filter line, the chart,
// Save, Print and the protocols read the download through it. Nothing of the download
// is copied here: every accessor reads the document, so none can fall behind it.
//
// A listing run ends in one of these, told in this order:
//   opened      a file chosen anew is the loaded file now (a fresh open only), then
//   listed      its listing is written and can be shown, or
//   handedOver  the file is no weld record file: it goes to a spreadsheet program;
//   failed      the run failed (never for a cancelled one): the download is as before.
// A run that is cancelled or stopped by the window closing tells nothing, unless its
// work had ended whole by then: the download holds the new file, and it is told so.
#pragma once

#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/document/loaded_download.h"
#include "gui/services/work_runner.h"

class DownloadSession final : public QObject {
    Q_OBJECT

public:
    // Runs a command's work through the window's one runner, label saying what runs;
    // false when it was cancelled or the window closes.
    using RunLong = std::function<bool(const QString& label, const WorkRunner::Work& work)>;

    // workFolder: the window's own, for the work files. A file whose header is not
    // recognised is handed over once its first bytes are read, not listed in full.
    DownloadSession(const QString& workFolder, RunLong runLong, QObject* parent = nullptr);

    // The view's part of a listing run: where the listing file's lines start, told as
    // they are written, and, as soon as the run has ended and before anyone hears of
    // it, whether a listing was written to be shown.
    struct ListingTap {
        kestrava::ListingRun::LineStarts lineStarts;
        std::function<void(bool listed)> ended;
    };
    enum class ListingEnd { Stopped, Failed, Listed, HandedOver };

    // Opens chosen, or lists the loaded file again (nullopt), under filter. label: what
    // the progress dialog says.
    ListingEnd list(const std::optional<QString>& chosen, const kestrava::ListingFilter& filter,
                    const QString& label, const ListingTap& tap);

    // The commands of Save and Print; nullopt when the run was cancelled or the window
    // closes before it ended.
    std::optional<kestrava::DownloadOutcome<std::filesystem::path>> save(const QString& target,
                                                                         const QString& label);
    std::optional<kestrava::DownloadOutcome<std::filesystem::path>> writePrintCopy(
        const QString& label);
    std::optional<kestrava::DownloadOutcome<kestrava::Done>> print(kestrava::Language language,
                                                                   kestrava::PrintSurface& surface,
                                                                   const QString& label);

    // Lets the loaded file go and says so (closed).
    void close();

    // --- the loaded download, read while no command runs ---
    const kestrava::LoadedDownload& document() const { return download_; }
    bool FileLoaded() const { return download_.loaded(); }
    QString LoadedFilePath() const;  // the plain file the listing reads
    QString ChosenFilePath() const;  // the file the user chose, empty when none is loaded
    // The chosen file's name without its folder and its last four characters.
    QString LoadedFileTitle() const;
    // Whether the last run's listing is the one shown (not handed over, not none).
    bool Listed() const;
    // A file handed over has no family and no records counted: the chart shows no bars,
    // and no serial number of the file listed before beside this file's name.
    kestrava::MachineFamily MachineFamily() const;
    std::optional<kestrava::ErrorCodeTable> ErrorCodeTable() const;
    std::string MachineSerial() const;  // bytes as they stand in the file (its code page)
    QString listingFile() const;
    QString printCopyFile() const;
    QString saveWorkFile() const;

signals:
    void opened();
    void listed(const kestrava::ListingSummary& summary);
    void handedOver(const kestrava::ListingSummary& summary);
    void failed(const kestrava::DownloadFault& fault);
    void closed();

private:
    bool handedOverNow() const;
    // Runs one command of the download; nullopt when the run did not end.
    template <typename T, typename Command>
    std::optional<kestrava::DownloadOutcome<T>> runCommand(const QString& label,
                                                           const Command& command);

    kestrava::LoadedDownload download_;
    RunLong runLong_;
};
