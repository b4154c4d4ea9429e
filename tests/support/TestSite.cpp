#include "TestSite.h"

#include "EmbeddedDb.h"

#include "db/sqlite/SqliteEngine.h"
#include "qeldb/QelDb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>

#include <stdexcept>

QString TestSite::sourceDir()
{
    return QStringLiteral(QEL_SOURCE_DIR);
}

TestSite::TestSite(const QString& businessDatabase)
{
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
    previousFolder_ = QDir::currentPath();
    businessName_ = businessDatabase;
    QFile serverFile(dir_.filePath(QStringLiteral("Server.Dat")));
    if (!serverFile.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write Server.Dat");
    serverFile.write(QStringLiteral("sqlite:%1\r\n").arg(dir_.path()).toUtf8());
    serverFile.close();
    QDir::setCurrent(dir_.path());
    // The placeholder picture every site keeps beside the program.
    QImage placeholder(40, 30, QImage::Format_RGB32);
    placeholder.fill(Qt::lightGray);
    placeholder.save(dir_.filePath(QStringLiteral("NoPicture.Bmp")), "BMP");

    db::sqlite::createDatabase(dir_.path(), QStringLiteral("QEL_CONFIG"));
    db::sqlite::createDatabase(dir_.path(), businessDatabase);
    config_ = std::make_unique<db::Connection>(QStringLiteral("SITE_CONFIG"));
    config_->params() = {QStringLiteral("DATABASE NAME=QEL_CONFIG"), QStringLiteral("SERVER NAME=sqlite:") + dir_.path()};
    business_ = std::make_unique<db::Connection>(QStringLiteral("SITE_BUSINESS"));
    business_->params() = {QStringLiteral("DATABASE NAME=") + businessDatabase,
                           QStringLiteral("SERVER NAME=sqlite:") + dir_.path()};
    runScript(QStringLiteral("SITE_CONFIG"), QStringLiteral("sql/config.sql"));
    runScript(QStringLiteral("SITE_BUSINESS"), QStringLiteral("sql/business.sql"));
    runScript(QStringLiteral("SITE_BUSINESS"), QStringLiteral("sql/program.sql"));
    runScript(QStringLiteral("SITE_BUSINESS"), QStringLiteral("sql/embedded.sql"));

    config(QStringLiteral(R"(
Insert Into Company (Code, NameThai, NameEng, Address1, Address2, Address3, Address4, Zip, TaxNo, RunYear)
  Values ('ACME', N'บริษัท แอคมี จำกัด', 'Acme Co., Ltd.', ' 99 ถนนพระราม 4 ', 'แขวงคลองเตย', '', 'กรุงเทพฯ', '10110', '0105551234567', 2026)
Insert Into CompanyConfig (Company, PicturePath, DefaultWh, DefaultTax, POS1_Wh, POS1_TaxCode, POS1_Price_IE,
  POS1_PriceType, POS1_SumDetail, DefaultPosComPort)
  Values (1, 'D:\Pictures\', 2, 1, 3, 'V7', 'I', 19, 'Y', 'COM3')
Insert Into DatabaseList Values (')") + businessDatabase.toUpper() + QStringLiteral(R"(', 1, N'บัญชีหลัก', 2026)
Insert Into Menu (Id, Description, Command) Values (12, N'  สอบถามราคา  ', 'PRICEINQUIRY.EXE')
Insert Into Menu (Id, Description, Command) Values (13, N'ขายสด', 'POS.EXE')
Insert Into username (Code, FullName, LanguageNo, SalesId, CanSeeCost, CanSeeSalePrice, EditSalePrice, Approve_SO)
  Values ('ADMIN ', N'ผู้ดูแล ระบบ', 1, 5, 'Y', 'Y', 'Y', 'y')
Insert Into username (Code, FullName, LanguageNo, CanSeeCost, CanSeeSalePrice) Values ('CLERK', 'Clerk', 2, 'N', 'N')
Insert Into username (Code, FullName, LanguageNo) Values ('GUEST', 'Guest', NULL)
Insert Into username (Code, FullName, LanguageNo) Values ('LOWER', 'Lower', 1)
Insert Into UserRight Values (1, 12, 'Y', 'Y', 'Y', 'N')
Insert Into UserRight Values (2, 12, 'Y', 'N', 'N', 'N')
Insert Into UserRight Values (3, 12, 'N', 'N', 'N', 'N')
Insert Into UserRight Values (4, 12, 'y', 'y', 'y', 'y')
)"));
    business(QStringLiteral("Update Config Set OnhandDecimal = 2, UnitLeft = '(', UnitRight = ')', "
                            "PicturePath = '  /srv/pictures\\ '"));
}

TestSite::~TestSite()
{
    config_->close();
    business_->close();
    QDir::setCurrent(previousFolder_);
}

void TestSite::runScript(const QString& alias, const QString& file)
{
    QFile f(QDir(sourceDir()).filePath(file));
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + file.toStdString());
    db::Engine& engine = db::Connection::byAlias(alias).engine();
    for (const qeldb::Batch& batch : qeldb::splitBatches(qeldb::decodeScript(f.readAll())))
        engine.execute(batch.sql, db::ParamValues());
}

void TestSite::config(const QString& sql)
{
    config_->engine().execute(sql, db::ParamValues());
}

void TestSite::business(const QString& sql)
{
    business_->engine().execute(sql, db::ParamValues());
}

QStringList TestSite::configRows(const QString& sql)
{
    db::Query q(QStringLiteral("SITE_CONFIG"));
    q.setSql({sql});
    q.open();
    return rowsOf(q);
}

QStringList TestSite::businessRows(const QString& sql)
{
    db::Query q(QStringLiteral("SITE_BUSINESS"));
    q.setSql({sql});
    q.open();
    return rowsOf(q);
}

void TestSite::dropConfigDatabase()
{
    dropDatabase(*config_, QStringLiteral("QEL_CONFIG"));
}

void TestSite::dropBusinessDatabase()
{
    dropDatabase(*business_, businessName_);
}

void TestSite::dropDatabase(db::Connection& connection, const QString& name)
{
    connection.close();
    const QString file = db::sqlite::findDatabaseFile(dir_.path(), name);
    QFile::remove(file);
    QFile::remove(file + QStringLiteral("-wal"));
    QFile::remove(file + QStringLiteral("-shm"));
}
