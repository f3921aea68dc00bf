// ListingModel: the text a ListingView shows and selects from. A listing is bytes of
// the build language's code page, mapped from the listing file (or held, for a small
// one), with the index of where each line starts; a text given as text (the no-file
// placeholder, a message) is held as it is. Characters are decoded only when asked for.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <string_view>

#include "core/settings/build_profile.h"
#include "gui/view/line_index.h"

class QFile;

class ListingModel {
public:
    // One empty line.
    ListingModel();
    ~ListingModel();
    ListingModel(ListingModel&&) noexcept;
    ListingModel& operator=(ListingModel&&) noexcept;

    // A text shown as it is.
    static ListingModel ofText(const QString& text);
    // Bytes of the code page of `language`, indexed here.
    static ListingModel ofBytes(QByteArray bytes, kestrava::Language language);
    // The file at `path` mapped into memory, with the lines its writer reported; empty
    // when it cannot be opened or mapped.
    static std::optional<ListingModel> ofFile(const QString& path, LineIndex index,
                                              kestrava::Language language);

    // A mapped file lets go of its mapping (so that the file can be replaced where a
    // mapped file cannot be) and takes it back; while let go every line shows empty.
    // takeBackFile is false when the file is no longer the one mapped before.
    void letGoOfFile();
    bool takeBackFile();
    // Renames the mapped file to `path` (replacing a file there), letting go of the
    // mapping meanwhile; false when it cannot be renamed (it is mapped again where it
    // was) or mapped again. The mapped file's name, empty for a model of no file.
    bool moveFile(const QString& path);
    QString fileName() const;

    std::size_t lineCount() const { return index_.lineCount(); }
    // Where a line starts in the stored characters, and its length without its line end.
    std::uint64_t start(std::size_t line) const { return index_.start(line); }
    std::size_t length(std::size_t line) const;
    // The line that holds stored character `offset`.
    std::size_t lineAt(std::uint64_t offset) const { return index_.lineAt(offset); }
    // The length of the longest line (of a mapped file: the line longest with its line
    // end, so that finding it reads one line rather than the whole file).
    std::size_t longest() const { return longest_; }

    // Stored characters [from, to) as text, line ends as they are.
    QString text(std::uint64_t from, std::uint64_t to) const;

    // Code-page bytes (a listing) or UTF-16 text.
    bool holdsBytes() const { return holdsBytes_; }
    std::string_view bytes() const
    {
        return data_ ? std::string_view(data_, size_) : std::string_view();
    }
    const QString& plainText() const { return text_; }
    kestrava::Language language() const { return language_; }

private:
    void finishIndex(bool measureEveryLine);

    bool holdsBytes_ = false;
    QString text_;
    QByteArray held_;  // bytes given as bytes
    std::unique_ptr<QFile> file_;  // the mapped file
    bool mappedOnce_ = false;
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    kestrava::Language language_ = kestrava::Language::English;
    LineIndex index_;
    std::size_t longest_ = 0;
};
