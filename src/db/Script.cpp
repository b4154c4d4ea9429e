#include "Script.h"

#include "Connection.h"
#include "Engine.h"

namespace db {

Script::Script(const QString& alias, const QStringList& lines) : alias_(alias), lines_(lines) {}

QStringList Script::split(const QStringList& lines)
{
    QStringList statements;
    QStringList current;
    auto flush = [&] {
        const QString text = current.join(QLatin1Char('\n'));
        if (!text.trimmed().isEmpty())
            statements.append(text);
        current.clear();
    };
    for (const QString& line : lines) {
        if (line.trimmed() == QLatin1String("/"))
            flush();
        else
            current.append(line);
    }
    flush();
    return statements;
}

void Script::execute()
{
    Engine& engine = Connection::byAlias(alias_).engine();
    for (const QString& statement : split(lines_))
        engine.execute(statement, params_);
}

} // namespace db
