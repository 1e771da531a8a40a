#include "stats/ui/CStatisticsCommands.h"

#include "stats/GeneralStatistics.h"
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
