#include "stats/ui/CStatisticsCommands.h"

#include "stats/GeneralStatistics.h"
#include "stats/ui/CChartsDlg.h"
#include "stats/ui/CGeneralStatsDlg.h"
#include "stats/ui/CResultListDlg.h"
#include "view/ui/CShelfwardenView.h"

CStatisticsCommands::CStatisticsCommands(CShelfwardenView* view) : QObject(view), m_pView(view) {}

void CStatisticsCommands::OnGeneralStats() {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    const auto statistics = ComputeGeneralStatistics(*db);
    if (!statistics) {
        return;
    }
    CGeneralStatsDlg dlg(*statistics, m_pView);
    dlg.exec();
}

void CStatisticsCommands::ShowNameStatistics(NameStatisticsMode mode) {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    CResultListDlg dlg(m_pView);
    dlg.m_pDatabase = db;
    dlg.m_nMode = mode;
    dlg.exec();
}

void CStatisticsCommands::OnAuthorStats() {
    ShowNameStatistics(NameStatisticsMode::Authors);
}
void CStatisticsCommands::OnPublisherStats() {
    ShowNameStatistics(NameStatisticsMode::Publishers);
}

void CStatisticsCommands::CloseCharts() {
    if (m_pCharts) {
        m_pCharts->close();
    }
}

void CStatisticsCommands::OnCharts() {
    if (!m_pView->OpenDatabaseOrComplain()) {
        return;
    }
    if (!m_pCharts) {
        m_pCharts = new CChartsDlg(m_pView);
    }
    if (m_pCharts->ShowCurrentListing()) {
        m_pCharts->show();
        m_pCharts->raise();
        m_pCharts->activateWindow();
    }
}
