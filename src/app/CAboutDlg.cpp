#include "app/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Shelfwarden"));
    auto* icon = new QLabel;
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QPixmap(QStringLiteral(":/shelfwarden.png")));
    auto* line = new QLabel(QStringLiteral("Shelfwarden Version 1.0"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(line, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    // As small as the content allows, yet wide enough for the whole title beside the frame's
    // buttons.
    row->setSpacing(16);
    line->setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 80);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
