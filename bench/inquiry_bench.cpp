// The inquiry window's whole product load (units, prices, last purchase,
// on-hand per warehouse with its texts, pictures) on a generated company of
// 50,000 products and 50 warehouses, as the clerk's Enter runs it.
//
//   build/bench/inquiry_bench

#include "config/TDMConfig.h"
#include "data/TDM.h"
#include "db/Query.h"
#include "inquiry/TFrInquiryPrice.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

struct Company {
    QTemporaryDir dir;
    QStringList codes;
    QStringList customers;
    bool ready = false;

    Company()
    {
        QProcess generate;
        generate.start(QStringLiteral(QEL_BINARY_DIR "/tools/qel-db"),
                       {"generate", dir.path(), "--products", "50000", "--database", "BENCH"});
        if (!generate.waitForFinished(600000) || generate.exitCode() != 0) {
            std::fprintf(stderr, "qel-db generate failed: %s\n", generate.readAllStandardError().constData());
            return;
        }
        QDir::setCurrent(dir.path());
        ready = true;
    }
};

Company& company()
{
    static Company c;
    return c;
}

void BM_LoadProduct(benchmark::State& state)
{
    Company& c = company();
    if (!c.ready) {
        state.SkipWithError("no generated company");
        return;
    }
    widgets::setMessageHandler([](widgets::MessageKind, const QString&) { return true; });
    TDMConfig config;
    TDM dm;
    DMConfig = &config;
    DM = &dm;
    config.GetCompanyConfig(QStringLiteral("BENCH"));
    config.CheckRight(12, 1);
    dm.setDatabaseArgument(QStringLiteral("BENCH"));
    TFrInquiryPrice window;
    window.ShowStep();

    db::Query codes(QStringLiteral("DMDATA"));
    codes.setSql({"Select Code From Product Where Id % 250 = 7 Order By Code"});
    codes.open();
    QStringList list;
    for (codes.first(); !codes.eof(); codes.next())
        list.append(codes.asString(QStringLiteral("Code")));
    window.GetCustomerCode->setText(QStringLiteral("C0"));
    window.LookUpCustomer();

    int i = 0;
    for (auto _ : state) {
        window.GetProductCode->setText(list.at(i++ % list.size()));
        window.LoadProduct();
        benchmark::DoNotOptimize(window.Qonhand.recordCount());
    }
    state.counters["warehouses"] = window.Qonhand.recordCount();
    DM = nullptr;
    DMConfig = nullptr;
}
BENCHMARK(BM_LoadProduct)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
