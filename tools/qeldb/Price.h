#pragma once

// qel-db price: explains a selling price the way the program determines it,
// through the product data module itself: the price, the discount text, the
// quantity and the source that won.

#include <QDate>
#include <QString>
#include <QStringList>

class QIODevice;

namespace qeldb {

struct Options;

struct PriceRequest {
    QString customer;  // a customer code; empty: no customer (promotions for all only)
    QString product;   // a product code
    QString unit;      // one of the product's unit names
    int priceType = 0;
    QDate date;        // the pricing day
};

// The options price takes after the command, each followed by a value.
bool isPriceOption(const QString& argument);

// Reads price's options ("--name value" or "--name=value"); --product,
// --unit and --type are required, --date defaults to `today`. False with the
// reason when they are wrong.
bool parsePriceArguments(const QStringList& arguments, const QDate& today, PriceRequest* request, QString* error);

// Looks the price up in the business database --database names, with the
// company configuration that QEL_CONFIG on the same server holds for it.
// Returns the exit status.
int price(const Options& options, const PriceRequest& request, QIODevice& out, QIODevice& err);

} // namespace qeldb
