// ListingView::find: the listing's bytes are searched as they are, through the
// engine's search in the build language's code page; a text given as text (a
// placeholder or a message) through Qt.
#include <string_view>

#include "core/text/text_search.h"
#include "gui/view/code_page.h"
#include "gui/view/listing_view.h"

bool ListingView::find(const QString& text, bool backward)
{
    if (text.isEmpty())
        return false;
    const Position first = std::min(anchor_, cursor_);
    const std::size_t selectionStart =
        model_.start(std::size_t(first.line)) + std::size_t(first.column);

    std::optional<std::size_t> found;
    std::size_t length = 0;
    const kestrava::Language language = model_.language();
    if (model_.holdsBytes()) {
        const QByteArray needle = toCodePage(text, language);
        const std::string_view haystack = model_.bytes();
        const std::string_view sought(needle.constData(), std::size_t(needle.size()));
        length = sought.size();
        const auto direction =
            backward ? kestrava::SearchDirection::Backward : kestrava::SearchDirection::Forward;
        const std::size_t from =
            backward ? selectionStart
                     : std::min(selectionStart + (hasSelection() ? 1 : 0), haystack.size());
        found = kestrava::findText(haystack, sought, language, from, direction);
        if (!found)  // round the end
            found = kestrava::findText(haystack, sought, language, backward ? haystack.size() : 0,
                                       direction);
    } else {
        const QString& shown = model_.plainText();
        length = std::size_t(text.size());
        qsizetype at = -1;
        if (backward) {
            if (selectionStart > 0)
                at = shown.lastIndexOf(text, qsizetype(selectionStart) - 1, Qt::CaseInsensitive);
            if (at < 0)
                at = shown.lastIndexOf(text, -1, Qt::CaseInsensitive);
        } else {
            at = shown.indexOf(text, qsizetype(selectionStart) + (hasSelection() ? 1 : 0),
                               Qt::CaseInsensitive);
            if (at < 0)
                at = shown.indexOf(text, 0, Qt::CaseInsensitive);
        }
        if (at >= 0)
            found = std::size_t(at);
    }
    if (!found)
        return false;

    const std::size_t line = model_.lineAt(*found);
    const qsizetype column = qsizetype(*found - model_.start(line));
    // Text found across a line end is selected to the end of its line.
    setSelection({qsizetype(line), column}, {qsizetype(line), column + qsizetype(length)});
    return true;
}
