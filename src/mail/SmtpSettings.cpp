#include "SmtpSettings.h"

#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QStringList>

namespace mail {

namespace {

// QSettings splits an unquoted value at commas; a password or a display text
// may hold one, so the pieces are put back together.
QString textOf(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

int numberIn(const QString& text, int low, int high, int fallback)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok && n >= low && n <= high ? n : fallback;
}

} // namespace

SmtpSettings readSmtpSettings(const QString& iniPath)
{
    SmtpSettings result;
    // QSettings would create nothing by reading, but a missing file needs no parser.
    if (!QFileInfo(iniPath).isFile())
        return result;

    QSettings ini(iniPath, QSettings::IniFormat);
    QString section;
    for (const QString& group : ini.childGroups()) {
        if (group.compare(QLatin1String("MAIL"), Qt::CaseInsensitive) == 0) {
            section = group;
            break;
        }
    }
    if (section.isEmpty())
        return result;

    ini.beginGroup(section);
    // Key names as written in the file, looked up by their upper-case form;
    // the first spelling wins when a file repeats a key in another case.
    QHash<QString, QString> keys;
    for (const QString& key : ini.childKeys()) {
        const QString upper = key.toUpper();
        if (!keys.contains(upper))
            keys.insert(upper, key);
    }
    const auto value = [&](const char* name, QString* text) {
        const auto found = keys.constFind(QLatin1String(name));
        if (found == keys.cend())
            return false;
        *text = textOf(ini.value(*found));
        return true;
    };

    QString text;
    if (value("HOST", &text) && !text.trimmed().isEmpty())
        result.host = text.trimmed();
    if (value("PORT", &text))
        result.port = numberIn(text, 1, 65535, result.port);
    if (value("IDENTITY", &text))
        result.identity = text.trimmed();
    if (value("PASSWORD", &text))
        result.password = text;
    if (value("SENDER", &text) && !text.trimmed().isEmpty())
        result.sender = text.trimmed();
    if (value("RECIPIENT", &text) && !text.trimmed().isEmpty())
        result.recipient = text.trimmed();
    if (value("TIMEOUTSECONDS", &text))
        result.timeoutSeconds = numberIn(text, 1, 24 * 60 * 60, result.timeoutSeconds);
    return result;
}

} // namespace mail
