#pragma once

#include <QHash>
#include <QString>

namespace widgets {

// One section of the settings file "QEL.INI", keys upper-cased. Section and
// key names match in any letter case, as in files written by hand on the
// sites; the first spelling of a repeated key wins. A missing file or
// section gives an empty section. Reading never writes the file.
QHash<QString, QString> readSettingsSection(const QString& iniPath, const QString& section);

} // namespace widgets
