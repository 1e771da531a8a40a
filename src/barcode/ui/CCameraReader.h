#pragma once

#include "barcode/BarcodeReading.h"
#include "barcode/ScanPace.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QObject>
#include <QPointer>

class QVideoFrame;
class QVideoSink;

// Reads the ISBNs of the frames a video sink shows (a camera's, or a test's), off the window's
// thread and at the pace ScanPace sets; each ISBN taken is rung in with the desktop's bell.
class CCameraReader : public QObject {
    Q_OBJECT
public:
    explicit CCameraReader(QObject* parent = nullptr);

    // Reads the frames of `source` from now on, instead of any before.
    void Watch(QVideoSink* source);

signals:
    void Scanned(const QString& isbn13);

private:
    void OnFrame(const QVideoFrame& frame);
    void OnRead();

    QPointer<QVideoSink> m_source;
    ScanPace m_pace;
    QElapsedTimer m_clock;
    QFutureWatcher<PictureIsbns> m_reading;
};
