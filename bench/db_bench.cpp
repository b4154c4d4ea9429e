// Speed of the embedded engine on a company-sized database: the inquiry
// window's look-ups must stay well inside a keystroke.
//
//   build/bench/db_bench                 (all)
//   build/bench/db_bench --benchmark_filter=Prefix

#include "db/Connection.h"
#include "db/Query.h"
#include "db/sqlite/SqliteEngine.h"

#include <QCoreApplication>
#include <QDate>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kProducts = 50000;
constexpr int kWarehouses = 50;

// One database for the whole run: 50,000 products with three units each,
// 50 warehouses, stock of every product in ten of them.
class Company {
public:
    Company()
    {
        db::sqlite::createDatabase(dir_.path(), QStringLiteral("BENCH"));
        connection_.params() = QStringList{QStringLiteral("DATABASE NAME=BENCH"),
                                           QStringLiteral("SERVER NAME=sqlite:") + dir_.path()};
        run(QStringLiteral(R"(
Create Table Product (Id Int Not Null Primary Key, Code VarChar(20) Not Null, ThaiName NVarChar(100),
  Picture1 VarChar(60), Picture2 VarChar(60), Picture3 VarChar(60), Picture1Desc NVarChar(60),
  Picture2Desc NVarChar(60), Picture3Desc NVarChar(60))
Create Unique Index ProductCode On Product (Code)
Create Table ProductUnits (Id Int Not Null Primary Key, Product Int Not Null, UnitName NVarChar(20),
  Fraction Int, BarCode VarChar(30), UnitDesc NVarChar(40), PurcPrice Money, SmallUnitFlag Char(1), StockUnitFlag Char(1))
Create Index ProductUnitsProduct On ProductUnits (Product)
Create Table Warehouse (Id Int Not Null Primary Key, Code VarChar(10) Not Null)
Create Table productonhand (Id Int Identity(1,1) Not Null Primary Key, product Int, productunits Int, warehouse Int,
  balanceyear Int, quantity Float)
Create Index OnhandProduct On productonhand (product, warehouse, balanceyear)
)"));
        // Set-based filling through the engine itself: a numbers table, then
        // one INSERT ... SELECT per table.
        run(QStringLiteral(R"(
Create Table Digit (D Int Not Null Primary Key)
Insert Into Digit Values (0), (1), (2), (3), (4), (5), (6), (7), (8), (9)
Create Table Num (N Int Not Null Primary Key)
Insert Into Num (N) Select 1 + A.D + 10 * B.D + 100 * C.D + 1000 * E.D + 10000 * F.D
  From Digit A, Digit B, Digit C, Digit E, Digit F
Insert Into Warehouse (Id, Code) Select N, 'WH' + Right('0' + Convert(VarChar(2), N), 2) From Num Where N <= 50
Insert Into Product (Id, Code, ThaiName)
  Select N, 'P' + Right('00000' + Convert(VarChar(6), N), 6), N'สินค้าทดสอบ ' + Convert(VarChar(6), N)
  From Num Where N <= 50000
Insert Into ProductUnits Select N * 3, N, N'ชิ้น', 1, '885' + Convert(VarChar(8), N) + '0', NULL, 10, 'Y', 'N' From Num Where N <= 50000
Insert Into ProductUnits Select N * 3 + 1, N, N'โหล', 12, '885' + Convert(VarChar(8), N) + '1', NULL, 110, 'N', 'Y' From Num Where N <= 50000
Insert Into ProductUnits Select N * 3 + 2, N, N'ลัง', 144, NULL, NULL, 1200, 'N', 'N' From Num Where N <= 50000
Insert Into productonhand (product, productunits, warehouse, balanceyear, quantity)
  Select P.N, P.N * 3, (P.N + W.D * 5) % 50 + 1, Year(GetDate()), (P.N * 7 + W.D) % 300 - 20
  From Num P, Digit W Where P.N <= 50000
)"));
    }

    static Company& instance()
    {
        static Company company;
        return company;
    }

    void run(const QString& sql)
    {
        db::Query q(QStringLiteral("BENCH"));
        q.setSql({sql});
        q.execSql();
    }

private:
    QTemporaryDir dir_;
    db::Connection connection_{QStringLiteral("BENCH")};
};

void BM_CachedStatement(benchmark::State& state)
{
    Company::instance();
    db::Query q(QStringLiteral("BENCH"));
    q.setSql({"Select Id, Code From Warehouse Where Id = :Id"});
    int i = 0;
    for (auto _ : state) {
        q.setParam("Id", i++ % kWarehouses + 1);
        q.open();
        benchmark::DoNotOptimize(q.recordCount());
    }
}
BENCHMARK(BM_CachedStatement)->Unit(benchmark::kMicrosecond);

// The inquiry window's product look-up: the typed code is part of the text,
// so every new code is a new statement to translate.
void BM_ProductPrefixLookup(benchmark::State& state)
{
    Company::instance();
    db::Query q(QStringLiteral("BENCH"));
    int i = 0;
    for (auto _ : state) {
        const QString code = QStringLiteral("P0%1").arg(12345 + (i++ % 997) * 37);
        q.setSql({"Select P.Id,P.Code,P.ThaiName,P.Picture1,P.Picture2,P.Picture3, ",
                  "       Picture1Desc,Picture2Desc,Picture3Desc,Year(GetDate()) InputYear ", "From Product P ",
                  "Where (Code  Like '" + code + "%')", "Order By P.Code"});
        q.open();
        benchmark::DoNotOptimize(q.recordCount());
    }
}
BENCHMARK(BM_ProductPrefixLookup)->Unit(benchmark::kMicrosecond);

// A code never typed before: parsing, generating and preparing included.
void BM_ProductLookupFirstTime(benchmark::State& state)
{
    Company::instance();
    db::Query q(QStringLiteral("BENCH"));
    int i = 0;
    for (auto _ : state) {
        const QString code = QStringLiteral("P0%1-%2").arg(12345 + i % 997).arg(i);
        ++i;
        q.setSql({"Select P.Id,P.Code,P.ThaiName,P.Picture1,P.Picture2,P.Picture3, ",
                  "       Picture1Desc,Picture2Desc,Picture3Desc,Year(GetDate()) InputYear ", "From Product P ",
                  "Where (Code  Like '" + code + "%')", "Order By P.Code"});
        q.open();
        benchmark::DoNotOptimize(q.recordCount());
    }
}
BENCHMARK(BM_ProductLookupFirstTime)->Unit(benchmark::kMicrosecond);

void BM_OnhandPanel(benchmark::State& state)
{
    Company::instance();
    db::Query q(QStringLiteral("BENCH"));
    q.setSql({"select Id, Code, sumqnty, OnhandStr, (Case When sumqnty > 0 Then 1 When sumqnty < 0 Then 2 Else 3 End) Rec",
              QStringLiteral("From(\r\tselect  w.id, w.code,"),
              "\t            (select sum(quantity) from productonhand ",
              "\t             where warehouse=w.id and product=:id and balanceyear=:inputyear) sumqnty,",
              QStringLiteral("\t            '") + QString(40, QLatin1Char(' ')) + QStringLiteral("' OnhandStr"),
              "\tfrom warehouse w", ") As M", "order by Rec, sumqnty Desc"});
    q.setParam("inputyear", QDate::currentDate().year());
    int i = 0;
    for (auto _ : state) {
        q.setParam("id", 1 + (i++ * 7919) % kProducts);
        q.open();
        benchmark::DoNotOptimize(q.recordCount());
    }
}
BENCHMARK(BM_OnhandPanel)->Unit(benchmark::kMicrosecond);

void BM_UnitFractionPerRow(benchmark::State& state)
{
    Company::instance();
    db::Query q(QStringLiteral("BENCH"));
    q.setSql({"SELECT U.UnitName LUnit, U.Fraction, M.UnitName SUnit, U.Product IdProd", "FROM ProductUnits U",
              "Inner Join ProductUnits M On ((U.Product = M.Product) And (M.SmallUnitFlag = 'Y'))",
              "Where (U.Id = :GetUnit)"});
    int i = 0;
    for (auto _ : state) {
        q.setParam("GetUnit", 3 + (i++ * 31) % (kProducts * 3));
        q.open();
        benchmark::DoNotOptimize(q.recordCount());
    }
}
BENCHMARK(BM_UnitFractionPerRow)->Unit(benchmark::kMicrosecond);

// A name search scans every product: the worst case of a search dialog.
void BM_NameContainsScan(benchmark::State& state)
{
    Company::instance();
    db::Query q(QStringLiteral("BENCH"));
    q.setSql({"Select Id, Code, ThaiName From Product Where (Code Like :Code) And (ThaiName Like :Name) Order By Code"});
    q.setParam("Code", "%");
    q.setParam("Name", QStringLiteral("%ทดสอบ 4999%"));
    for (auto _ : state) {
        q.open();
        benchmark::DoNotOptimize(q.recordCount());
    }
}
BENCHMARK(BM_NameContainsScan)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
