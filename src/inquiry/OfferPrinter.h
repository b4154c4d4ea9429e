#pragma once

#include <QString>

namespace db {
class Query;
}

// Prints the inquiry window's offer list through the layout
// "Form_ChkPrice.frf" of the start folder: straight to the default printer,
// or to the PDF file that the settings file names (section [Print], key
// PdfFile) on a site without a printer. No dialog is shown. Layout and
// printer errors are raised to the error handler.
class OfferPrinter {
public:
    void print(const db::Query& offerList, const QString& startFolder, const QString& customerCode,
               const QString& customerName);

    static QString layoutPath(const QString& startFolder);
    // The PDF target from the settings file, or empty for the printer.
    static QString pdfTarget(const QString& startFolder);
};
