#include "barcode/ui/CCameraPanel.h"

#include "barcode/ui/CCameraReader.h"

#include <QCamera>
#include <QLabel>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVideoWidget>

namespace {
const QString kNoCamera = QStringLiteral("Nu s-a gasit nici o camera");
} // namespace

CCameraPanel::CCameraPanel(QWidget* parent)
    : QWidget(parent), m_pButton(new QPushButton(QStringLiteral("C&amera"), this)),
      m_pSaid(new QLabel(this)), m_pPreview(new QVideoWidget(this)),
      m_pReader(new CCameraReader(this)) {
    m_pButton->setObjectName(QStringLiteral("camera"));
    m_pButton->setCheckable(true);
    m_pButton->setAutoDefault(false);
    m_pSaid->setObjectName(QStringLiteral("cameraSaid"));
    m_pSaid->setTextFormat(Qt::PlainText);
    m_pPreview->setMinimumSize(320, 240);
    m_pPreview->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pButton);
    layout->addWidget(m_pPreview);
    layout->addWidget(m_pSaid);
    connect(m_pButton, &QPushButton::toggled, this, &CCameraPanel::OnToggled);
    connect(m_pReader, &CCameraReader::Scanned, this, [this](const QString& isbn) {
        m_pSaid->setText(QStringLiteral("Citit: ISBN %1").arg(isbn));
        emit Scanned(isbn);
    });
}

CCameraPanel::~CCameraPanel() {
    Stop();
}

void CCameraPanel::Watch(QVideoSink* source) {
    m_pReader->Watch(source);
}

void CCameraPanel::OnToggled(bool on) {
    if (!on) {
        Stop();
        return;
    }
    const QCameraDevice device = QMediaDevices::defaultVideoInput();
    if (device.isNull()) {
        NoCamera();
        return;
    }
    m_pCamera = new QCamera(device, this);
    m_pSession = new QMediaCaptureSession(this);
    m_pSession->setCamera(m_pCamera);
    m_pSession->setVideoOutput(m_pPreview);
    m_pReader->Watch(m_pPreview->videoSink());
    // A camera another program holds, or one the user's rights do not reach, fails here.
    connect(m_pCamera, &QCamera::errorOccurred, this, [this] { NoCamera(); });
    m_pPreview->show();
    m_pSaid->clear();
    m_pCamera->start();
}

void CCameraPanel::Stop() {
    m_pReader->Watch(nullptr);
    if (m_pCamera) {
        // Later: a failing camera stops the reading from within its own signal.
        m_pCamera->stop();
        m_pSession->deleteLater();
        m_pCamera->deleteLater();
        m_pSession = nullptr;
        m_pCamera = nullptr;
    }
    m_pPreview->hide();
}

void CCameraPanel::NoCamera() {
    Stop();
    m_pSaid->setText(kNoCamera);
    m_pButton->blockSignals(true);
    m_pButton->setChecked(false);
    m_pButton->blockSignals(false);
}
