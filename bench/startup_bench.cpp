// Start-up to window: the program started as the menu program starts it, on
// the demo company, closing itself as soon as its window has been shown.
//
//   build/bench/startup_bench

#include <QCoreApplication>
#include <QDate>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

QTemporaryDir& demoFolder()
{
    static QTemporaryDir dir;
    static const bool made = [] {
        QProcess qeldb;
        qeldb.start(QStringLiteral(QEL_BINARY_DIR "/tools/qel-db"), {"create-demo", dir.path() + "/demo"});
        return qeldb.waitForFinished(120000) && qeldb.exitCode() == 0;
    }();
    if (!made)
        std::fprintf(stderr, "qel-db create-demo failed\n");
    return dir;
}

void BM_StartToWindow(benchmark::State& state)
{
    const QString folder = demoFolder().path() + "/demo";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QEL_NONINTERACTIVE", "1");
    env.insert("QEL_AUTOCLOSE_MS", "1");
    env.insert("LC_ALL", "en_US.UTF-8");
    const QString date = QDate::currentDate().toString("M/d/yy");
    for (auto _ : state) {
        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(folder);
        program.start(QStringLiteral(QEL_BINARY_DIR "/src/app/priceinquiry"), {"12", "1", "DEMO", "x", "x", date});
        if (!program.waitForFinished(30000) || program.exitCode() != 0) {
            state.SkipWithError("the program did not start and close cleanly");
            break;
        }
    }
}
BENCHMARK(BM_StartToWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
