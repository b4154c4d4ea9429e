// Progress bars of qel-db's long jobs: drawn on a terminal, never in a pipe
// or a CI log. A pseudo-terminal stands in for the administrator's screen.

#include "Progress.h"

#include "support/ToolRun.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

using qeldb::Progress;

// The slave side of a fresh pseudo-terminal, open as a QFile.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            slave_ = ::open(ptsname(master_), O_RDWR | O_NOCTTY);
        if (slave_ >= 0)
            file_.open(slave_, QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    ~PseudoTerminal()
    {
        file_.close();
        if (slave_ >= 0)
            ::close(slave_);
        if (master_ >= 0)
            ::close(master_);
    }
    bool ok() const { return file_.isOpen(); }
    QFile& file() { return file_; }

private:
    int master_ = -1;
    int slave_ = -1;
    QFile file_;
};

// Sets an environment variable for one test and puts it back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~ScopedEnv() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST(ProgressFrame, ShowsTheLabelABarInProportionAndTheCounts)
{
    const QString half = Progress::frame(QStringLiteral("ProductPrice"), 1500, 3000, 0, 80);
    EXPECT_EQ(half, QStringLiteral("ProductPrice  [###############...............]  1,500/3,000"));
    EXPECT_EQ(Progress::frame(QStringLiteral("x"), 0, 10, 0, 80), QStringLiteral("x  [..............................]  0/10"));
    EXPECT_TRUE(Progress::frame(QStringLiteral("x"), 10, 10, 5000, 80).endsWith(QStringLiteral("[##############################]  10/10")))
        << "a finished job has no time left";
    EXPECT_EQ(Progress::frame(QStringLiteral("x"), 7, 0, 0, 80), QStringLiteral("x  [..............................]  7"))
        << "an unknown total shows the count alone";
}

TEST(ProgressFrame, TimeLeftIsTheTimeSoFarScaledByWhatRemains)
{
    EXPECT_FALSE(Progress::frame(QStringLiteral("x"), 1, 4, 900, 80).contains(QStringLiteral("left")))
        << "less than a second says too little to guess from";
    EXPECT_TRUE(Progress::frame(QStringLiteral("x"), 1, 4, 10000, 80).endsWith(QStringLiteral("1/4  0:30 left")));
    EXPECT_TRUE(Progress::frame(QStringLiteral("x"), 1, 1000, 4000, 80).endsWith(QStringLiteral("1:06:36 left")));
}

TEST(ProgressFrame, ANarrowTerminalShortensTheLabelNotTheCounts)
{
    const QString label = QStringLiteral("a-very-long-table-name-that-does-not-fit");
    const QString narrow = Progress::frame(label, 5, 10, 0, 40);
    EXPECT_LE(narrow.size(), 40);
    EXPECT_TRUE(narrow.endsWith(QStringLiteral("]  5/10"))) << narrow.toStdString();
    EXPECT_TRUE(narrow.startsWith(QStringLiteral("a-very-l"))) << narrow.toStdString();
    EXPECT_TRUE(narrow.contains(QStringLiteral("...  ["))) << narrow.toStdString();
}

TEST(ProgressOutput, OnlyATerminalOutsideCiGetsABar)
{
    ScopedEnv ci("CI", QByteArray());
    ScopedEnv term("TERM", "xterm");
    QBuffer pipe;
    pipe.open(QIODevice::WriteOnly);
    EXPECT_FALSE(Progress::onTerminal(pipe));
    PseudoTerminal tty;
    ASSERT_TRUE(tty.ok());
    EXPECT_TRUE(Progress::onTerminal(tty.file()));
    {
        ScopedEnv inCi("CI", "true");
        EXPECT_FALSE(Progress::onTerminal(tty.file())) << "CI logs keep plain lines";
    }
    ScopedEnv dumb("TERM", "dumb");
    EXPECT_FALSE(Progress::onTerminal(tty.file()));
}

TEST(ProgressOutput, ABarIsRedrawnInPlaceAndClearedForOrdinaryLines)
{
    QBuffer screen;
    screen.open(QIODevice::WriteOnly);
    {
        Progress progress(screen, true);
        progress.start(QStringLiteral("script.sql"), 4);
        progress.advance(4);  // the last step is always drawn
        progress.clearLine();
        screen.write("a line of output\n");
    }
    const QString text = QString::fromUtf8(screen.data());
    EXPECT_TRUE(text.startsWith(QStringLiteral("\rscript.sql  [")));
    EXPECT_TRUE(text.contains(QStringLiteral("4/4"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\r +\\ra line of output\\n\\z")))) << text.toStdString();
    EXPECT_FALSE(text.contains(QLatin1Char('\n')) && text.indexOf(QLatin1Char('\n')) < text.indexOf(QStringLiteral("a line")))
        << "the bar never moves down a line";

    QBuffer quiet;
    quiet.open(QIODevice::WriteOnly);
    {
        Progress progress(quiet, false);
        progress.start(QStringLiteral("x"), 2);
        progress.advance(2);
    }
    EXPECT_TRUE(quiet.data().isEmpty());
}

// A database LONG in `dir` with a table T, and a script of `batches`
// inserts into it.
QString longScript(const QTemporaryDir& dir, int batches)
{
    QFile script(dir.filePath(QStringLiteral("long.sql")));
    EXPECT_TRUE(script.open(QIODevice::WriteOnly));
    for (int i = 0; i < batches; ++i)
        script.write(QStringLiteral("Insert Into T Values (%1)\nGO\n").arg(i).toUtf8());
    script.close();
    const QString server = QStringLiteral("sqlite:") + dir.path();
    EXPECT_EQ(runTool({QStringLiteral("--server"), server, QStringLiteral("create"), QStringLiteral("LONG")}).status, 0);
    EXPECT_EQ(runTool({QStringLiteral("--server"), server, QStringLiteral("--database"), QStringLiteral("LONG"),
                       QStringLiteral("query"), QStringLiteral("Create Table T (N Int)")})
                  .status,
              0);
    return script.fileName();
}

// The real program in a real terminal (util-linux's script gives it one):
// the bar counts the batches of a long script; with CI set there is none.
TEST(ProgressOutput, TheProgramDrawsABarInATerminalOnly)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/qel-db");
    const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
    if (!QFileInfo(program).isExecutable() || script.isEmpty())
        GTEST_SKIP() << "skipped: needs qel-db built next to the tests and util-linux's script";
    QTemporaryDir dir;
    const QString sql = longScript(dir, 300);
    auto runInTerminal = [&](bool ci, const QString& arguments = QString()) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TERM"), QStringLiteral("xterm"));
        ci ? env.insert(QStringLiteral("CI"), QStringLiteral("true")) : env.remove(QStringLiteral("CI"));
        p.setProcessEnvironment(env);
        const QString command = arguments.isEmpty()
            ? QStringLiteral("'%1' --server 'sqlite:%2' --database LONG script '%3'").arg(program, dir.path(), sql)
            : QStringLiteral("'%1' %2").arg(program, arguments);
        p.start(script, {QStringLiteral("-qec"), command, QStringLiteral("/dev/null")});
        EXPECT_TRUE(p.waitForFinished(120000));
        EXPECT_EQ(p.exitCode(), 0);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    const QString shown = runInTerminal(false);
    EXPECT_TRUE(shown.contains(QStringLiteral("long.sql  ["))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("/300"))) << shown.toStdString();
    EXPECT_FALSE(runInTerminal(true).contains(QStringLiteral("/300")));

    // generate's own lines each replace the bar and the bar goes on under
    // them, rather than a line being written onto the end of the bar.
    const QString generated =
        runInTerminal(false, QStringLiteral("generate '%1' --products 100").arg(dir.filePath(QStringLiteral("gen"))));
    EXPECT_TRUE(generated.contains(QRegularExpression(QStringLiteral("\\r +\\r  numbers +\\d")))) << generated.toStdString();
    EXPECT_FALSE(generated.contains(QRegularExpression(QStringLiteral("\\d+/\\d+ +  numbers")))) << generated.toStdString();
}

TEST(ProgressOutput, LongCommandsWriteNoBarIntoAPipe)
{
    QTemporaryDir dir;
    const QString sql = longScript(dir, 50);
    const ToolOutcome o = runTool({QStringLiteral("--server"), QStringLiteral("sqlite:") + dir.path(), QStringLiteral("--database"),
                                   QStringLiteral("LONG"), QStringLiteral("script"), sql});
    ASSERT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.err.isEmpty()) << o.err.toStdString();
    EXPECT_TRUE(o.out.isEmpty()) << o.out.toStdString();
}

} // namespace
