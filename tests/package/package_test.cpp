// The Debian package: CPack makes it from this build, as scripts/package
// does, and the tests read it back with dpkg-deb and lintian. The desktop
// entry's launcher is started as the menu would start it, on the real
// program, off screen.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kBuild = QStringLiteral(QEL_BINARY_DIR);
const QString kSource = QStringLiteral(QEL_SOURCE_DIR);

struct Finished {
    int status = -1;
    QString out;
    QString err;
};

Finished run(const QString& program, const QStringList& arguments, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
        const QString& folder = QString())
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(program, arguments);
    Finished r;
    if (!p.waitForFinished(240000))
        return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

class Package : public ::testing::Test {
protected:
    // One package for the whole program: making it takes seconds.
    static void SetUpTestSuite()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        const Finished made = run(QStringLiteral(QEL_CPACK_COMMAND),
                             {QStringLiteral("--config"), kBuild + QStringLiteral("/CPackConfig.cmake"), QStringLiteral("-B"),
                              dir_->path()});
        const QStringList debs = QDir(dir_->path()).entryList({QStringLiteral("priceinquiry_*.deb")});
        if (made.status == 0 && debs.size() == 1)
            deb_ = dir_->filePath(debs.first());
        else
            why_ = made.out + made.err;
    }
    static void TearDownTestSuite() { dir_.reset(); }

    void SetUp() override
    {
        for (const char* tool : {"dpkg-deb", "dpkg-shlibdeps"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << "skipped: " << tool << " is not installed (scripts/package installs it)";
        }
        ASSERT_FALSE(deb_.isEmpty()) << "cpack made no package: " << why_.toStdString();
    }

    static std::unique_ptr<QTemporaryDir> dir_;
    static QString deb_;
    static QString why_;
};

std::unique_ptr<QTemporaryDir> Package::dir_;
QString Package::deb_;
QString Package::why_;

TEST_F(Package, NamedAfterVersionAndArchitectureWithTheDependenciesItNeedsAtRunTime)
{
    const Finished arch = run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")});
    EXPECT_EQ(QFileInfo(deb_).fileName(), QStringLiteral("priceinquiry_1.0.0_%1.deb").arg(arch.out.trimmed()));
    const Finished depends = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb_, QStringLiteral("Depends")});
    ASSERT_EQ(depends.status, 0) << depends.err.toStdString();
    QStringList names;
    for (const QString& d : depends.out.split(QLatin1Char(',')))
        names.append(d.trimmed().section(QLatin1Char(' '), 0, 0));
    // Loaded at run time, so no library scan can find them.
    for (const char* runtime : {"libqt6sql6-sqlite", "libqt6sql6-odbc", "unixodbc", "tdsodbc", "fonts-thai-tlwg"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(runtime))) << runtime << " in " << depends.out.toStdString();
    // Found by dpkg-shlibdeps in the binaries.
    for (const char* linked : {"libqt6core6", "libqt6widgets6", "libqt6printsupport6", "libsqlite3-0", "libcurl4"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(linked))) << linked << " in " << depends.out.toStdString();
}

TEST_F(Package, HoldsTheProgramsScriptsLayoutDesktopEntryAndManualPages)
{
    const Finished list = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), deb_});
    ASSERT_EQ(list.status, 0) << list.err.toStdString();
    QStringList paths;
    for (const QString& line : list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString path = line.section(QLatin1Char(' '), -1).mid(1);  // "./usr/..." -> "/usr/..."
        if (!path.endsWith(QLatin1Char('/')))
            paths.append(path + (line.startsWith(QLatin1Char('-')) && line.at(3) == QLatin1Char('x') ? QStringLiteral(" x")
                                                                                                      : QString()));
    }
    const QStringList expected{
        "/usr/bin/priceinquiry x", "/usr/bin/qel-db x", "/usr/libexec/priceinquiry/start x",
        "/usr/share/priceinquiry/Form_ChkPrice.frf", "/usr/share/priceinquiry/sql/config.sql",
        "/usr/share/priceinquiry/sql/business.sql", "/usr/share/priceinquiry/sql/program.sql",
        "/usr/share/priceinquiry/sql/demo.sql", "/usr/share/applications/priceinquiry.desktop",
        "/usr/share/icons/hicolor/scalable/apps/priceinquiry.svg", "/usr/share/man/man1/priceinquiry.1.gz",
        "/usr/share/man/man1/qel-db.1.gz", "/usr/share/doc/priceinquiry/copyright",
        "/usr/share/doc/priceinquiry/changelog.gz", "/usr/share/doc/priceinquiry/layout.md",
        "/etc/priceinquiry/desktop.conf"};
    for (const QString& path : expected)
        EXPECT_TRUE(paths.contains(path)) << path.toStdString() << " in\n" << paths.join('\n').toStdString();
    EXPECT_FALSE(paths.join('\n').contains(QStringLiteral("test"))) << "no test program travels with the package";

    // What the menu shows and starts is in the package, under both names.
    QTemporaryDir tree;
    ASSERT_EQ(run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb_, tree.path()}).status, 0);
    QFile desktop(tree.filePath(QStringLiteral("usr/share/applications/priceinquiry.desktop")));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(desktop.readAll());
    EXPECT_TRUE(entry.contains(QStringLiteral("\nName=Price Inquiry\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nName[th]=สอบถามราคาทางโทรศัพท์\n")));
    const QString exec = QRegularExpression(QStringLiteral("\\nExec=(\\S+)")).match(entry).captured(1);
    EXPECT_TRUE(QFileInfo(tree.filePath(exec.mid(1))).isExecutable()) << exec.toStdString();
    const QString icon = QRegularExpression(QStringLiteral("\\nIcon=(\\S+)")).match(entry).captured(1);
    EXPECT_TRUE(QFileInfo::exists(tree.filePath(QStringLiteral("usr/share/icons/hicolor/scalable/apps/%1.svg").arg(icon))));
    const Finished conffiles = run(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("dpkg-deb --ctrl-tarfile '%1' | tar -xOf - ./conffiles").arg(deb_)});
    EXPECT_EQ(conffiles.out.trimmed(), QStringLiteral("/etc/priceinquiry/desktop.conf")) << "a site's changes survive an upgrade";
}

TEST_F(Package, LintianFindsNoError)
{
    if (QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty())
        GTEST_SKIP() << "skipped: lintian is not installed (scripts/package installs it)";
    const Finished lint = run(QStringLiteral("lintian"), {QStringLiteral("--fail-on"), QStringLiteral("error,warning"), deb_});
    EXPECT_EQ(lint.status, 0) << lint.out.toStdString() << lint.err.toStdString();
    EXPECT_FALSE(lint.out.contains(QRegularExpression(QStringLiteral("^[EW]: "), QRegularExpression::MultilineOption)))
        << lint.out.toStdString();
}

// The menu entry's launcher on a machine where nobody has set anything up:
// it makes the demo company and opens the inquiry on it. The real program
// runs off screen, types a customer and a product and saves its window.
TEST(DesktopLauncher, TheFirstStartMakesTheDemoAndOpensTheInquiry)
{
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    env.insert(QStringLiteral("PATH"), kBuild + QStringLiteral("/src/app:") + kBuild + QStringLiteral("/tools:")
                                           + env.value(QStringLiteral("PATH")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QEL_NONINTERACTIVE"), QStringLiteral("1"));
    const QString shot = home.filePath(QStringLiteral("window.png"));
    env.insert(QStringLiteral("QEL_SCREENSHOT"), shot);
    env.insert(QStringLiteral("QEL_TYPE"), QStringLiteral("C001\nD1001\n"));
    const Finished started = run(kSource + QStringLiteral("/packaging/start"), {}, env, home.path());
    EXPECT_EQ(started.status, 0) << started.out.toStdString() << started.err.toStdString();
    const QString demo = home.filePath(QStringLiteral(".local/share/priceinquiry/demo"));
    EXPECT_TRUE(QFileInfo::exists(demo + QStringLiteral("/Server.Dat")));
    EXPECT_TRUE(QFileInfo::exists(demo + QStringLiteral("/DEMO.sqlite")));
    EXPECT_GT(QFileInfo(shot).size(), 0) << "the window opened on the demo company";

    // A site's own settings in the user's file win over the shipped ones.
    QDir().mkpath(home.filePath(QStringLiteral(".config/priceinquiry")));
    QFile conf(home.filePath(QStringLiteral(".config/priceinquiry/desktop.conf")));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("FOLDER=%1\nUSER_ID=3\n").arg(demo).toUtf8());
    conf.close();
    QFile::remove(shot);
    const Finished guest = run(kSource + QStringLiteral("/packaging/start"), {}, env, home.path());
    EXPECT_EQ(guest.status, 0) << guest.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(shot)) << "user 3 may not open the inquiry, so no window was shown";
}

} // namespace
