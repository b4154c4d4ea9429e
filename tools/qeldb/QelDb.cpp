#include "QelDb.h"

#include "Copy.h"
#include "Demo.h"
#include "Generator.h"
#include "Progress.h"
#include "RenderLayout.h"
#include "Price.h"

#include "db/DbError.h"
#include "db/sqlite/SqliteEngine.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QIODevice>
#include <QRegularExpression>
#include <QTime>

#include <charconv>
#include <cmath>
#include <memory>

namespace qeldb {

namespace {

const QString kServerFile = QStringLiteral("Server.Dat");

// Options that take a value, and those that do not.
struct OptionName {
    const char* name;
    QString Options::*target;
};
const OptionName kValueOptions[] = {
    {"--server", &Options::server},
    {"--database", &Options::database},
    {"--user", &Options::user},
    {"--password", &Options::password},
    {"--timeout", &Options::timeout},
};

bool isHelp(const QString& a)
{
    return a == QLatin1String("--help") || a == QLatin1String("-h");
}

bool isVerbose(const QString& a)
{
    return a == QLatin1String("--verbose") || a == QLatin1String("-v");
}

// Something that looks like an option the tool does not know, as opposed to
// a query or file name that merely starts with a dash ("-- note\nSELECT ...").
bool looksLikeOption(const QString& a)
{
    static const QRegularExpression option(QStringLiteral("\\A--?[A-Za-z][A-Za-z-]*(=.*)?\\z"),
                                           QRegularExpression::DotMatchesEverythingOption);
    return !a.contains(QLatin1Char('\n')) && option.match(a).hasMatch();
}

CommandLine usageError(const QString& why)
{
    CommandLine c;
    c.outcome = CommandLine::Outcome::UsageError;
    c.error = why;
    return c;
}

QByteArray line(const QString& text)
{
    return text.toUtf8() + '\n';
}

QString escapeText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\t': out += QLatin1String("\\t"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        default: out += c;
        }
    }
    return out;
}

template <typename Float>
QString shortestDecimal(Float value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    // Fixed notation rather than an exponent: these are amounts and
    // quantities, read by people and by scripts that expect plain digits.
    // The largest double has 309 integer digits, the smallest 1074 decimals
    // after a run of zeros; this is enough for both.
    char buffer[1200];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc())
        return QString::number(double(value), 'g', 17);
    return QString::fromLatin1(buffer, int(end - buffer));
}

} // namespace

// ---- command line ----------------------------------------------------------

QString usageText()
{
    return QStringLiteral(
        "Usage: qel-db [OPTIONS] COMMAND ...\n"
        "\n"
        "Commands:\n"
        "  create NAME      make an empty database\n"
        "  script FILE...   run T-SQL scripts; a line holding only GO or only / ends a batch,\n"
        "                   each batch runs by itself; the first failure stops everything\n"
        "  query SQL        run one batch and print the rows of its last result as\n"
        "                   tab-separated text, a header line first; a date without a\n"
        "                   time of day, a datetime as yyyy-mm-dd hh:mm:ss.mmm, money\n"
        "                   and decimals with every decimal of their scale\n"
        "  plan SQL         (embedded engine) show the SQLite statements the SELECTs of\n"
        "                   one batch become and how SQLite would run each; runs nothing\n"
        "  trigram-index TABLE COLUMN\n"
        "                   (embedded engine) keep a trigram index of a text column, so\n"
        "                   that LIKE '%text%' on it reads only the rows holding the text\n"
        "  create-demo DIR  make a demo site in DIR on the embedded engine: QEL_CONFIG,\n"
        "                   the demo company DEMO with its pictures, Server.Dat and\n"
        "                   NoPicture.Bmp; refused when DIR holds a QEL_CONFIG already\n"
        "  generate DIR --products N [--warehouses W] [--years Y] [--invoice-lines L]\n"
        "           [--seed S]\n"
        "                   make a large registered company database in DIR on the\n"
        "                   embedded engine (named by --database, default BENCH; QEL_CONFIG\n"
        "                   and Server.Dat are made when missing): N products (up to\n"
        "                   1,000,000) with three units and every price type, W warehouses\n"
        "                   (default 50; a product in about ten of them, the first in\n"
        "                   all), stock for Y years (default 2), L sales history lines\n"
        "                   (default N, up to 20,000,000), N/10 customers; the same\n"
        "                   seed (default 1) gives the same data\n"
        "  copy --from SERVER --to SERVER2 DATABASE\n"
        "                   copy a database (tables, keys, indexes, views, procedures\n"
        "                   and rows) from one engine to another; SERVER2 must not hold\n"
        "                   DATABASE yet, and a failed copy leaves nothing there\n"
        "  render-layout FILE --to OUT.pdf\n"
        "                   print an offer-list layout with sample lines to a PDF, to\n"
        "                   check a changed layout without the program\n"
        "  price --product CODE --unit NAME --type N [--customer CODE] [--date YYYY-MM-DD]\n"
        "                   the selling price the program gives in the business database\n"
        "                   --database names (default date: today): the price, the\n"
        "                   discount text, the quantity and the source that won (price\n"
        "                   list, the point-of-sale price type, customer price, promotion\n"
        "                   for the customer, promotion for all customers)\n"
        "\n"
        "Options:\n"
        "  --server NAME    SQL Server host (host, host,port, host\\instance), or\n"
        "                   sqlite:FOLDER for the embedded engine; by default the first\n"
        "                   line of Server.Dat in the current folder, else QEL\n"
        "  --database NAME  database to work in (default QEL_CONFIG; for generate, the\n"
        "                   database to make, default BENCH)\n"
        "  --user U         login (default the program's own)\n"
        "  --password P     password (default the program's own)\n"
        "  --timeout S      seconds a batch may run before it is stopped (default 600,\n"
        "                   0 for no limit)\n"
        "  --verbose        with script: one line per batch run\n"
        "  --help           show this text\n"
        "\n"
        "Exit status: 0 done, 1 failed, 2 bad command line.\n");
}

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine result;
    Options& o = result.options;
    bool optionsEnded = false;
    bool haveCommand = false;
    bool databaseGiven = false;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (!optionsEnded) {
            if (a == QLatin1String("--")) {
                optionsEnded = true;
                continue;
            }
            if (isHelp(a)) {
                result.outcome = CommandLine::Outcome::Help;
                return result;
            }
            if (isVerbose(a)) {
                o.verbose = true;
                continue;
            }
            bool matched = false;
            for (const OptionName& opt : kValueOptions) {
                const QLatin1String name(opt.name);
                QString value;
                if (a == name) {
                    if (i + 1 >= arguments.size())
                        return usageError(QStringLiteral("%1 needs a value").arg(name));
                    value = arguments.at(++i);
                } else if (a.startsWith(name + QLatin1Char('='))) {
                    value = a.mid(name.size() + 1);
                } else {
                    continue;
                }
                o.*(opt.target) = value;
                if (opt.target == &Options::server)
                    o.serverGiven = true;
                if (opt.target == &Options::database)
                    databaseGiven = true;
                matched = true;
                break;
            }
            if (matched)
                continue;
            // The own options of generate, copy, render-layout and price travel
            // with their arguments, a separate value included.
            if (haveCommand && ((o.command == QLatin1String("generate") && isGenerateOption(a))
                                || (o.command == QLatin1String("copy") && isCopyOption(a))
                                || (o.command == QLatin1String("render-layout") && isRenderOption(a))
                                || (o.command == QLatin1String("price") && isPriceOption(a)))) {
                o.arguments.append(a);
                if (!a.contains(QLatin1Char('=')) && i + 1 < arguments.size())
                    o.arguments.append(arguments.at(++i));
                continue;
            }
            // Before the command every dash is an option; after it only
            // what could not be a query or a file name.
            if ((!haveCommand && a.startsWith(QLatin1Char('-'))) || (haveCommand && looksLikeOption(a)))
                return usageError(QStringLiteral("unknown option %1").arg(a));
        }
        if (!haveCommand) {
            o.command = a;
            haveCommand = true;
        } else {
            o.arguments.append(a);
        }
    }

    if (!haveCommand)
        return usageError(QStringLiteral("no command given"));
    bool timeoutOk = false;
    if (o.timeout.toInt(&timeoutOk) < 0 || !timeoutOk)
        return usageError(QStringLiteral("--timeout takes a whole number of seconds, 0 for no limit"));
    if (o.command == QLatin1String("create")) {
        if (o.arguments.size() != 1 || o.arguments.first().isEmpty())
            return usageError(QStringLiteral("create takes one database name"));
    } else if (o.command == QLatin1String("script")) {
        if (o.arguments.isEmpty())
            return usageError(QStringLiteral("script needs at least one file"));
    } else if (o.command == QLatin1String("query")) {
        if (o.arguments.size() != 1)
            return usageError(QStringLiteral("query takes one batch of SQL (quote it)"));
    } else if (o.command == QLatin1String("plan")) {
        if (o.arguments.size() != 1)
            return usageError(QStringLiteral("plan takes one batch of SQL (quote it)"));
    } else if (o.command == QLatin1String("trigram-index")) {
        if (o.arguments.size() != 2)
            return usageError(QStringLiteral("trigram-index takes a table and one of its text columns"));
    } else if (o.command == QLatin1String("create-demo") || o.command == QLatin1String("generate")) {
        // Both build a site folder on the embedded engine; another server
        // would be silently ignored, so it is refused.
        if (o.serverGiven)
            return usageError(QStringLiteral("%1 works on the embedded engine in DIR; --server does not apply")
                                  .arg(o.command));
        if (o.command == QLatin1String("create-demo")) {
            if (o.arguments.size() != 1 || o.arguments.first().isEmpty())
                return usageError(QStringLiteral("create-demo takes one folder"));
            if (databaseGiven)
                return usageError(QStringLiteral("create-demo always makes the databases QEL_CONFIG and DEMO; "
                                                 "--database does not apply"));
        } else {
            if (!databaseGiven)
                o.database = QStringLiteral("BENCH");
            GenerateRequest request;
            QString why;
            if (!parseGenerateArguments(o.arguments, &request, &why))
                return usageError(why);
        }
    } else if (o.command == QLatin1String("copy")) {
        if (o.serverGiven || databaseGiven)
            return usageError(QStringLiteral("copy names its servers with --from and --to and the database after "
                                             "them; --server and --database do not apply"));
        CopyRequest request;
        QString why;
        if (!parseCopyArguments(o.arguments, &request, &why))
            return usageError(why);
    } else if (o.command == QLatin1String("render-layout")) {
        QString why;
        if (!parseRenderArguments(o.arguments, nullptr, &why))
            return usageError(why);
    } else if (o.command == QLatin1String("price")) {
        if (!databaseGiven)
            return usageError(QStringLiteral("price needs --database naming the company's business database"));
        PriceRequest request;
        QString why;
        if (!parsePriceArguments(o.arguments, QDate::currentDate(), &request, &why))
            return usageError(why);
    } else {
        return usageError(QStringLiteral("unknown command %1").arg(o.command));
    }
    result.outcome = CommandLine::Outcome::Run;
    return result;
}

// ---- connection ------------------------------------------------------------

QString serverNameFromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString::fromLatin1(kDefaultServer);
    QByteArray first = file.readLine();
    if (first.endsWith('\n'))
        first.chop(1);
    if (first.endsWith('\r'))
        first.chop(1);
    // Windows editors put a byte-order mark in front; it is never part of a
    // host name.
    if (first.startsWith("\xEF\xBB\xBF"))
        first.remove(0, 3);
    if (first.isEmpty())
        return QString::fromLatin1(kDefaultServer);
    return QString::fromUtf8(first);
}

QString serverName(const Options& options)
{
    return options.serverGiven ? options.server : serverNameFromFile(kServerFile);
}

QStringList connectionParams(const Options& options, const QString& database)
{
    return {
        QStringLiteral("DATABASE NAME=") + database,
        QStringLiteral("SERVER NAME=") + serverName(options),
        QStringLiteral("USER NAME=") + options.user,
        QStringLiteral("PASSWORD=") + options.password,
        QStringLiteral("MAX QUERY TIME=") + options.timeout,
        QStringLiteral("TDS PACKET SIZE=4096"),
    };
}

QStringList connectionParams(const Options& options)
{
    return connectionParams(options, options.database);
}

bool isEmbeddedServer(const QString& server, QString* folder)
{
    // Read exactly as db::openEngine reads it, so that the tool creates the
    // file where the engine will later look for it.
    const QString s = server.trimmed();
    if (!s.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive))
        return false;
    if (folder)
        *folder = s.mid(7);
    return true;
}

// ---- scripts ---------------------------------------------------------------

QString decodeScript(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    return QString::fromUtf8(bytes);
}

std::vector<Batch> splitBatches(const QString& text)
{
    std::vector<Batch> batches;
    QStringList current;
    int firstLine = 0;  // first non-blank line of the batch being gathered
    auto flush = [&] {
        if (firstLine > 0) {
            // Leading blank lines carry nothing; trailing ones are harmless
            // but dropped too so that the batch is what the reader sees.
            while (!current.isEmpty() && current.last().trimmed().isEmpty())
                current.removeLast();
            batches.push_back(Batch{firstLine, current.join(QLatin1Char('\n'))});
        }
        current.clear();
        firstLine = 0;
    };

    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString l = lines.at(i);
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
        const QString t = l.trimmed();
        if (t.compare(QLatin1String("GO"), Qt::CaseInsensitive) == 0 || t == QLatin1String("/")) {
            flush();
            continue;
        }
        if (firstLine == 0) {
            if (t.isEmpty())
                continue;
            firstLine = int(i) + 1;
        }
        current.append(l);
    }
    flush();
    return batches;
}

// ---- output ----------------------------------------------------------------

QString formatValue(const QVariant& value, const QString& type)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    // The embedded engine keeps dates as 'yyyy-MM-dd HH:mm:ss.zzz' text.
    const QString typeName = type.section(QLatin1Char('('), 0, 0).trimmed().toUpper();
    if (typeName == QLatin1String("DATE") || typeName == QLatin1String("SMALLDATETIME")) {
        const QString text = value.typeId() == QMetaType::QDateTime
            ? value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
            : value.toString();
        return text.left(typeName == QLatin1String("DATE") ? 10 : 19);
    }
    // A real holds four bytes: its shortest text is that of the float.
    if (typeName == QLatin1String("REAL") && value.typeId() == QMetaType::Double)
        return shortestDecimal(float(value.toDouble()));
    // Money and decimals show every decimal of their scale, as SQL Server's
    // client shows them (263.5000, 1552.60).
    const bool money = typeName == QLatin1String("MONEY") || typeName == QLatin1String("SMALLMONEY");
    // Past a double's digits they come as their exact text.
    if ((money || typeName == QLatin1String("DECIMAL") || typeName == QLatin1String("NUMERIC"))
        && (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong
            || value.typeId() == QMetaType::QString)) {
        const int scale = money ? 4 : type.section(QLatin1Char(','), 1, 1).remove(QLatin1Char(')')).trimmed().toInt();
        QString text = value.typeId() == QMetaType::Double ? shortestDecimal(value.toDouble())
                                                           : value.toString();
        if (scale > 0 && !text.contains(QLatin1Char('e'), Qt::CaseInsensitive)) {
            const int point = text.indexOf(QLatin1Char('.'));
            const int decimals = point < 0 ? 0 : int(text.size()) - point - 1;
            if (point < 0)
                text += QLatin1Char('.');
            if (decimals < scale)
                text += QString(scale - decimals, QLatin1Char('0'));
        }
        return text;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QString::number(value.toULongLong());
    case QMetaType::Double:
        return shortestDecimal(value.toDouble());
    case QMetaType::Float:
        return shortestDecimal(value.toFloat());
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime: {
        const QTime t = value.toTime();
        return t.toString(t.msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
    }
    case QMetaType::QByteArray:
        return QStringLiteral("0x") + QString::fromLatin1(value.toByteArray().toHex().toUpper());
    default:
        return escapeText(value.toString());
    }
}

QByteArray formatResult(const db::ResultSet& result)
{
    QByteArray out;
    if (!result.returnsRows)
        return out;
    QStringList header;
    header.reserve(result.columns.size());
    for (const QString& c : result.columns)
        header.append(escapeText(c));
    out += line(header.join(QLatin1Char('\t')));
    for (const QVector<QVariant>& row : result.rows) {
        QString text;
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                text += QLatin1Char('\t');
            text += formatValue(row.at(c), result.columnTypes.value(int(c)));
        }
        out += line(text);
    }
    return out;
}

// ---- commands --------------------------------------------------------------

namespace {

class Tool {
public:
    Tool(const Options& options, QIODevice& out, QIODevice& err) : o_(options), out_(out), err_(err) {}

    int create();
    int script();
    int query();
    int trigramIndex();
    int plan();

private:
    void say(const QString& text) { out_.write(line(text)); }
    void complain(const QString& text) { err_.write(line(text)); }

    const Options& o_;
    QIODevice& out_;
    QIODevice& err_;
};

int Tool::create()
{
    const QString name = o_.arguments.first();
    const QString server = serverName(o_);
    try {
        QString folder;
        if (isEmbeddedServer(server, &folder)) {
            // "sqlite:" alone means the current folder to the engine; say so
            // to the creator too, which cannot make a folder with no name.
            db::sqlite::createDatabase(folder.isEmpty() ? QStringLiteral(".") : folder, name);
        } else {
            Options onMaster = o_;
            onMaster.server = server;
            onMaster.serverGiven = true;
            const auto engine = db::openEngine(connectionParams(onMaster, QStringLiteral("master")));
            QString quoted = name;
            quoted.replace(QLatin1Char(']'), QLatin1String("]]"));
            engine->execute(QStringLiteral("CREATE DATABASE [%1]").arg(quoted), db::ParamValues());
        }
    } catch (const db::DbError& e) {
        complain(e.message());
        return 1;
    }
    return 0;
}

int Tool::script()
{
    // Every file is read before the first batch runs: a mistyped file name
    // must not leave a database half set up.
    struct File {
        QString name;
        std::vector<Batch> batches;
    };
    std::vector<File> files;
    for (const QString& name : o_.arguments) {
        QFile f(name);
        if (!f.open(QIODevice::ReadOnly)) {
            complain(QStringLiteral("%1: cannot read: %2").arg(name, f.errorString()));
            return 1;
        }
        files.push_back(File{name, splitBatches(decodeScript(f.readAll()))});
    }

    std::unique_ptr<db::Engine> engine;
    try {
        engine = db::openEngine(connectionParams(o_));
    } catch (const db::DbError& e) {
        complain(e.message());
        return 1;
    }

    qint64 batches = 0;
    for (const File& file : files)
        batches += qint64(file.batches.size());
    Progress progress(err_, Progress::onTerminal(err_));
    progress.start(files.empty() ? QString() : files.front().name, batches);

    const db::ParamValues noParams;
    for (const File& file : files) {
        progress.setLabel(file.name);
        for (const Batch& batch : file.batches) {
            if (o_.verbose) {
                progress.clearLine();
                QString first = batch.sql.section(QLatin1Char('\n'), 0, 0).trimmed();
                if (first.size() > 60)
                    first = first.left(57) + QLatin1String("...");
                say(QStringLiteral("%1:%2: %3").arg(file.name).arg(batch.line).arg(first));
            }
            try {
                engine->execute(batch.sql, noParams);
            } catch (const db::DbError& e) {
                progress.finish();
                complain(QStringLiteral("%1:%2: %3").arg(file.name).arg(batch.line).arg(e.message()));
                return 1;
            }
            progress.advance();
        }
    }
    return 0;
}

int Tool::query()
{
    db::ResultSet result;
    try {
        const auto engine = db::openEngine(connectionParams(o_));
        // The embedded engine keeps date and datetime alike as text: it tells which is which.
        if (auto* embedded = dynamic_cast<db::sqlite::SqliteEngine*>(engine.get()))
            embedded->setReportColumnTypes(true);
        result = engine->execute(o_.arguments.first(), db::ParamValues());
    } catch (const db::DbError& e) {
        complain(e.message());
        return 1;
    }
    out_.write(formatResult(result));
    return 0;
}

int Tool::plan()
{
    try {
        const auto engine = db::openEngine(connectionParams(o_));
        auto* embedded = dynamic_cast<db::sqlite::SqliteEngine*>(engine.get());
        if (!embedded) {
            complain(QStringLiteral("plan is for the embedded engine; SQL Server shows its plans itself"));
            return 1;
        }
        for (const QString& text : embedded->explain(o_.arguments.first(), db::ParamValues()))
            say(text);
    } catch (const db::DbError& e) {
        complain(e.message());
        return 1;
    }
    return 0;
}

int Tool::trigramIndex()
{
    QString folder;
    if (!isEmbeddedServer(serverName(o_), &folder)) {
        complain(QStringLiteral("trigram-index is for the embedded engine; SQL Server has full-text indexes of its own"));
        return 1;
    }
    db::ParamValues p;
    p.set(QStringLiteral("T"), o_.arguments[0]);
    p.set(QStringLiteral("C"), o_.arguments[1]);
    try {
        const auto engine = db::openEngine(connectionParams(o_));
        // The engine builds the index as soon as it is declared.
        engine->execute(QStringLiteral("Insert Into qel_trigram (table_name, column_name) Values (:T, :C)"), p);
        const db::ResultSet built = engine->execute(
            QStringLiteral("Select Count(*) From qel_trigram Where table_name = :T And column_name = :C "
                           "And built Is Not Null"),
            p);
        if (built.rows.empty() || built.rows.front().value(0).toInt() == 0) {
            engine->execute(QStringLiteral("Delete From qel_trigram Where table_name = :T And column_name = :C"), p);
            complain(QStringLiteral("%1.%2 is not a text column of a table with an IDENTITY in %3")
                         .arg(o_.arguments[0], o_.arguments[1], o_.database));
            return 1;
        }
    } catch (const db::DbError& e) {
        complain(e.message());
        return 1;
    }
    return 0;
}

} // namespace

int run(const QStringList& arguments, QIODevice& out, QIODevice& err)
{
    const CommandLine cl = parseCommandLine(arguments);
    switch (cl.outcome) {
    case CommandLine::Outcome::Help:
        out.write(usageText().toUtf8());
        return 0;
    case CommandLine::Outcome::UsageError:
        err.write(line(QStringLiteral("qel-db: ") + cl.error));
        err.write(usageText().toUtf8());
        return 2;
    case CommandLine::Outcome::Run:
        break;
    }

    Tool tool(cl.options, out, err);
    const QString& command = cl.options.command;
    try {
        if (command == QLatin1String("create-demo"))
            return createDemo(cl.options.arguments.first(), out, err);
        if (command == QLatin1String("generate")) {
            GenerateRequest request;
            QString why;
            parseGenerateArguments(cl.options.arguments, &request, &why);
            request.database = cl.options.database;
            return generate(request, out, err);
        }
        if (command == QLatin1String("copy")) {
            CopyRequest request;
            request.user = cl.options.user;
            request.password = cl.options.password;
            QString why;
            parseCopyArguments(cl.options.arguments, &request, &why);
            return copyDatabase(request, out, err);
        }
        if (command == QLatin1String("render-layout")) {
            RenderRequest request;
            QString why;
            parseRenderArguments(cl.options.arguments, &request, &why);
            return renderLayout(request, out, err);
        }
        if (command == QLatin1String("price")) {
            PriceRequest request;
            QString why;
            parsePriceArguments(cl.options.arguments, QDate::currentDate(), &request, &why);
            return price(cl.options, request, out, err);
        }
        if (command == QLatin1String("create"))
            return tool.create();
        if (command == QLatin1String("script"))
            return tool.script();
        if (command == QLatin1String("trigram-index"))
            return tool.trigramIndex();
        if (command == QLatin1String("plan"))
            return tool.plan();
        return tool.query();
    } catch (const std::exception& e) {
        // Not a database failure (those are reported where they happen),
        // but still one to report rather than to abort on.
        err.write(line(QStringLiteral("qel-db: ") + QString::fromUtf8(e.what())));
        return 1;
    }
}

} // namespace qeldb
