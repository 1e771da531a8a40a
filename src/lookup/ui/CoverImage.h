#pragma once

#include <QByteArray>
#include <QImage>

// A cover as the book dialog shows it, fitted within a few centimetres of the screen; a null
// image for bytes that are no picture or one too big to decode.
QImage CoverImage(const QByteArray& bytes);
