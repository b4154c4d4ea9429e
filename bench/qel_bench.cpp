// The program's speed on a generated company, each figure beside SQLite's own
// for the same statements (same text, values and file, in this process):
// product loads from the key press to the painted window, the history tab,
// the search dialogs, the access layer alone, start-up and memory.
//
//   build/bench/qel_bench DIR [--runs N] [--only PART,...]   (DIR made by qel-db generate)
//
// QEL_BENCH_CLOCK=cpu times this thread's processor time instead of the
// wall clock, for a machine others are using.
//
// bench/run runs it over several folders; bench/README.md has the figures.

#include "Figures.h"
#include "RawSqlite.h"

#include "config/TDMConfig.h"
#include "data/TDM.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Engine.h"
#include "db/Query.h"
#include "db/sqlite/SqliteEngine.h"
#include "inquiry/TFrInquiryPrice.h"
#include "search/TF_SearchCustomer.h"
#include "search/TF_SearchProduct.h"
#include "search/TF_SearchProductUnits.h"
#include "search/TFrSearchBarCode.h"
#include "widgets/DbGrid.h"
#include "widgets/MessageBox.h"
#include "widgets/PaintTasks.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QTabWidget>
#include <QTest>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

using bench::Figure;
using bench::RanStatement;

// On a machine others share, the time this thread spent on the processor
// says more than the clock on the wall (QEL_BENCH_CLOCK=cpu).
bool cpuClock()
{
    static const bool cpu = qEnvironmentVariable("QEL_BENCH_CLOCK") == QLatin1String("cpu");
    return cpu;
}

class Stopwatch {
public:
    Stopwatch() { start(); }
    void start()
    {
        wall_.start();
        cpu_ = threadCpuNs();
    }
    double ms() const { return cpuClock() ? double(threadCpuNs() - cpu_) / 1e6 : double(wall_.nsecsElapsed()) / 1e6; }

private:
    static qint64 threadCpuNs()
    {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }
    QElapsedTimer wall_;
    qint64 cpu_ = 0;
};

// Keeps a value read from being optimised away.
void keep(QVariant value)
{
    static volatile int sink = 0;
    sink = sink + int(value.isValid());
}

double elapsedMs(const Stopwatch& t)
{
    return t.ms();
}

// Kilobytes of a /proc/self/status line ("VmRSS", "VmHWM").
qint64 statusKb(const char* name)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(int(qstrlen(name)) + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

QString megabytes(qint64 kb)
{
    return QStringLiteral("%1 MB").arg(double(kb) / 1024.0, 0, 'f', 1);
}

class Bench {
public:
    // `only`: the parts to run (startup, first, product, history, access,
    // search); empty for all.
    Bench(const QString& folder, int runs, QStringList only = {}) : folder_(folder), runs_(runs), only_(std::move(only)) {}

    int run();
    static int firstLoad(const QString& folder);  // one first load, printed in ms

private:
    struct Window {
        TDMConfig config;
        TDM dm;
        std::unique_ptr<TFrInquiryPrice> window;
    };
    std::unique_ptr<Window> openWindow();
    // Times `action` (the program) and then the statements it ran on SQLite.
    void timed(Figure& figure, const std::function<void()>& action, qint64 rawRows = -1);
    double replay(const QVector<RanStatement>& statements, qint64 rawRows);
    void loadProduct(TFrInquiryPrice& w, const QString& code);
    static void paintChanges();
    QStringList codes(int count);
    void startUp();
    void firstLoads();
    void productLoads(TFrInquiryPrice& w);
    void historyTab(TFrInquiryPrice& w);
    void accessLayer();
    void searches();
    template <class Dialog>
    void searchDialog(const QString& name, const std::function<QLineEdit*(Dialog&)>& box, const QString& typed);

    bool wanted(const char* part) const { return only_.isEmpty() || only_.contains(QLatin1String(part)); }

    QString folder_;
    int runs_;
    QStringList only_;
    bench::Table table_;
    bench::StatementLog log_;
    std::unique_ptr<bench::RawSqlite> raw_;
    qint64 products_ = 0;
};

std::unique_ptr<Bench::Window> Bench::openWindow()
{
    auto w = std::make_unique<Window>();
    DMConfig = &w->config;
    DM = &w->dm;
    w->config.GetCompanyConfig(QStringLiteral("BENCH"));
    w->config.CheckRight(12, 1);
    w->dm.setDatabaseArgument(QStringLiteral("BENCH"));
    w->window = std::make_unique<TFrInquiryPrice>();
    w->window->show();
    w->window->activateWindow();
    if (!QTest::qWaitForWindowExposed(w->window.get()) || !QTest::qWaitForWindowActive(w->window.get()))
        std::fprintf(stderr, "qel_bench: the window did not become active\n");
    QTest::keyClicks(w->window->GetCustomerCode, QStringLiteral("C000002"));
    QTest::keyClick(w->window->GetCustomerCode, Qt::Key_Return);
    w->window->GetProductCode->setFocus();
    return w;
}

void Bench::loadProduct(TFrInquiryPrice& w, const QString& code)
{
    w.GetProductCode->setText(code);
    QTest::keyClick(w.GetProductCode, Qt::Key_Return);
    paintChanges();
}

void Bench::paintChanges()
{
    // As the program's own event loop does after a key: the layouts follow
    // what changed and every part of the window that changed is painted.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

double Bench::replay(const QVector<RanStatement>& statements, qint64 rawRows)
{
    Stopwatch t;
    for (const RanStatement& s : statements)
        raw_->run(s, rawRows);
    return elapsedMs(t);
}

void Bench::timed(Figure& figure, const std::function<void()>& action, qint64 rawRows)
{
    log_.start();
    Stopwatch t;
    action();
    figure.ms.push_back(elapsedMs(t));
    const QVector<RanStatement> ran = log_.take();
    if (raw_ && !ran.isEmpty())
        figure.rawMs.push_back(replay(ran, rawRows));
}

QStringList Bench::codes(int count)
{
    // Spread over the whole table, never product 1 (stocked everywhere).
    db::Query q(QStringLiteral("DMDATA"));
    q.setSql({QStringLiteral("Select Code From Product Where Id % :Step = 3 And Id > 1 Order By Id")});
    q.setParam(QStringLiteral("Step"), std::max<qint64>(1, products_ / count));
    q.open();
    QStringList list;
    for (q.first(); !q.eof() && list.size() < count; q.next())
        list.append(q.asString(QStringLiteral("Code")));
    return list;
}

void Bench::startUp()
{
    Figure f{QStringLiteral("start to window shown, and closed again"), {}, {}, QStringLiteral("whole process")};
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QEL_NONINTERACTIVE"), QStringLiteral("1"));
    env.insert(QStringLiteral("QEL_AUTOCLOSE_MS"), QStringLiteral("1"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));  // the work date below is written month first
    const QString date = QDate::currentDate().toString(QStringLiteral("M/d/yy"));
    for (int i = 0; i < 7; ++i) {
        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(folder_);
        QElapsedTimer t;
        t.start();
        program.start(QStringLiteral(QEL_BINARY_DIR "/src/app/priceinquiry"),
                      {QStringLiteral("12"), QStringLiteral("1"), QStringLiteral("BENCH"), QStringLiteral("x"),
                       QStringLiteral("x"), date});
        if (!program.waitForFinished(60000) || program.exitCode() != 0) {
            std::fprintf(stderr, "priceinquiry did not start and close cleanly\n");
            return;
        }
        f.ms.push_back(double(t.nsecsElapsed()) / 1e6);  // another process: the wall clock only
    }
    table_.add(f);
}

int Bench::firstLoad(const QString& folder)
{
    QDir::setCurrent(folder);
    Bench b(folder, 1);
    auto w = b.openWindow();
    b.products_ = 1000;
    const QString code = b.codes(1).value(0);
    Stopwatch t;
    b.loadProduct(*w->window, code);
    const double ms = elapsedMs(t);
    // The program's own memory, with nothing of the benchmark beside it.
    w->window->PageCtrl->setCurrentWidget(w->window->TabSheet2);
    paintChanges();
    std::printf("%.3f %lld\n", ms, statusKb("VmRSS"));
    return 0;
}

void Bench::firstLoads()
{
    Figure f{QStringLiteral("product load, first of a process"), {}, {}, QStringLiteral("Enter to painted")};
    std::vector<double> memory;
    for (int i = 0; i < 5; ++i) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {folder_, QStringLiteral("--first-load")});
        if (!child.waitForFinished(60000))
            return;
        const QStringList out = QString::fromLatin1(child.readAllStandardOutput()).simplified().split(QLatin1Char(' '));
        bool ok = false;
        const double ms = out.value(0).toDouble(&ok);
        if (ok)
            f.ms.push_back(ms);
        memory.push_back(out.value(1).toDouble());
    }
    table_.add(f);
    table_.addValue(QStringLiteral("resident memory after the first product load and the history tab"),
                    megabytes(qint64(bench::percentile(memory, 0.5))));
}

void Bench::productLoads(TFrInquiryPrice& w)
{
    const QStringList list = codes(std::max(60, runs_ + 50));
    const int seenCount = std::min<int>(50, int(list.size()));
    for (int i = 0; i < seenCount; ++i)
        loadProduct(w, list.at(i));
    Figure seen{QStringLiteral("product load, code seen before"), {}, {}, QStringLiteral("Enter to painted")};
    for (int i = 0; i < runs_; ++i) {
        const QString code = list.at(i % seenCount);
        timed(seen, [&] { loadProduct(w, code); });
    }
    table_.add(seen);
    Figure fresh{QStringLiteral("product load, never-seen code"), {}, {}, QStringLiteral("Enter to painted")};
    for (int i = seenCount; i < list.size(); ++i) {
        const QString code = list.at(i);
        timed(fresh, [&] { loadProduct(w, code); });
    }
    table_.add(fresh);

    db::Query everywhere(QStringLiteral("DMDATA"));
    everywhere.setSql({QStringLiteral("Select Code, (Select Count(*) From productonhand H Where H.Product = P.Id And "
                                      "H.BalanceYear = Year(GetDate())) Warehouses From Product P Where Id = 1")});
    everywhere.open();
    const QString widest = everywhere.asString(QStringLiteral("Code"));
    Figure all{QStringLiteral("product load, stocked in %1 warehouses").arg(everywhere.asInteger(QStringLiteral("Warehouses"))),
               {}, {}, QStringLiteral("Enter to painted")};
    for (int i = 0; i < runs_ / 2; ++i) {
        loadProduct(w, list.at(i % seenCount));  // another product between, so that each load is a load
        timed(all, [&] { loadProduct(w, widest); });
    }
    table_.add(all);
}

void Bench::historyTab(TFrInquiryPrice& w)
{
    const QStringList list = codes(std::min(40, runs_ / 2));
    Figure f{QStringLiteral("history tab shown"), {}, {}, QStringLiteral("tab click to painted")};
    for (const QString& code : list) {
        loadProduct(w, code);
        timed(f, [&] {
            w.PageCtrl->setCurrentWidget(w.TabSheet2);
            paintChanges();
        });
        w.PageCtrl->setCurrentWidget(w.TabSheet1);
    }
    table_.add(f);
    table_.addValue(QStringLiteral("resident memory of this benchmark after the loads and the history tab (SQLite's "
                                   "own session beside the program's)"),
                    megabytes(statusKb("VmRSS")));
}

void Bench::accessLayer()
{
    const QStringList list = codes(200);
    Figure one{QStringLiteral("access layer: one product by code"), {}, {}, QStringLiteral("db::Query, every column read")};
    db::Query q(QStringLiteral("DMDATA"));
    q.setSql({QStringLiteral("Select Id, Code, ThaiName, EngName, PType, PGroup From Product Where Code = :Code")});
    for (int i = 0; i < runs_ * 5; ++i) {
        q.setParam(QStringLiteral("Code"), list.at(i % list.size()));
        timed(one, [&] {
            q.open();
            for (int c = 0; c < q.fieldCount(); ++c)
                keep(q.valueAt(0, c));
        });
    }
    table_.add(one);
    // What db::Query did before it read lazily: the whole batch through
    // QtSql's driver, every row copied before the first was seen.
    db::Engine& engine = db::Connection::byAlias(QStringLiteral("DMDATA")).engine();
    Figure oneBefore{QStringLiteral("access layer: one product by code, every row read first"), {}, {},
                     QStringLiteral("Engine::execute through QtSql")};
    for (int i = 0; i < runs_ * 5; ++i) {
        q.setParam(QStringLiteral("Code"), list.at(i % list.size()));
        timed(oneBefore, [&] { engine.execute(q.sqlText(), q.params()); });
    }
    table_.add(oneBefore);

    const QString count = QLocale(QLocale::English).toString(std::min<qint64>(100000, products_));
    Figure many{QStringLiteral("access layer: %1 rows").arg(count), {}, {}, QStringLiteral("db::Query, every row and column read")};
    db::Query rows(QStringLiteral("DMDATA"));
    rows.setSql({QStringLiteral("Select Id, Code, ThaiName, EngName, PType, PGroup From Product Where Id <= 100000")});
    for (int i = 0; i < 7; ++i) {
        timed(many, [&] {
            rows.open();
            const int n = rows.recordCount();
            for (int r = 0; r < n; ++r)
                for (int c = 0; c < rows.fieldCount(); ++c)
                    keep(rows.valueAt(r, c));
            rows.close();
        });
    }
    table_.add(many);
    Figure manyBefore{QStringLiteral("access layer: %1 rows, every row read first").arg(count), {}, {},
                      QStringLiteral("Engine::execute through QtSql")};
    for (int i = 0; i < 7; ++i) {
        timed(manyBefore, [&] {
            const db::ResultSet r = engine.execute(rows.sqlText(), rows.params());
            // Read as the grids read db::Query: a copy of each value.
            for (const auto& row : r.rows)
                for (int c = 0; c < row.size(); ++c)
                    keep(row.at(c));
        });
    }
    table_.add(manyBefore);
}

template <class Dialog>
void Bench::searchDialog(const QString& name, const std::function<QLineEdit*(Dialog&)>& box, const QString& typed)
{
    Dialog dialog;
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        std::fprintf(stderr, "qel_bench: the dialog was not shown\n");
    for (const QString& text : {typed, QString()}) {
        Figure f{name + (text.isEmpty() ? QStringLiteral(", every box empty") : QStringLiteral(", \"%1\" typed").arg(text)),
                 {}, {}, QStringLiteral("first rows painted; SQLite: every row")};
        if (box)
            box(dialog)->setText(text);
        for (int i = 0; i < 7; ++i) {
            timed(f, [&] {
                dialog.search();
                dialog.grid()->repaint();
            });
        }
        dialog.QSearch.close();
        table_.add(f);
    }
    dialog.reject();
}

void Bench::searches()
{
    widgets::setMessageHandler([](widgets::MessageKind, const QString&) { return true; });
    searchDialog<TF_SearchProduct>(QStringLiteral("product search"),
                                   [](TF_SearchProduct& d) { return d.ProductName; }, QStringLiteral("ชาเขียว"));
    searchDialog<TF_SearchProductUnits>(QStringLiteral("unit search"),
                                        [](TF_SearchProductUnits& d) { return d.InputName; }, QStringLiteral("ชาเขียว"));
    searchDialog<TFrSearchBarCode>(QStringLiteral("bar-code search"), [](TFrSearchBarCode& d) { return d.Name; },
                                   QStringLiteral("ชาเขียว"));
    searchDialog<TF_SearchCustomer>(QStringLiteral("customer search"),
                                    [](TF_SearchCustomer& d) { return d.CustomerName; }, QStringLiteral("สมใจ"));
}

int Bench::run()
{
    QDir::setCurrent(folder_);
    if (wanted("startup"))
        startUp();
    if (wanted("first"))
        firstLoads();
    auto w = openWindow();
    {
        db::Query count(QStringLiteral("DMDATA"));
        count.setSql({QStringLiteral("Select Count(*) N From Product")});
        count.open();
        products_ = count.asInteger(QStringLiteral("N"));
    }
    auto& engine = dynamic_cast<db::sqlite::SqliteEngine&>(db::Connection::byAlias(QStringLiteral("DMDATA")).engine());
    raw_ = std::make_unique<bench::RawSqlite>(engine.filePath());
    if (wanted("product"))
        productLoads(*w->window);
    if (wanted("history"))
        historyTab(*w->window);
    if (wanted("access"))
        accessLayer();
    if (wanted("search"))
        searches();
    table_.addValue(QStringLiteral("peak resident memory of the whole run"), megabytes(statusKb("VmHWM")));
    w->window->close();
    std::printf("%s\n", qPrintable(table_.text(QStringLiteral("%1: %2 products").arg(folder_).arg(products_))));
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QEL_NONINTERACTIVE", "1");
    QApplication app(argc, argv);
    widgets::paintOnTheCallingThread(true);  // as the program's application object does
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: qel_bench DIR [--runs N] [--only startup,first,product,history,access,search]\n");
        return 2;
    }
    const QString folder = QDir(args.at(1)).absolutePath();
    const int runs = args.contains(QStringLiteral("--runs")) ? args.value(args.indexOf(QStringLiteral("--runs")) + 1).toInt() : 100;
    widgets::setMessageHandler([](widgets::MessageKind, const QString&) { return true; });
    try {
        if (args.contains(QStringLiteral("--first-load")))
            return Bench::firstLoad(folder);
        const qsizetype only = args.indexOf(QStringLiteral("--only"));
        const QStringList parts = only > 0 ? args.value(only + 1).split(QLatin1Char(','), Qt::SkipEmptyParts) : QStringList();
        return Bench(folder, std::max(10, runs), parts).run();
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "qel_bench: %s\n", qPrintable(e.message()));
        return 1;
    }
}
