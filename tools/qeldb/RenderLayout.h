#pragma once

// qel-db render-layout FILE --to OUT.pdf: prints an offer-list layout with
// made-up offer lines and the variables the program sets, so that a site's
// administrator can check a changed layout without the price inquiry.
// Layout faults are reported as the program reports them: file, line, fault.

#include <QString>
#include <QStringList>

class QIODevice;

namespace report {
class Report;
class TableDataSource;
}

namespace qeldb {

struct RenderRequest {
    QString layout;
    QString pdf;
    int lines = 12;  // sample offer lines; enough of them spill onto a second page
};

// The options render-layout takes after the command, each followed by a value.
bool isRenderOption(const QString& argument);

// Reads render-layout's arguments (the layout file, --to OUT.pdf and
// --lines N). `request` may be null to check them only.
bool parseRenderArguments(const QStringList& arguments, RenderRequest* request, QString* error);

// Offer lines with the fields the inquiry window gives the layout
// (ProductCode, ProductName, WareHouse, Quantity, Units, Price, Total);
// one in seven has no price, as for a clerk who may not see prices.
report::TableDataSource sampleOfferLines(int lines);

// The variables the window sets, filled with a made-up company and customer.
void setSampleVariables(report::Report& report);

// Needs a running QGuiApplication. Returns the exit status.
int renderLayout(const RenderRequest& request, QIODevice& out, QIODevice& err);

} // namespace qeldb
