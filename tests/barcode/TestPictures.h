#pragma once

// Pictures of barcodes for the tests, drawn by ZXing's writer and spoilt as photos are: turned,
// scaled, blurred, JPEG-compressed and set on a busy background.

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTransform>
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>
#include <algorithm>
#include <string>

namespace test_pictures {

// A barcode of `modules` pixels a module, with a quiet zone, on white.
inline QImage Barcode(ZXing::BarcodeFormat format, const std::string& text, int module = 3,
                      int height = 0) {
    const ZXing::BitMatrix bars = ZXing::MultiFormatWriter(format).setMargin(0).encode(text, 0, 0);
    const bool linear = bars.height() <= 1 || format != ZXing::BarcodeFormat::QRCode;
    const int rows = linear ? (height > 0 ? height : bars.width() * module * 2 / 3) : 0;
    const int quiet = 12 * module;
    const int width = bars.width() * module + 2 * quiet;
    const int tall = (linear ? rows : bars.height() * module) + 2 * quiet;
    QImage picture(width, tall, QImage::Format_Grayscale8);
    picture.fill(255);
    for (int y = 0; y < tall - 2 * quiet; ++y) {
        uchar* line = picture.scanLine(y + quiet);
        const int row = linear ? 0 : y / module;
        for (int x = 0; x < bars.width() * module; ++x) {
            if (bars.get(x / module, std::min(row, bars.height() - 1))) {
                line[x + quiet] = 0;
            }
        }
    }
    return picture;
}

inline QImage Ean13(const std::string& digits, int module = 3) {
    return Barcode(ZXing::BarcodeFormat::EAN13, digits, module);
}

// Turned by `degrees` about its middle, the corners filled white.
inline QImage Turned(const QImage& picture, double degrees) {
    const QImage turned = picture.convertToFormat(QImage::Format_ARGB32)
                              .transformed(QTransform().rotate(degrees), Qt::SmoothTransformation);
    QImage out(turned.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter(&out).drawImage(0, 0, turned);
    return out;
}

inline QImage Scaled(const QImage& picture, double factor) {
    return picture.scaled(picture.size() * factor, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// Each row averaged over `radius` pixels either side.
inline QImage RowsBlurred(const QImage& grey, int radius) {
    QImage out = grey;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* in = grey.constScanLine(y);
        uchar* line = out.scanLine(y);
        for (int x = 0; x < grey.width(); ++x) {
            int sum = 0;
            int count = 0;
            for (int at = std::max(0, x - radius); at <= std::min(grey.width() - 1, x + radius);
                 ++at) {
                sum += in[at];
                ++count;
            }
            line[x] = static_cast<uchar>(sum / count);
        }
    }
    return out;
}

// A box blur of `radius` pixels, `passes` times (three passes come near a camera's blur).
inline QImage Blurred(const QImage& picture, int radius, int passes = 3) {
    QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    for (int pass = 0; pass < passes; ++pass) {
        grey = RowsBlurred(grey, radius).transformed(QTransform().rotate(90));
        grey = RowsBlurred(grey, radius).transformed(QTransform().rotate(-90));
    }
    return grey;
}

// Grain of up to `amount` grey levels either way, then a JPEG of `quality` read back.
inline QImage Noisy(const QImage& picture, int amount, int quality, quint32 seed = 7) {
    QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    QRandomGenerator random(seed);
    for (int y = 0; y < grey.height(); ++y) {
        uchar* line = grey.scanLine(y);
        for (int x = 0; x < grey.width(); ++x) {
            const int value = line[x] + random.bounded(-amount, amount + 1);
            line[x] = static_cast<uchar>(std::clamp(value, 0, 255));
        }
    }
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    grey.save(&jpeg, "JPEG", quality);
    return QImage::fromData(jpeg.data(), "JPEG");
}

// A page of a book's back: grey blocks and lines of any slant all over, the pictures set in it
// at the places given.
inline QImage OnBusyPage(const QList<QImage>& pictures, const QList<QPoint>& places,
                         QSize size = {1400, 1000}, quint32 seed = 11) {
    QImage page(size, QImage::Format_RGB32);
    page.fill(QColor(236, 228, 210));
    QRandomGenerator random(seed);
    QPainter painter(&page);
    for (int i = 0; i < 160; ++i) {
        const int grey = random.bounded(40, 230);
        painter.setPen(QPen(QColor(grey, grey, grey), random.bounded(1, 6)));
        if (i % 2 == 0) {
            painter.drawLine(random.bounded(size.width()), random.bounded(size.height()),
                             random.bounded(size.width()), random.bounded(size.height()));
        } else {
            painter.fillRect(random.bounded(size.width()), random.bounded(size.height()),
                             random.bounded(10, 200), random.bounded(4, 60),
                             QColor(grey, grey / 2 + 60, 255 - grey));
        }
    }
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        painter.drawImage(places[i], pictures[i]);
    }
    return page;
}

} // namespace test_pictures
