#pragma once

#include "stats/NameStatistics.h"

#include <QObject>

class CShelfwardenView;

// The Statistics menu: the general figures, and one row per author or publisher.
class CStatisticsCommands : public QObject {
    Q_OBJECT
public:
    explicit CStatisticsCommands(CShelfwardenView* view);

public slots:
    void OnGeneralStats();
    void OnAuthorStats();
    void OnPublisherStats();

private:
    void ShowNameStatistics(NameStatisticsMode mode);

    CShelfwardenView* m_pView;
};
