#include "app/BarcodeJob.h"

#include "barcode/ui/PictureBarcodes.h"

#include <QtConcurrent/QtConcurrentMap>
#include <cstdio>

int RunReadBarcodes(const QStringList& images) {
    // Each picture on a core of its own; the lines keep the order given.
    const QList<FileIsbns> read = QtConcurrent::blockingMapped(images, ReadFileIsbns);
    bool all = true;
    for (const FileIsbns& file : read) {
        const QByteArray name = file.path.toLocal8Bit();
        if (!file.readable) {
            std::fprintf(stderr, "shelfwarden: %s: not an image that can be read\n",
                         name.constData());
        }
        for (const std::string& code : file.found.refused) {
            std::fprintf(stderr, "shelfwarden: %s: %s is no ISBN\n", name.constData(),
                         code.c_str());
        }
        std::string line = name.toStdString();
        for (const std::string& isbn : file.found.isbns) {
            line += '\t' + isbn;
        }
        if (file.found.isbns.empty()) {
            line += "\t-";
            all = false;
        }
        std::puts(line.c_str());
    }
    return all ? 0 : 1;
}
