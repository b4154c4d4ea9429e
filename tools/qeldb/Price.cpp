#include "Price.h"

#include "CommandOptions.h"
#include "QelDb.h"

#include "config/ProgramEnd.h"
#include "config/TDMConfig.h"
#include "data/TDM.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "product/TDmProduct.h"
#include "widgets/MessageBox.h"

#include <QIODevice>

namespace qeldb {

namespace {

const QStringList kPriceOptions = {QStringLiteral("--customer"), QStringLiteral("--product"), QStringLiteral("--unit"),
                                    QStringLiteral("--type"), QStringLiteral("--date")};

QByteArray line(const QString& text)
{
    return text.toUtf8() + '\n';
}

// The id of the one row `sql` finds for `code`; 0 when none.
int idOf(const QStringList& sql, const QVariantMap& params)
{
    db::Query q(QStringLiteral("DMDATA"));
    q.setSql(sql);
    for (auto it = params.begin(); it != params.end(); ++it)
        q.setParam(it.key(), it.value());
    q.open();
    return q.isEmpty() ? 0 : int(q.asInteger(QStringLiteral("Id")));
}

// Points a module's connection at the server and database the tool's
// options name, in place of the program's server file.
void connectAs(db::Connection& connection, const Options& options, const QString& database)
{
    connection.setBeforeConnect([&connection, options, database] {
        connection.params() = connectionParams(options, database);
    });
}

// The program's modules as start-up makes them, made the current ones for
// as long as the tool needs them.
class Modules {
public:
    Modules(const Options& options, const QString& database)
    {
        previous_ = {DMConfig, DM, DmProduct};
        DMConfig = &config;
        DM = &dm;
        DmProduct = &product;
        connectAs(config.connection(), options, QString::fromLatin1(kDefaultDatabase));
        connectAs(dm.connection(), options, database);
    }
    ~Modules()
    {
        DMConfig = previous_.config;
        DM = previous_.dm;
        DmProduct = previous_.product;
    }

    TDMConfig config;
    TDM dm;
    TDmProduct product;

private:
    struct {
        TDMConfig* config;
        TDM* dm;
        TDmProduct* product;
    } previous_;
};

// The modules' own messages (an unknown company database) go to the
// tool's error output while it runs.
class MessagesTo {
public:
    explicit MessagesTo(QIODevice& err)
        : previous_(widgets::setMessageHandler([&err](widgets::MessageKind, const QString& text) {
              err.write(line(text));
              return true;
          }))
    {
    }
    ~MessagesTo() { widgets::setMessageHandler(previous_); }

private:
    widgets::MessageHandler previous_;
};

} // namespace

bool isPriceOption(const QString& argument)
{
    return isCommandOption(argument, kPriceOptions);
}

bool parsePriceArguments(const QStringList& arguments, const QDate& today, PriceRequest* request, QString* error)
{
    PriceRequest r;
    r.date = today;
    bool haveType = false;
    QList<CommandArgument> split;
    if (!splitCommandArguments(arguments, kPriceOptions, &split, error))
        return false;
    for (const CommandArgument& argument : std::as_const(split)) {
        if (argument.option.isEmpty()) {
            *error = QStringLiteral("price takes only options (%1 is none)").arg(argument.value);
            return false;
        }
        const QString& name = argument.option;
        const QString& value = argument.value;
        if (name == QLatin1String("--customer")) {
            r.customer = value;
        } else if (name == QLatin1String("--product")) {
            r.product = value;
        } else if (name == QLatin1String("--unit")) {
            r.unit = value;
        } else if (name == QLatin1String("--type")) {
            bool ok = false;
            r.priceType = value.toInt(&ok);
            if (!ok) {
                *error = QStringLiteral("--type takes a price type id (a whole number)");
                return false;
            }
            haveType = true;
        } else {
            r.date = QDate::fromString(value, QStringLiteral("yyyy-MM-dd"));
            if (!r.date.isValid()) {
                *error = QStringLiteral("--date takes a day as YYYY-MM-DD");
                return false;
            }
        }
    }
    if (r.product.isEmpty() || r.unit.isEmpty() || !haveType) {
        *error = QStringLiteral("price needs --product, --unit and --type");
        return false;
    }
    *request = r;
    return true;
}

int price(const Options& options, const PriceRequest& request, QIODevice& out, QIODevice& err)
{
    MessagesTo messages(err);
    auto fail = [&err](const QString& why) {
        err.write(line(why));
        return 1;
    };
    try {
        Modules m(options, options.database);
        m.config.GetCompanyConfig(options.database);

        int customerId = 0;
        if (!request.customer.isEmpty()) {
            customerId = idOf({"Select Id From Customer Where Code = :Code"}, {{"Code", request.customer}});
            if (customerId == 0)
                return fail(QStringLiteral("No customer has the code %1.").arg(request.customer));
        }
        const int productId = idOf({"Select Id From Product Where Code = :Code"}, {{"Code", request.product}});
        if (productId == 0)
            return fail(QStringLiteral("No product has the code %1.").arg(request.product));
        const int unitId = idOf({"Select Id From ProductUnits Where Product = :Product And UnitName = :Unit"},
                                {{"Product", productId}, {"Unit", request.unit}});
        if (unitId == 0)
            return fail(QStringLiteral("The product %1 has no unit %2.").arg(request.product, request.unit));

        const db::Money amount =
            m.product.GetPrice(customerId, productId, unitId, request.priceType, request.date.startOfDay());
        QString source = TDmProduct::priceSourceText(m.product.LastPriceSource);
        if (m.product.LastPriceSource == TDmProduct::PriceSource::FallbackType)
            source += QStringLiteral(" (%1)").arg(m.config.Run.PosPriceType);
        out.write(line(QStringLiteral("price: ") + amount.toString(2)));
        out.write(line(QStringLiteral("discount: ") + m.product.PriceDiscount));
        out.write(line(QStringLiteral("quantity: ") + QString::number(m.product.PriceQnty)));
        out.write(line(QStringLiteral("source: ") + source));
    } catch (const ProgramEnd&) {
        return 1;  // the company configuration has said why
    } catch (const db::DbError& e) {
        return fail(e.message());
    }
    return 0;
}

} // namespace qeldb
