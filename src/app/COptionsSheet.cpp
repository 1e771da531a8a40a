#include "app/COptionsSheet.h"

#include "shell/DialogParts.h"
#include "shell/Prompts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

CPropOpenDlg::CPropOpenDlg(QWidget* parent)
    : QWidget(parent), m_pCheck(new QCheckBox(QStringLiteral("Open database at start"), this)),
      m_pPath(new QLineEdit(this)) {
    m_pCheck->setObjectName(QStringLiteral("openAtStart"));
    m_pPath->setObjectName(QStringLiteral("path"));
    auto* browse = new QPushButton(QStringLiteral("&Browse"), this);
    browse->setObjectName(QStringLiteral("browse"));
    browse->setAutoDefault(false);
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_pCheck, 0, 0, 1, 2);
    layout->addWidget(m_pPath, 1, 0);
    layout->addWidget(browse, 1, 1);
    layout->setRowStretch(2, 1);
    connect(m_pCheck, &QCheckBox::clicked, this, &CPropOpenDlg::OnOpenAtStartClicked);
    connect(browse, &QPushButton::clicked, this, &CPropOpenDlg::OnBrowse);
}

void CPropOpenDlg::UpdateControls() {
    m_pCheck->setChecked(m_nOpenAtStart != 0);
    m_pPath->setText(m_strPath);
}

void CPropOpenDlg::UpdateData() {
    m_nOpenAtStart = m_pCheck->isChecked() ? 1 : 0;
    m_strPath = m_pPath->text();
}

void CPropOpenDlg::OnOpenAtStartClicked() {
    m_nOpenAtStart = m_nOpenAtStart == 0 ? 1 : 0;
}

void CPropOpenDlg::OnBrowse() {
    const auto path = ChooseFile(FileDialogMode::Open, kCatalogueFilter, QString(), this);
    if (path) {
        m_strPath = *path;
        UpdateControls();
    }
}

CColorSwatch::CColorSwatch(QWidget* parent) : QWidget(parent) {
    setMinimumSize(60, 22);
}

void CColorSwatch::SetColor(const QColor& color) {
    m_color = color;
    update();
}

void CColorSwatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_color);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

CPropColorsDlg::CPropColorsDlg(QWidget* parent)
    : QWidget(parent), m_pBackground(new CColorSwatch(this)),
      m_pForeground(new CColorSwatch(this)) {
    m_pBackground->setObjectName(QStringLiteral("backgroundSwatch"));
    m_pForeground->setObjectName(QStringLiteral("foregroundSwatch"));
    auto* background = new QPushButton(QStringLiteral("&Background"), this);
    background->setObjectName(QStringLiteral("background"));
    background->setAutoDefault(false);
    auto* foreground = new QPushButton(QStringLiteral("&Foreground"), this);
    foreground->setObjectName(QStringLiteral("foreground"));
    foreground->setAutoDefault(false);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Background"), this), 0, 0);
    layout->addWidget(m_pBackground, 0, 1);
    layout->addWidget(background, 0, 2);
    layout->addWidget(new QLabel(QStringLiteral("Foreground"), this), 1, 0);
    layout->addWidget(m_pForeground, 1, 1);
    layout->addWidget(foreground, 1, 2);
    layout->setRowStretch(2, 1);
    connect(background, &QPushButton::clicked, this, &CPropColorsDlg::OnBackground);
    connect(foreground, &QPushButton::clicked, this, &CPropColorsDlg::OnForeground);
    setFocusProxy(background);
}

void CPropColorsDlg::PaintSwatches() {
    m_pBackground->SetColor(QColor(m_nBgRed & 0xFF, m_nBgGreen & 0xFF, m_nBgBlue & 0xFF));
    m_pForeground->SetColor(QColor(m_nFgRed & 0xFF, m_nFgGreen & 0xFF, m_nFgBlue & 0xFF));
}

void CPropColorsDlg::OnBackground() {
    // The chooser starts at black, not at the current colour.
    if (const auto c = ChooseColor(Qt::black, this)) {
        m_nBgRed = c->red();
        m_nBgGreen = c->green();
        m_nBgBlue = c->blue();
        PaintSwatches();
    }
}

void CPropColorsDlg::OnForeground() {
    if (const auto c = ChooseColor(Qt::black, this)) {
        m_nFgRed = c->red();
        m_nFgGreen = c->green();
        m_nFgBlue = c->blue();
        PaintSwatches();
    }
}

COptionsSheet::COptionsSheet(QWidget* parent)
    : QDialog(parent), m_pOpenPage(new CPropOpenDlg), m_pColorsPage(new CPropColorsDlg) {
    setWindowTitle(QStringLiteral("Shelfwarden Options"));
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("pages"));
    tabs->addTab(m_pOpenPage, QStringLiteral("Shelfwarden Options"));
    tabs->addTab(m_pColorsPage, QStringLiteral("Shelfwarden Colors"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(MakeDialogButtons(this));
    resize(420, 220);
}

void COptionsSheet::accept() {
    m_pOpenPage->UpdateData();
    QDialog::accept();
}
