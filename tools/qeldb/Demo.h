#pragma once

// qel-db create-demo: a folder the price inquiry runs on at once, holding the
// configuration database, the demo company's business database (a Thai
// trading company, sql/demo.sql), the server file, the placeholder picture
// and the product pictures, all drawn here.
//
// The site helpers below are shared with `generate`, which builds the same
// kind of folder around a large made-up company.

#include "db/Engine.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>

class QIODevice;

namespace qeldb {

// The demo company's business database.
inline constexpr char kDemoDatabase[] = "DEMO";

// One picture the demo names but deliberately leaves without a file, so that
// the inquiry window's placeholder can be seen (Picture2 of H4002).
inline constexpr char kDemoMissingPicture[] = "H4002-2.jpg";

// Builds the demo site in `folder` (made when missing). Refuses a folder that
// already holds a QEL_CONFIG or DEMO database. Returns the exit status.
int createDemo(const QString& folder, QIODevice& out, QIODevice& err);

namespace site {

// The folder as an absolute, clean path: databases, Server.Dat and the
// picture path must not depend on where the tool was started.
QString absoluteFolder(const QString& folder);

// Connection parameters of a database of the embedded engine in `folder`.
QStringList embeddedParams(const QString& folder, const QString& database);
std::unique_ptr<db::Engine> openDatabase(const QString& folder, const QString& database);

// The text of one of the scripts built into the tool ("config.sql",
// "business.sql", "program.sql", "demo.sql").
QString builtInScript(const QString& name);

// Runs a built-in script batch by batch. A failure throws db::DbError whose
// message names the script and the line of the failing batch.
void runBuiltInScript(db::Engine& engine, const QString& name);

// The menu entry of the price inquiry (12, and 13 for the point of sale) and
// the site's users with their rights, where missing:
//   ADMIN  Thai, every right, sees cost and sale prices;
//   CLERK  English (language 2), may open the inquiry, sees neither;
//   GUEST  Thai, may not open the inquiry;
//   SALES  Thai, sees sale prices but not cost.
// `salesIds` are the Salesman ids of ADMIN, CLERK, GUEST and SALES.
void installMenuAndUsers(db::Engine& config, const QList<int>& salesIds);

// A company and its business database as the configuration database lists
// them.
struct CompanyRecord {
    QString code;         // Company.Code, at most 10 characters
    QString nameThai;
    QString nameEng;
    QString shortName;
    QStringList address;  // up to four lines
    QString province;
    QString zip;
    QString telephone;
    QString taxNo;
    QString database;     // DatabaseList.DatabaseName
    QString description;  // DatabaseList.Description
    QString picturePath;
    int defaultWarehouse = 0;  // ids in the business database
    int defaultTax = 0;
    int posWarehouse = 0;
    QString posTaxCode;
    int posPriceType = 19;
};

// Adds the Company, CompanyConfig and DatabaseList rows; returns Company.Id.
int registerCompany(db::Engine& config, const CompanyRecord& company);

// Writes Server.Dat naming the embedded engine in `folder` (as the program
// reads it: the first line, "sqlite:" and the absolute folder).
void writeServerFile(const QString& folder);

// The placeholder the inquiry window shows where a product has no picture: a
// neutral frame, a camera outline and "ไม่มีรูปภาพ" (no picture). Drawn with
// strokes only, so that no font and no GUI application are needed.
QImage drawNoPicture();

// A simple product-like drawing for a product picture: `shape` follows the
// product's small unit (bottle, can, box, bag...), `view` 1 is the product,
// 2 its pack, 3 its label with the bar code. The product code is written on
// it.
QImage drawProductPicture(const QString& code, const QString& smallUnit, const QString& group,
                          const QString& barCode, int view);

} // namespace site

} // namespace qeldb
