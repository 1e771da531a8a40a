#pragma once

#include <QStringList>

// `shelfwarden --read-barcodes IMAGE...`: prints one line per image, the name as given, then the
// ISBN-13s its barcodes hold, tab-separated, or "-" when it holds none. An image that cannot be
// read, and a code that is no ISBN, are named on standard error. Exit status 0 when every image
// held an ISBN, 1 otherwise. Needs the application object, and no window.
int RunReadBarcodes(const QStringList& images);
