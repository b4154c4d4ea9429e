#include "ProductPicture.h"

QString productPictureFolder(const QString& picturePath)
{
    QString folder = picturePath.trimmed();
    if (folder.endsWith(QLatin1Char('\\')))
        folder.chop(1);
    return folder;
}

QString productPictureFile(const QString& folder, const QString& storedName)
{
    QString name = storedName.trimmed();
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    return folder + QLatin1Char('/') + name;
}
