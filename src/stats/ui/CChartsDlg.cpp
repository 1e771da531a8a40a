#include "stats/ui/CChartsDlg.h"

#include "shell/DialogParts.h"
#include "shell/OutputFile.h"
#include "shell/Prompts.h"
#include "stats/ui/ChartDrawing.h"
#include "store/CBookDatabase.h"
#include "store/SiblingFiles.h"
#include "store/UserReasons.h"
#include "view/BookRowTexts.h"
#include "view/ui/CShelfwardenView.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr ChartKind kKinds[] = {ChartKind::Decades, ChartKind::Types,   ChartKind::States,
                                ChartKind::Read,    ChartKind::Authors, ChartKind::Publishers,
                                ChartKind::Added,   ChartKind::Loans,   ChartKind::Borrowers};
} // namespace

CChartsDlg::CChartsDlg(CShelfwardenView* view) : QDialog(view->window()), m_pView(view) {
    setObjectName(QStringLiteral("chartsWindow"));
    m_pTabs = new QTabWidget(this);
    m_pTabs->setObjectName(QStringLiteral("charts"));
    for (const ChartKind kind : kKinds) {
        auto* chartView = new QChartView(m_pTabs);
        chartView->setRenderHint(QPainter::Antialiasing);
        m_pTabs->addTab(chartView, QString::fromUtf8(ChartTitle(kind)));
        m_charts.push_back({kind, {}, chartView});
    }
    NamePagesByTabs(m_pTabs);
    auto* buttons = new QDialogButtonBox(this);
    auto* save =
        buttons->addButton(QStringLiteral("&Salveaza graficul..."), QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("saveChart"));
    save->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &CChartsDlg::Save);
    auto* close = buttons->addButton(QStringLiteral("&Inchide"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    LetTabThroughButtons(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs);
    layout->addWidget(buttons);
    resize(820, 560);
    RememberDialogSize(this, QStringLiteral("Charts"));
}

bool CChartsDlg::ShowCurrentListing() {
    CBookDatabase& db = *m_pView->Database();
    const std::string& listing = m_pView->CurrentQuery();
    const auto books = CountListing(db, listing);
    if (!books) {
        return false;
    }
    const QString name = FromUtf8(ListingName(listing)) + QStringLiteral(" (") +
                         RomanianCount(*books, "carte", "carti") + QStringLiteral(")");
    setWindowTitle(QStringLiteral("Grafice - ") + name);
    const ChartLookups names{m_pView->Types(), kUndefinedType, m_pView->States(), kUndefinedState};
    for (Chart& chart : m_charts) {
        auto bars = ComputeChart(db, chart.kind, listing, names);
        if (!bars) {
            return false;
        }
        chart.bars = std::move(*bars);
        Draw(chart, name);
    }
    return true;
}

void CChartsDlg::Draw(Chart& chart, const QString& listing) {
    const QString title =
        QString::fromUtf8(ChartTitle(chart.kind)) + QStringLiteral(": ") + listing;
    const std::vector<ChartBar>* bars = &chart.bars;
    QChart* drawn = MakeChart(chart.kind, chart.bars, title, [this, bars](std::size_t i) {
        // A click lists the bar's books as they are then, whatever the list shows meanwhile.
        if (i < bars->size()) {
            ListBooks((*bars)[i]);
        }
    });
    QChart* old = chart.view->chart();
    chart.view->setChart(drawn);
    delete old;
}

void CChartsDlg::ListBooks(const ChartBar& bar) {
    m_pView->SetCurrentQuery(bar.books);
    m_pView->Relist();
    if (auto* frame = qobject_cast<QMainWindow*>(m_pView->window())) {
        frame->statusBar()->showMessage(
            QStringLiteral("Lista arata: ") + FromUtf8(bar.label) + QStringLiteral(" (") +
            RomanianCount(bar.count, "carte", "carti") + QStringLiteral(")"));
    }
}

void CChartsDlg::Save() {
    const auto path =
        ChooseFile(FileDialogMode::Save,
                   QStringLiteral("Imagini PNG (*.png);;Desene SVG (*.svg);;Documente PDF (*.pdf)"),
                   QStringLiteral("png"), this);
    if (!path || !MayWrite(*path, *m_pView->Database(), this)) {
        return;
    }
    auto* shown = static_cast<QChartView*>(m_pTabs->currentWidget());
    // Made in memory and written whole: an earlier file is replaced only by a complete picture.
    QBuffer picture;
    picture.open(QIODevice::WriteOnly);
    const bool made =
        WriteChartPicture(shown, ChartFileOf(*path), shown->chart()->title(), picture);
    const std::string failure =
        made ? ReplaceFileWith(OutputFileName(*path), BytesOf(picture.data()))
             : std::string("desenul nu a putut fi facut");
    if (!failure.empty()) {
        ShowMessage("Fisierul " + ShownFileName(*path) +
                        " nu poate fi scris: " + RomanianReason(failure),
                    this);
    }
}
