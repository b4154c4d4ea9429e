#pragma once

#include <QString>

// Where product pictures are: the folder the setup row's "PicturePath"
// names, and the stored names relative to it. The inquiry window and the
// product search find a picture the same way.

// "PicturePath" trimmed, one trailing "\" removed.
QString productPictureFolder(const QString& picturePath);

// The file of a stored picture name in `folder`. Names are stored as the
// suite's Windows programs write them, with or without a leading "\" and
// with "\" between folders; either way the file is inside `folder`.
QString productPictureFile(const QString& folder, const QString& storedName);
