#include "barcode/ui/CLabelsDlg.h"

#include "barcode/ui/LabelPrint.h"
#include "shell/DialogParts.h"
#include "shell/OutputFile.h"
#include "shell/Prompts.h"
#include "store/CountedNoun.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>

namespace {

enum Preset { k3x7, k3x8, kOther };

QDoubleSpinBox* MillimetreBox(const char* name, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setRange(0, 100);
    box->setDecimals(2);
    box->setSingleStep(0.5);
    box->setSuffix(QStringLiteral(" mm"));
    box->setLocale(QLocale(QLocale::Romanian, QLocale::Romania));
    return box;
}

QSpinBox* CountBox(const char* name, int most, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setRange(1, most);
    return box;
}

QString Millimetres(double mm) {
    return QLocale(QLocale::Romanian, QLocale::Romania).toString(mm, 'f', 1);
}

} // namespace

CLabelsDlg::CLabelsDlg(std::vector<BookLabel> labels, const CBookDatabase& db, QWidget* parent)
    : QDialog(parent), m_labels(std::move(labels)), m_db(db), m_pPreset(new QComboBox(this)),
      m_pRows(CountBox("rows", 40, this)), m_pColumns(CountBox("columns", 10, this)),
      m_pTop(MillimetreBox("top", this)), m_pBottom(MillimetreBox("bottom", this)),
      m_pLeft(MillimetreBox("left", this)), m_pRight(MillimetreBox("right", this)),
      m_pColumnGap(MillimetreBox("columnGap", this)), m_pRowGap(MillimetreBox("rowGap", this)),
      m_pStart(CountBox("startAt", 400, this)), m_pSize(new QLabel(this)) {
    m_pSize->setObjectName(QStringLiteral("labelSize"));
    setWindowTitle(QStringLiteral("Tipareste etichete"));
    m_pPreset->setObjectName(QStringLiteral("sheet"));
    m_pPreset->addItems({QStringLiteral("A4, 3 x 7 (63,5 x 38,1 mm)"),
                         QStringLiteral("A4, 3 x 8 (70 x 37 mm)"), QStringLiteral("Alta foaie")});
    auto* form = new QFormLayout(this);
    form->addRow(new QLabel(
        FromUtf8("Etichete pentru " +
                 CountedNoun(static_cast<long long>(m_labels.size()), "carte", "carti") + "."),
        this));
    form->addRow(QStringLiteral("&Foaie:"), m_pPreset);
    form->addRow(QStringLiteral("&Randuri:"), m_pRows);
    form->addRow(QStringLiteral("&Coloane:"), m_pColumns);
    form->addRow(QStringLiteral("Margine &sus:"), m_pTop);
    form->addRow(QStringLiteral("Margine &jos:"), m_pBottom);
    form->addRow(QStringLiteral("Margine stan&ga:"), m_pLeft);
    form->addRow(QStringLiteral("Margine dr&eapta:"), m_pRight);
    form->addRow(QStringLiteral("Distanta intre c&oloane:"), m_pColumnGap);
    form->addRow(QStringLiteral("Distanta intre ra&nduri:"), m_pRowGap);
    form->addRow(m_pSize);
    form->addRow(QStringLiteral("&Incepe de la eticheta:"), m_pStart);
    auto* buttons = new QDialogButtonBox(this);
    const auto button = [&](const char* text, const char* name, void (CLabelsDlg::*slot)()) {
        QPushButton* b = buttons->addButton(QString::fromUtf8(text), QDialogButtonBox::ActionRole);
        b->setObjectName(QString::fromUtf8(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
    };
    button("&Tipareste...", "print", &CLabelsDlg::OnPrint);
    button("&Previzualizare...", "preview", &CLabelsDlg::OnPreview);
    button("P&DF...", "pdf", &CLabelsDlg::OnPdf);
    QPushButton* close =
        buttons->addButton(QStringLiteral("Inchide"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    LetTabThroughButtons(buttons);
    connect(m_pPreset, &QComboBox::currentIndexChanged, this, &CLabelsDlg::OnPreset);
    for (QSpinBox* box : {m_pRows, m_pColumns}) {
        connect(box, &QSpinBox::valueChanged, this, &CLabelsDlg::OnEdited);
    }
    for (QDoubleSpinBox* box : {m_pTop, m_pBottom, m_pLeft, m_pRight, m_pColumnGap, m_pRowGap}) {
        connect(box, &QDoubleSpinBox::valueChanged, this, &CLabelsDlg::OnEdited);
    }
    m_pPreset->setCurrentIndex(k3x8);
    MendTabChain(this);
}

LabelSheet CLabelsDlg::Sheet() const {
    LabelSheet sheet;
    sheet.rows = m_pRows->value();
    sheet.columns = m_pColumns->value();
    sheet.top = m_pTop->value();
    sheet.bottom = m_pBottom->value();
    sheet.left = m_pLeft->value();
    sheet.right = m_pRight->value();
    sheet.columnGap = m_pColumnGap->value();
    sheet.rowGap = m_pRowGap->value();
    return sheet;
}

int CLabelsDlg::StartAt() const {
    return m_pStart->value();
}

void CLabelsDlg::OnPreset(int preset) {
    if (preset == k3x7) {
        ShowSheet(Sheet3x7());
    } else if (preset == k3x8) {
        ShowSheet(Sheet3x8());
    }
}

void CLabelsDlg::ShowSheet(const LabelSheet& sheet) {
    m_showing = true;
    m_pRows->setValue(sheet.rows);
    m_pColumns->setValue(sheet.columns);
    m_pTop->setValue(sheet.top);
    m_pBottom->setValue(sheet.bottom);
    m_pLeft->setValue(sheet.left);
    m_pRight->setValue(sheet.right);
    m_pColumnGap->setValue(sheet.columnGap);
    m_pRowGap->setValue(sheet.rowGap);
    m_showing = false;
    ShowLabelSize();
}

void CLabelsDlg::OnEdited() {
    if (!m_showing) {
        m_pPreset->blockSignals(true);
        m_pPreset->setCurrentIndex(kOther);
        m_pPreset->blockSignals(false);
        ShowLabelSize();
    }
}

void CLabelsDlg::ShowLabelSize() {
    const LabelSheet sheet = Sheet();
    m_pStart->setMaximum(sheet.rows * sheet.columns);
    const std::string problem = SheetProblem(sheet);
    const LabelRect first = LabelAt(sheet, 0);
    m_pSize->setText(problem.empty() ? QStringLiteral("Eticheta: %1 x %2 mm")
                                           .arg(Millimetres(first.width), Millimetres(first.height))
                                     : FromUtf8(problem));
}

bool CLabelsDlg::SheetUsable() {
    const std::string problem = SheetProblem(Sheet());
    if (!problem.empty()) {
        ShowMessage(problem, this);
    }
    return problem.empty();
}

bool CLabelsDlg::Paint(QPagedPaintDevice& printer) const {
    return PrintLabels(printer, Sheet(), StartAt(), m_labels);
}

void CLabelsDlg::OnPrint() {
    if (!SheetUsable()) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    SetUpLabelPrinter(printer, Sheet());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted && !Paint(printer)) {
        ShowMessage("Etichetele nu pot fi tiparite.", this);
    }
}

void CLabelsDlg::OnPreview() {
    if (!SheetUsable()) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    SetUpLabelPrinter(printer, Sheet());
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("printPreview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { Paint(*p); });
    preview.exec();
}

void CLabelsDlg::OnPdf() {
    if (!SheetUsable()) {
        return;
    }
    const auto path =
        ChooseFile(FileDialogMode::Save, QStringLiteral("Fisiere PDF (*.pdf)"), "pdf", this);
    if (!path || !MayWrite(*path, m_db, this)) {
        return;
    }
    const bool written = WritePdf(
        *path,
        [this](QPagedPaintDevice& writer) {
            SetUpLabelPrinter(writer, Sheet());
            return Paint(writer);
        },
        this);
    if (written) {
        ShowMessage("Etichetele au fost scrise in " + ShownFileName(*path) + ".", this);
    }
}
