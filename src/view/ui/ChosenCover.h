#pragma once

#include <QByteArray>
#include <QImage>

class QMimeData;

// A picture the user gave for a cover, as the catalogue keeps it: a JPEG at most 600 pixels high
// (a smaller one keeps its size); empty for no picture.
QByteArray CoverJpeg(const QImage& picture);

// The picture a drop or a paste carries: an image itself, or the first local file that holds
// one; a null image when there is none.
QImage PictureOf(const QMimeData* data);

// A picture file the user chose; a null image when it holds none.
QImage PictureFile(const QString& path);
