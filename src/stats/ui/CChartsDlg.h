#pragma once

#include "stats/ChartFigures.h"

#include <QDialog>
#include <vector>

class CShelfwardenView;
class QChartView;
class QTabWidget;

// Statistici > Grafice...: a chart per tab over the list's current listing, named in the title.
// A click on a bar or a slice makes its books the list's current listing, so a header click sorts
// them as any listing; the window stays open beside the list. "Salveaza graficul..." writes the
// chart shown as PNG, SVG or PDF, as the file's name ends.
class CChartsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CChartsDlg(CShelfwardenView* view);

    // Draws every chart over the current listing; false when a statement failed (the database
    // has said why).
    bool ShowCurrentListing();

private:
    struct Chart {
        ChartKind kind;
        std::vector<ChartBar> bars;
        QChartView* view;
    };
    void Draw(Chart& chart, const QString& listing);
    void ListBooks(const ChartBar& bar);
    void Save();

    CShelfwardenView* m_pView;
    QTabWidget* m_pTabs;
    std::vector<Chart> m_charts;
};
