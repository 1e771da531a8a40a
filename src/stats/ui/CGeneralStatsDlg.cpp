#include "stats/ui/CGeneralStatsDlg.h"

#include "shell/DialogParts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>
#include <map>

namespace {
// The figures of each group box, by control, top to bottom.
constexpr int kTotals[] = {1021, 1022, 1024, 1025, 1026, 1027, 1028, 1029};
constexpr int kAverages[] = {1030, 1031, 1032, 1033, 1034, 1035, 1036, 1037};
constexpr int kCenturies[] = {1023, 1042, 1043, 1044};
constexpr int kReadCenturies[] = {1045, 1046, 1047, 1048};
} // namespace

CGeneralStatsDlg::CGeneralStatsDlg(const GeneralStatistics& statistics, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Shelfwarden Statistics"));
    std::map<int, StatisticsFigure> byControl;
    for (StatisticsFigure& f : GeneralStatisticsFigures(statistics)) {
        byControl.emplace(f.control, std::move(f));
    }
    auto group = [&](const auto& controls) {
        auto* box = new QGroupBox(this);
        auto* form = new QFormLayout(box);
        for (int control : controls) {
            const StatisticsFigure& f = byControl.at(control);
            auto* value = new QLabel(FromUtf8(f.text), box);
            value->setObjectName(QStringLiteral("figure%1").arg(control));
            value->setTextFormat(Qt::PlainText);
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            form->addRow(QString::fromUtf8(f.label), value);
        }
        return box;
    };
    auto* grid = new QGridLayout;
    grid->addWidget(group(kTotals), 0, 0);
    grid->addWidget(group(kAverages), 0, 1);
    grid->addWidget(group(kCenturies), 1, 0);
    grid->addWidget(group(kReadCenturies), 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(MakeDialogButtons(this, CancelButton::None));
}
