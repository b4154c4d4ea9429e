#include "SettingsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStringList>

namespace widgets {

QHash<QString, QString> readSettingsSection(const QString& iniPath, const QString& section)
{
    QHash<QString, QString> values;
    if (!QFileInfo(iniPath).isFile())
        return values;
    QSettings ini(iniPath, QSettings::IniFormat);
    QString group;
    for (const QString& g : ini.childGroups()) {
        if (g.compare(section, Qt::CaseInsensitive) == 0) {
            group = g;
            break;
        }
    }
    if (group.isEmpty())
        return values;
    ini.beginGroup(group);
    for (const QString& key : ini.childKeys()) {
        const QString upper = key.toUpper();
        if (values.contains(upper))
            continue;
        const QVariant value = ini.value(key);
        // QSettings splits an unquoted value at commas; put the pieces back.
        values.insert(upper, value.metaType().id() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                                              : value.toString());
    }
    return values;
}

namespace {

QString sectionOf(const QString& line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')) ? t.mid(1, t.size() - 2).trimmed() : QString();
}

QString keyOf(const QString& line)
{
    const int equals = line.indexOf(QLatin1Char('='));
    return equals > 0 ? line.left(equals).trimmed() : QString();
}

} // namespace

bool writeSettingsSection(const QString& iniPath, const QString& section, const QList<QPair<QString, QString>>& values)
{
    QByteArray old;
    QFile in(iniPath);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly))
            return false;
        old = in.readAll();
        in.close();
    }
    const QString newline = old.isEmpty() || old.contains("\r\n") ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QStringList lines = QString::fromUtf8(old).split(QRegularExpression(QStringLiteral("\r?\n")));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    int start = -1;  // the section's header line
    for (int i = 0; i < lines.size(); ++i) {
        if (sectionOf(lines[i]).compare(section, Qt::CaseInsensitive) == 0) {
            start = i;
            break;
        }
    }
    if (start < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << QLatin1Char('[') + section + QLatin1Char(']');
        start = int(lines.size()) - 1;
    }
    int end = start + 1;  // one past the section's last line
    while (end < lines.size() && sectionOf(lines[end]).isEmpty())
        ++end;
    while (end > start + 1 && lines[end - 1].trimmed().isEmpty())
        --end;

    for (const auto& [key, value] : values) {
        const QString line = key + QLatin1Char('=') + value;
        bool replaced = false;
        for (int i = start + 1; i < end; ++i) {
            if (keyOf(lines[i]).compare(key, Qt::CaseInsensitive) == 0) {
                lines[i] = line;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            lines.insert(end++, line);
    }

    QSaveFile out(iniPath);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write((lines.join(newline) + newline).toUtf8());
    return out.commit();
}

} // namespace widgets
