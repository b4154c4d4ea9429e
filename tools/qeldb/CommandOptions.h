#pragma once

// The options some commands take after their name (generate, copy,
// render-layout), each with a value written "--name value" or
// "--name=value", among the command's plain arguments.

#include <QList>
#include <QString>
#include <QStringList>

namespace qeldb {

struct CommandArgument {
    QString option;  // "--name", or empty for a plain argument
    QString value;   // the option's value, or the plain argument
};

bool isCommandOption(const QString& argument, const QStringList& names);

// The arguments in order, each option with its value. False with
// "--name needs a value" when the last option has none.
bool splitCommandArguments(const QStringList& arguments, const QStringList& names, QList<CommandArgument>* out,
                           QString* error);

} // namespace qeldb
