#pragma once

#include <QWidget>

class CCameraReader;
class QCamera;
class QLabel;
class QMediaCaptureSession;
class QPushButton;
class QVideoSink;
class QVideoWidget;

// "Camera" in the ISBN window: a live picture of the default camera beside the field, whose
// ISBNs are read as a scanner's; the last one read is shown. With no camera, or none the
// program may use, it says "Nu s-a gasit nici o camera" and the window works as before.
class CCameraPanel : public QWidget {
    Q_OBJECT
public:
    explicit CCameraPanel(QWidget* parent = nullptr);
    ~CCameraPanel() override;

    // Reads the frames of `source` instead of a camera's (tests).
    void Watch(QVideoSink* source);

signals:
    void Scanned(const QString& isbn13);

private:
    void OnToggled(bool on);
    void Stop();
    void NoCamera();

    QPushButton* m_pButton;
    QLabel* m_pSaid;
    QVideoWidget* m_pPreview;
    CCameraReader* m_pReader;
    QCamera* m_pCamera = nullptr;
    QMediaCaptureSession* m_pSession = nullptr;
};
