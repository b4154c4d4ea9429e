#include "Connection.h"

#include "DbError.h"

#include <QHash>

namespace db {

namespace {

QHash<QString, Connection*>& registry()
{
    static QHash<QString, Connection*> connections;
    return connections;
}

} // namespace

Connection::Connection(const QString& alias) : alias_(alias)
{
    registry().insert(alias.toUpper(), this);
}

Connection::~Connection()
{
    auto& r = registry();
    auto it = r.find(alias_.toUpper());
    if (it != r.end() && it.value() == this)
        r.erase(it);
}

Connection* Connection::find(const QString& alias)
{
    return registry().value(alias.toUpper(), nullptr);
}

Connection& Connection::byAlias(const QString& alias)
{
    Connection* c = find(alias);
    if (!c)
        throw DbError(QStringLiteral("Unknown database alias: %1").arg(alias));
    return *c;
}

void Connection::open()
{
    if (engine_ || connecting_)
        return;
    connecting_ = true;
    try {
        if (beforeConnect_)
            beforeConnect_();
        engine_ = openEngine(params_);
        // The after-connect step runs statements on this very alias: they
        // find the session standing and must not try to connect again.
        if (afterConnect_)
            afterConnect_();
    } catch (...) {
        engine_.reset();
        connecting_ = false;
        throw;
    }
    connecting_ = false;
}

void Connection::close()
{
    engine_.reset();
}

Engine& Connection::engine()
{
    if (!engine_)
        open();
    if (!engine_)
        throw DbError(QStringLiteral("Connection %1 is not open.").arg(alias_));
    return *engine_;
}

} // namespace db
