// Printers: the QPrinter the print dialogs set up, the text printer the record printout
// writes its lines on, and the printing of a window's picture. Tests replace the
// provider with a fake that records what would be printed.
#pragma once

#include <QString>
#include <memory>

#include "core/listing/print_layout.h"
#include "core/settings/build_profile.h"

class QImage;
class QPrinter;

// A printer used as the engine's print surface: a font, lines one under the other,
// new pages as the lines fill them. The lines' bytes are in the code page of the
// language the printer was made for. Every operation returns false when the printer
// failed.
class TextPrinter : public kestrava::PrintSurface {
public:
    // Abandons the job after a failure: nothing more reaches the printer.
    virtual void abortDocument() = 0;
    // The pages of the chosen page range that the lines so far have reached (all
    // pages when no range was chosen); 0 before the first line.
    virtual int pageCount() const = 0;
};

class PrinterProvider {
public:
    virtual ~PrinterProvider() = default;
    // A printer for the print dialog to set up.
    virtual std::unique_ptr<QPrinter> makePrinter() = 0;
    // A text printer that prints on printer (which must outlive it) lines in the code
    // page of language, only the pages of the page range chosen in the print dialog.
    // With countOnly nothing reaches the printer: the lines are only laid out, for
    // pageCount().
    virtual std::unique_ptr<TextPrinter> textPrinter(QPrinter& printer, kestrava::Language language,
                                                     bool countOnly = false) = 0;
    // Prints picture as one page, scaled to fit the page. false when the printer failed.
    virtual bool printPicture(QPrinter& printer, const QImage& picture) = 0;
};

// Qt's printing: QPainter on the QPrinter.
class QtPrinterProvider final : public PrinterProvider {
public:
    std::unique_ptr<QPrinter> makePrinter() override;
    std::unique_ptr<TextPrinter> textPrinter(QPrinter& printer, kestrava::Language language,
                                             bool countOnly = false) override;
    bool printPicture(QPrinter& printer, const QImage& picture) override;
};
