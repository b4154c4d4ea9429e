#pragma once

#include "Engine.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace db {

// A named database alias ("DmCfg", "DMDATA"). Its connection parameter list
// is rebuilt by the before-connect step on every opening; the after-connect
// step runs once the session stands. Statements naming the alias open it on
// first use. No login prompt is ever shown: the list carries the login.
class Connection {
public:
    explicit Connection(const QString& alias);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The connection registered under `alias` (case-insensitive), or nullptr.
    static Connection* find(const QString& alias);
    // As find(), but throws DbError naming the alias when there is none.
    static Connection& byAlias(const QString& alias);

    const QString& alias() const { return alias_; }

    QStringList& params() { return params_; }
    const QStringList& params() const { return params_; }

    void setBeforeConnect(std::function<void()> step) { beforeConnect_ = std::move(step); }
    void setAfterConnect(std::function<void()> step) { afterConnect_ = std::move(step); }

    void open();
    void close();
    bool isOpen() const { return engine_ != nullptr; }

    // The open session; opens the connection first when it is closed.
    Engine& engine();

private:
    QString alias_;
    QStringList params_;
    std::function<void()> beforeConnect_;
    std::function<void()> afterConnect_;
    std::unique_ptr<Engine> engine_;
    bool connecting_ = false;
};

} // namespace db
