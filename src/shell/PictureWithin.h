#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

class QImageReader;

// Reads a picture no larger than `box`, its shape kept: a bigger one is decoded at the size that
// fits, never whole first, and made to fit smoothly when its decoder could not. A null image for
// what is no picture or one too big to decode.
QImage ReadPictureWithin(QImageReader& reader, const QSize& box);
QImage PictureWithin(const QByteArray& bytes, const QSize& box);
