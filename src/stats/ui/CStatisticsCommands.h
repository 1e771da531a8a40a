#pragma once

#include "stats/NameStatistics.h"

#include <QObject>
#include <QPointer>

class CChartsDlg;
class CShelfwardenView;

// The Statistics menu: the general figures, one row per author or publisher, and the charts.
class CStatisticsCommands : public QObject {
    Q_OBJECT
public:
    explicit CStatisticsCommands(CShelfwardenView* view);

public slots:
    void OnGeneralStats();
    void OnAuthorStats();
    void OnPublisherStats();
    // The charts of the current listing, in their window beside the list.
    void OnCharts();
    // Another catalogue came: the charts of the last one, and their bars' listings, go.
    void CloseCharts();

private:
    void ShowNameStatistics(NameStatisticsMode mode);

    CShelfwardenView* m_pView;
    QPointer<CChartsDlg> m_pCharts;
};
