#include "CommandOptions.h"

namespace qeldb {

bool isCommandOption(const QString& argument, const QStringList& names)
{
    for (const QString& name : names) {
        if (argument == name || argument.startsWith(name + QLatin1Char('=')))
            return true;
    }
    return false;
}

bool splitCommandArguments(const QStringList& arguments, const QStringList& names, QList<CommandArgument>* out,
                           QString* error)
{
    out->clear();
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (!isCommandOption(a, names)) {
            out->append(CommandArgument{QString(), a});
            continue;
        }
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? a : a.left(eq);
        if (eq >= 0) {
            out->append(CommandArgument{name, a.mid(eq + 1)});
        } else if (i + 1 < arguments.size()) {
            out->append(CommandArgument{name, arguments.at(++i)});
        } else {
            *error = QStringLiteral("%1 needs a value").arg(name);
            return false;
        }
    }
    return true;
}

} // namespace qeldb
