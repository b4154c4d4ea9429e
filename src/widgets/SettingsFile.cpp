#include "SettingsFile.h"

#include <QFileInfo>
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

} // namespace widgets
