#include "barcode/ui/CCameraReader.h"

#include "barcode/ui/PictureBarcodes.h"

#include <QApplication>
#include <QVideoFrame>
#include <QVideoSink>
#include <QtConcurrent/QtConcurrentRun>

CCameraReader::CCameraReader(QObject* parent) : QObject(parent) {
    m_clock.start();
    connect(&m_reading, &QFutureWatcher<PictureIsbns>::finished, this, &CCameraReader::OnRead);
}

void CCameraReader::Watch(QVideoSink* source) {
    if (m_source) {
        disconnect(m_source, nullptr, this, nullptr);
    }
    m_source = source;
    if (source) {
        connect(source, &QVideoSink::videoFrameChanged, this, &CCameraReader::OnFrame);
    }
}

void CCameraReader::OnFrame(const QVideoFrame& frame) {
    if (!frame.isValid() || !m_pace.TakeFrame(m_clock.elapsed())) {
        return;
    }
    // The frame's pixels are copied here; the camera may reuse its buffer meanwhile.
    const QImage picture = frame.toImage();
    m_reading.setFuture(QtConcurrent::run([picture] { return ReadPictureIsbns(picture); }));
}

void CCameraReader::OnRead() {
    m_pace.Read();
    const PictureIsbns found = m_reading.result();
    for (const std::string& isbn : found.isbns) {
        if (m_pace.TakeCode(isbn, m_clock.elapsed())) {
            QApplication::beep();
            emit Scanned(QString::fromStdString(isbn));
        }
    }
}
