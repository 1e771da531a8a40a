#include "app/COptionsSheet.h"

#include "isbn/ui/CPropIsbnDlg.h"
#include "shell/AppSettings.h"
#include "shell/DialogParts.h"
#include "shell/Prompts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

CPropOpenDlg::CPropOpenDlg(QWidget* parent)
    : QWidget(parent), m_pCheck(new QCheckBox(QStringLiteral("Open database at start"), this)),
      m_pPath(new QLineEdit(this)),
      m_pReverseSort(new QCheckBox(
          QStringLiteral("Al doilea clic pe acelasi antet inverseaza ordinea"), this)) {
    m_pCheck->setObjectName(QStringLiteral("openAtStart"));
    m_pReverseSort->setObjectName(QStringLiteral("reverseSort"));
    m_pPath->setObjectName(QStringLiteral("path"));
    NameForScreenReaders(m_pPath, m_pCheck->text());
    auto* browse = new QPushButton(QStringLiteral("&Browse"), this);
    browse->setObjectName(QStringLiteral("browse"));
    browse->setAutoDefault(false);
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_pCheck, 0, 0, 1, 2);
    layout->addWidget(m_pPath, 1, 0);
    layout->addWidget(browse, 1, 1);
    layout->addWidget(m_pReverseSort, 2, 0, 1, 2);
    layout->setRowStretch(3, 1);
    connect(m_pCheck, &QCheckBox::clicked, this, &CPropOpenDlg::OnOpenAtStartClicked);
    connect(browse, &QPushButton::clicked, this, &CPropOpenDlg::OnBrowse);
}

void CPropOpenDlg::UpdateControls() {
    m_pCheck->setChecked(m_nOpenAtStart != 0);
    m_pPath->setText(m_strPath);
    m_pReverseSort->setChecked(m_nReverseSort != 0);
}

void CPropOpenDlg::UpdateData() {
    m_nOpenAtStart = m_pCheck->isChecked() ? 1 : 0;
    m_strPath = m_pPath->text();
    m_nReverseSort = m_pReverseSort->isChecked() ? 1 : 0;
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

CPropBackupsDlg::CPropBackupsDlg(QWidget* parent)
    : QWidget(parent),
      m_pOn(new QCheckBox(QStringLiteral("Fa o copie de siguranta la prima deschidere din zi"),
                          this)),
      m_pFolder(new QLineEdit(this)), m_pDaily(new QSpinBox(this)), m_pMonthly(new QSpinBox(this)) {
    m_pOn->setObjectName(QStringLiteral("backupsOn"));
    m_pFolder->setObjectName(QStringLiteral("backupFolder"));
    m_pFolder->setPlaceholderText(DefaultBackupFolder());
    m_pDaily->setObjectName(QStringLiteral("backupDaily"));
    m_pDaily->setRange(1, 365);
    m_pMonthly->setObjectName(QStringLiteral("backupMonthly"));
    m_pMonthly->setRange(0, 240);
    auto* browse = new QPushButton(QStringLiteral("&Alege..."), this);
    browse->setObjectName(QStringLiteral("backupBrowse"));
    browse->setAutoDefault(false);
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_pOn, 0, 0, 1, 3);
    auto label = [this](const char* text, QWidget* buddy) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setBuddy(buddy);
        return l;
    };
    layout->addWidget(label("Dosar", m_pFolder), 1, 0);
    layout->addWidget(m_pFolder, 1, 1);
    layout->addWidget(browse, 1, 2);
    layout->addWidget(label("Copii zilnice pastrate", m_pDaily), 2, 0);
    layout->addWidget(m_pDaily, 2, 1);
    layout->addWidget(label("Copii lunare pastrate", m_pMonthly), 3, 0);
    layout->addWidget(m_pMonthly, 3, 1);
    layout->setRowStretch(4, 1);
    connect(browse, &QPushButton::clicked, this, &CPropBackupsDlg::OnBrowse);
}

void CPropBackupsDlg::Load(const AppSettings& settings) {
    m_pOn->setChecked(settings.backups != 0);
    m_pFolder->setText(settings.backupFolder);
    m_pDaily->setValue(settings.backupDaily);
    m_pMonthly->setValue(settings.backupMonthly);
}

void CPropBackupsDlg::Store(AppSettings& settings) const {
    settings.backups = m_pOn->isChecked() ? 1 : 0;
    settings.backupFolder = m_pFolder->text();
    settings.backupDaily = m_pDaily->value();
    settings.backupMonthly = m_pMonthly->value();
}

void CPropBackupsDlg::OnBrowse() {
    if (const auto folder = ChooseFolder(this)) {
        m_pFolder->setText(*folder);
    }
}

COptionsSheet::COptionsSheet(QWidget* parent)
    : QDialog(parent), m_pOpenPage(new CPropOpenDlg), m_pColorsPage(new CPropColorsDlg),
      m_pBackupsPage(new CPropBackupsDlg), m_pIsbnPage(new CPropIsbnDlg) {
    setWindowTitle(QStringLiteral("Shelfwarden Options"));
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("pages"));
    tabs->addTab(m_pOpenPage, QStringLiteral("Shelfwarden Options"));
    tabs->addTab(m_pColorsPage, QStringLiteral("Shelfwarden Colors"));
    tabs->addTab(m_pBackupsPage, QStringLiteral("Copii de siguranta"));
    tabs->addTab(m_pIsbnPage, QStringLiteral("ISBN"));
    NamePagesByTabs(tabs);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(MakeDialogButtons(this));
    resize(500, 240);
}

void COptionsSheet::accept() {
    m_pOpenPage->UpdateData();
    QDialog::accept();
}
