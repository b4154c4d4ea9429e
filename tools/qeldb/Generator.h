#pragma once

// qel-db generate: a registered business database of any size on the
// embedded engine, for measuring the program on company-sized data. Every
// table is filled by set-based INSERT ... SELECT statements over a numbers
// table, through the engine itself; values come from arithmetic on the row
// number and the seed, so the same seed gives the same data (dates count
// back from the day it runs).

#include <QString>
#include <QStringList>

class QIODevice;

namespace qeldb {

struct GenerateRequest {
    QString folder;
    QString database = QStringLiteral("BENCH");
    int products = 0;         // 1 to 1,000,000
    int warehouses = 50;      // 1 to 999; the first is MAIN, the last RMA
    int years = 2;            // balance years of stock, this one and before
    qint64 invoiceLines = -1; // sales history lines; -1: as many as products
    qint64 seed = 1;

    qint64 historyLines() const { return invoiceLines < 0 ? products : invoiceLines; }
    int customers() const { return products / 10 > 0 ? products / 10 : 1; }
};

// The options generate takes after the command, each followed by a value.
bool isGenerateOption(const QString& argument);

// Reads generate's arguments (the folder and the options above, as
// "--name value" or "--name=value"). The database name is not among them: it
// is the tool's --database option. False with the reason when they are wrong.
bool parseGenerateArguments(const QStringList& arguments, GenerateRequest* request, QString* error);

// Makes the database, registers it (and makes QEL_CONFIG and Server.Dat in
// the folder when missing) and prints what was made and how long each part
// took. Refuses a database that exists. Returns the exit status.
int generate(const GenerateRequest& request, QIODevice& out, QIODevice& err);

} // namespace qeldb
