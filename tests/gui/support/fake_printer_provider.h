// A printer provider for tests: records what the text printer is asked to print and the
// pictures printed, and can make its n-th text-printer operation fail.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <memory>

#include "gui/printer_provider.h"

class FakePrinterProvider final : public PrinterProvider {
public:
    // Every text-printer operation in order (a counting printer records none): "font NAME", "size N", "bold on|off",
    // "|TEXT" for a printed line, "end", "abort".
    QStringList operations;
    int failOperation = 0;       // 1-based operation that fails; 0 = none
    bool failPicture = false;
    QList<QImage> pictures;      // printed by printPicture
    int linesPerPage = 60;       // the page length the text printer counts with

    std::unique_ptr<QPrinter> makePrinter() override;
    std::unique_ptr<TextPrinter> textPrinter(QPrinter& printer, bool countOnly = false) override;
    bool printPicture(QPrinter& printer, const QImage& picture) override;

    // The printed lines only (the "|" entries without the marker).
    QStringList printedLines() const;

    // Records op; false when it is the operation chosen to fail.
    bool record(const QString& op);
};
