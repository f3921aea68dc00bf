#include "gui/view/listing_model.h"

#include <QFile>
#include <algorithm>

#include "gui/view/code_page.h"

namespace {

// The end of a line's characters in [start, end), end being where the next line
// starts: its line end (CR LF, LF or CR) left out.
template <typename Unit>
std::uint64_t withoutLineEnd(const Unit* data, std::uint64_t start, std::uint64_t end)
{
    if (end > start && data[end - 1] == Unit('\n'))
        --end;
    if (end > start && data[end - 1] == Unit('\r'))
        --end;
    return end;
}

}  // namespace

ListingModel::ListingModel() = default;
ListingModel::~ListingModel() = default;
ListingModel::ListingModel(ListingModel&&) noexcept = default;
ListingModel& ListingModel::operator=(ListingModel&&) noexcept = default;

ListingModel ListingModel::ofText(const QString& text)
{
    ListingModel model;
    model.text_ = text;
    model.size_ = std::size_t(text.size());
    model.index_ =
        LineIndex::ofUnits(reinterpret_cast<const char16_t*>(model.text_.utf16()), model.size_);
    model.finishIndex(true);
    return model;
}

ListingModel ListingModel::ofBytes(QByteArray bytes, kestrava::Language language)
{
    ListingModel model;
    model.holdsBytes_ = true;
    model.language_ = language;
    model.held_ = std::move(bytes);
    model.data_ = model.held_.constData();
    model.size_ = std::size_t(model.held_.size());
    model.index_ = LineIndex::ofBytes(model.data_, model.size_);
    model.finishIndex(true);
    return model;
}

std::optional<ListingModel> ListingModel::ofFile(const QString& path, LineIndex index,
                                                 kestrava::Language language)
{
    ListingModel model;
    model.holdsBytes_ = true;
    model.language_ = language;
    model.file_ = std::make_unique<QFile>(path);
    model.index_ = std::move(index);
    if (!model.takeBackFile())
        return std::nullopt;
    model.finishIndex(false);
    return model;
}

void ListingModel::letGoOfFile()
{
    if (!file_ || !data_)
        return;
    if (size_ > 0)
        file_->unmap(reinterpret_cast<uchar*>(const_cast<char*>(data_)));
    data_ = nullptr;
}

bool ListingModel::takeBackFile()
{
    if (!file_ || data_)
        return true;
    if (!file_->open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file_->size();
    if (mappedOnce_ && std::size_t(size) != size_) {
        file_->close();
        return false;
    }
    size_ = std::size_t(size);
    // An empty file cannot be mapped; it needs no bytes.
    static const char nothing = 0;
    data_ = size == 0 ? &nothing : reinterpret_cast<const char*>(file_->map(0, size));
    // The mapping outlives the open file, which holds no handle meanwhile.
    file_->close();
    mappedOnce_ = data_ != nullptr;
    return mappedOnce_;
}

bool ListingModel::moveFile(const QString& path)
{
    if (!file_)
        return false;
    letGoOfFile();
    QFile::remove(path);
    const bool moved = file_->rename(path);
    return takeBackFile() && moved;
}

QString ListingModel::fileName() const
{
    return file_ ? file_->fileName() : QString();
}

void ListingModel::finishIndex(bool measureEveryLine)
{
    // A text ending in a line end ends with an empty line, whether or not its writer
    // reported where that line starts.
    if (size_ > 0 && index_.lastStart() < size_) {
        const char16_t last =
            holdsBytes_ ? char16_t(data_[size_ - 1]) : text_.at(qsizetype(size_ - 1)).unicode();
        if (last == u'\n' || last == u'\r')
            index_.add(size_);
    }
    longest_ = 0;
    const std::size_t lines = lineCount();
    if (measureEveryLine) {
        for (std::size_t line = 0; line < lines; ++line)
            longest_ = std::max(longest_, length(line));
        return;
    }
    // Only the starts are read, and the bytes of two lines.
    longest_ = std::max(length(index_.widestLine()), length(lines - 1));
}

std::size_t ListingModel::length(std::size_t line) const
{
    const std::uint64_t from = std::min<std::uint64_t>(start(line), size_);
    if (line + 1 == lineCount())
        return std::size_t(size_ - from);
    const std::uint64_t to = std::clamp<std::uint64_t>(start(line + 1), from, size_);
    if (!holdsBytes_)
        return std::size_t(withoutLineEnd(text_.utf16(), from, to) - from);
    if (!data_)
        return 0;
    return std::size_t(withoutLineEnd(data_, from, to) - from);
}

QString ListingModel::text(std::uint64_t from, std::uint64_t to) const
{
    to = std::min<std::uint64_t>(to, size_);
    if (to <= from)
        return {};
    if (!holdsBytes_)
        return text_.mid(qsizetype(from), qsizetype(to - from));
    if (!data_)
        return {};
    return fromCodePage(QByteArray::fromRawData(data_ + from, qsizetype(to - from)), language_);
}
