#pragma once

#include "barcode/BarcodeReading.h"

#include <QImage>
#include <QString>
#include <QStringList>

// The grey pixels ZXing reads, from a picture of any format Qt holds.
QImage GreyPicture(const QImage& picture);

// Every barcode of a picture, and the ISBNs among them.
std::vector<ReadCode> ReadPictureCodes(const QImage& picture);
PictureIsbns ReadPictureIsbns(const QImage& picture);

// What one image file held.
struct FileIsbns {
    QString path;
    PictureIsbns found;
    bool readable = true; // false: not an image Qt reads (or no file at all)
};

// Reads the file, turned upright as its camera noted, and its ISBNs. Safe off the window's
// thread.
FileIsbns ReadFileIsbns(const QString& path);

// The image files Qt reads, for a file chooser ("Imagini (*.jpg *.png ...)").
QString PictureFileFilter();
