#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

namespace widgets {

// One section of the settings file "QEL.INI", keys upper-cased. Section and
// key names match in any letter case, as in files written by hand on the
// sites; the first spelling of a repeated key wins. A missing file or
// section gives an empty section. Reading never writes the file.
QHash<QString, QString> readSettingsSection(const QString& iniPath, const QString& section);

// Sets these keys of one section and leaves every other line of the file as
// it was (other sections, comments, keys of its own); the section is added
// at the end when missing, the file made when missing. False when the file
// cannot be written.
bool writeSettingsSection(const QString& iniPath, const QString& section, const QList<QPair<QString, QString>>& values);

} // namespace widgets
