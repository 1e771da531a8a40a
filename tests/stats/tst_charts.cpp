#include "support/GuiDriver.h"

#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QPieSeries>
#include <QPieSlice>
#include <QStatusBar>
#include <QTabWidget>
#include <cmath>

namespace {

constexpr int kTitleColumn = 1;
constexpr int kPagesColumn = 5;

QDialog* ChartsWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("chartsWindow") && w->isVisible()) {
            return qobject_cast<QDialog*>(w);
        }
    }
    return nullptr;
}

QChartView* ShowTab(QDialog* charts, const QString& tab) {
    auto* tabs = charts->findChild<QTabWidget*>(QStringLiteral("charts"));
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == tab) {
            tabs->setCurrentIndex(i);
            auto* view = static_cast<QChartView*>(tabs->widget(i));
            QApplication::processEvents();
            return view;
        }
    }
    return nullptr;
}

// Where a point of the chart's scene lies in the view's viewport.
QPoint OnScreen(QChartView* view, const QPointF& inChart) {
    return view->mapFromScene(view->chart()->mapToScene(inChart));
}

// Clicks the middle of the bar of this category, upright or lying, as the mouse would.
void ClickBar(QChartView* view, const QString& category, qreal count) {
    QChart* chart = view->chart();
    auto* upright = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).first());
    auto* axis =
        upright ? upright : qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Vertical).first());
    const int at = axis->categories().indexOf(category);
    QVERIFY2(at >= 0, qPrintable(category));
    const QPointF middle = chart->mapToPosition(
        upright ? QPointF(at, count / 2) : QPointF(count / 2, at), chart->series().first());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, OnScreen(view, middle));
}

// Clicks the middle of the slice whose label begins with `label`.
void ClickSlice(QChartView* view, const QString& label) {
    QChart* chart = view->chart();
    auto* pie = qobject_cast<QPieSeries*>(chart->series().first());
    for (QPieSlice* slice : pie->slices()) {
        if (slice->label().startsWith(label)) {
            // Angles run clockwise from twelve o'clock.
            const qreal angle = qDegreesToRadians(slice->startAngle() + slice->angleSpan() / 2);
            const QRectF area = chart->plotArea();
            const qreal radius = pie->pieSize() * std::min(area.width(), area.height()) / 4;
            const QPointF point(area.center().x() + radius * std::sin(angle),
                                area.center().y() - radius * std::cos(angle));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, OnScreen(view, point));
            return;
        }
    }
    QFAIL(qPrintable("no slice " + label));
}

QStringList Labels(QChartView* view) {
    QStringList labels;
    for (QPieSlice* slice : qobject_cast<QPieSeries*>(view->chart()->series().first())->slices()) {
        labels << slice->label();
    }
    return labels;
}

void ClickHeader(CShelfwardenView* list, int column) {
    QHeaderView* header = list->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, 5));
}

BookRecord Book(const char* title, const char* author, int pages, int year) {
    return MakeBook(title, author, "Editura", {.pagini = pages, .publicare = year});
}

} // namespace

class TestCharts : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void aClickListsExactlyTheBooksOfABarAndAHeaderClickSortsThem() {
        LibraryApp run({Book("Padurea spanzuratilor", "Rebreanu", 200, 1922),
                        Book("Baltagul", "Sadoveanu", 250, 1930),
                        Book("Fara an", "Anonim", 100, kUnknownNumber)});
        run.frame()->show();
        run.trigger("statsCharts");
        QDialog* charts = ChartsWindow();
        QVERIFY(charts);
        QCOMPARE(charts->windowTitle(), QStringLiteral("Grafice - toate cartile (7 carti)"));
        QChartView* decades = ShowTab(charts, QStringLiteral("Pe decenii"));
        QCOMPARE(decades->chart()->title(), QStringLiteral("Pe decenii: toate cartile (7 carti)"));

        ClickBar(decades, QStringLiteral("1920"), 2);
        QCOMPARE(run.column(kTitleColumn), (QStringList{"Ion", "Padurea spanzuratilor"}));
        QCOMPARE(run.frame()->statusBar()->currentMessage(),
                 QStringLiteral("Lista arata: 1920 (2 carti)"));
        ClickHeader(run.view(), kPagesColumn);
        QCOMPARE(run.column(kTitleColumn), (QStringList{"Padurea spanzuratilor", "Ion"}));

        // The names read from the top down, each bar listing its own name's books.
        QChartView* authors = ShowTab(charts, QStringLiteral("Autori"));
        auto* names = qobject_cast<QBarCategoryAxis*>(authors->chart()->axes(Qt::Vertical).first());
        QCOMPARE(names->categories().last(), QStringLiteral("Rebreanu"));
        ClickBar(authors, QStringLiteral("Sadoveanu"), 1);
        QCOMPARE(run.column(kTitleColumn), QStringList{"Baltagul"});

        // The unknown years stand apart, and list only the book without one.
        ClickBar(decades, QStringLiteral("An necunoscut"), 1);
        QCOMPARE(run.column(kTitleColumn), QStringList{"Fara an"});
        QVERIFY(run.prompts.messages.isEmpty());

        // Another catalogue: the charts of this one are not left to list from it.
        run.trigger("fileClose");
        QVERIFY(!charts->isVisible());
    }

    void theChartsFollowASearchsResult() {
        LibraryApp run({Book("Padurea spanzuratilor", "Rebreanu", 200, 1922)});
        run.frame()->show();
        WhenModal(Answer(QStringLiteral("Rebreanu")));
        run.trigger("searchAuthor");
        run.trigger("statsCharts");
        QDialog* charts = ChartsWindow();
        QVERIFY(charts);
        QCOMPARE(charts->windowTitle(), QStringLiteral("Grafice - rezultatul cautarii (2 carti)"));
        QChartView* types = ShowTab(charts, QStringLiteral("Pe tipuri"));
        QCOMPARE(Labels(types), (QStringList{"SF: 1", "Clasic: 1"}));
        ClickSlice(types, QStringLiteral("Clasic"));
        QCOMPARE(run.column(kTitleColumn), QStringList{"Ion"});

        // Opened again, the charts draw the listing the list shows now.
        run.trigger("statsCharts");
        QCOMPARE(charts->windowTitle(),
                 QStringLiteral("Grafice - cartile alese dintr-un grafic (1 carte)"));
        QCOMPARE(Labels(ShowTab(charts, QStringLiteral("Pe tipuri"))), QStringList{"Clasic: 1"});
    }

    void aChartIsSavedAsPngSvgOrPdfButNeverOverTheCatalogue() {
        LibraryApp run;
        run.frame()->show();
        run.trigger("statsCharts");
        QDialog* charts = ChartsWindow();
        QVERIFY(charts);
        ShowTab(charts, QStringLiteral("Autori"));
        const QList<QPair<QString, QByteArray>> files = {{run.path("autori.png"), "\x89PNG"},
                                                         {run.path("autori.svg"), "<?xml"},
                                                         {run.path("autori.pdf"), "%PDF"}};
        for (const auto& [file, start] : files) {
            run.prompts.files.push_back(file);
            Press(charts, "saveChart");
            QVERIFY2(FileBytes(file).startsWith(start), qPrintable(file));
        }
        QVERIFY(FileBytes(run.path("autori.svg")).contains("Homer"));
        QCOMPARE(run.prompts.fileRequests.first(),
                 QStringLiteral("save|Imagini PNG (*.png);;Desene SVG (*.svg);;Documente PDF "
                                "(*.pdf)|png"));

        const QByteArray catalogue = FileBytes(run.Library::path);
        run.prompts.files.push_back(run.Library::path);
        Press(charts, "saveChart");
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{"Fisierul test.mdb este chiar catalogul sau un fisier al lui; nu "
                             "s-a scris nimic."});
        QCOMPARE(FileBytes(run.Library::path), catalogue);
    }
};

QTEST_MAIN(TestCharts)
#include "tst_charts.moc"
