#include "lookup/ui/CSourceListEdit.h"

#include "lookup/ui/CAddSourceDlg.h"
#include "shell/DialogParts.h"
#include "shell/Prompts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace {

enum Column { kNameColumn, kKindColumn, kAddressColumn, kColumnCount };

bool IsOwnSource(const LookupSource& source) {
    const std::vector<LookupSource> defaults = DefaultSources();
    return std::any_of(defaults.begin(), defaults.end(), [&](const LookupSource& own) {
        return own.kind == source.kind && own.name == source.name && own.address == source.address;
    });
}

QPushButton* MakeButton(const char* text, const char* name, const char* tip, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setToolTip(QString::fromUtf8(tip));
    button->setAutoDefault(false);
    return button;
}

} // namespace

CSourceListEdit::CSourceListEdit(QWidget* parent)
    : QWidget(parent), m_pList(new QTreeWidget(this)),
      m_pUp(MakeButton("&Sus", "sourceUp", "Sursa aleasa este intrebata mai devreme", this)),
      m_pDown(MakeButton("&Jos", "sourceDown", "Sursa aleasa este intrebata mai tarziu", this)),
      m_pAdd(MakeButton("&Adauga...", "sourceAdd",
                        "Un catalog de biblioteca, dupa adresa lui SRU sau Z39.50", this)),
      m_pRemove(MakeButton("S&terge", "sourceRemove",
                           "Sterge o sursa adaugata de dumneavoastra. Sursele programului nu se "
                           "sterg: se opresc din casuta lor.",
                           this)) {
    m_pList->setObjectName(QStringLiteral("isbnSources"));
    m_pList->setColumnCount(kColumnCount);
    m_pList->setHeaderLabels(
        {QStringLiteral("Sursa"), QStringLiteral("Tip"), QStringLiteral("Adresa")});
    m_pList->setRootIsDecorated(false);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the buttons; Space turns the selected source on or off.
    m_pList->setTabKeyNavigation(false);
    m_pList->header()->setStretchLastSection(true);
    // Room for the program's sources and a few of the user's without scrolling.
    constexpr int kRowsShown = 8;
    m_pList->setMinimumHeight(m_pList->fontMetrics().height() * (kRowsShown + 2));
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_pUp, m_pDown, m_pAdd, m_pRemove}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pList, 1);
    layout->addLayout(buttons);
    connect(m_pUp, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(m_pDown, &QPushButton::clicked, this, [this] { Move(1); });
    connect(m_pAdd, &QPushButton::clicked, this, &CSourceListEdit::OnAdd);
    connect(m_pRemove, &QPushButton::clicked, this, &CSourceListEdit::OnRemove);
    connect(m_pList, &QTreeWidget::itemChanged, this, &CSourceListEdit::OnItemChanged);
    connect(m_pList, &QTreeWidget::currentItemChanged, this, &CSourceListEdit::UpdateButtons);
    UpdateButtons();
}

QWidget* CSourceListEdit::List() const {
    return m_pList;
}

void CSourceListEdit::SetSources(const std::vector<LookupSource>& sources) {
    m_sources = sources;
    SetGoogleKeyGiven(m_bGoogleKey);
    ShowSources(0);
}

void CSourceListEdit::SetGoogleKeyGiven(bool given) {
    m_bGoogleKey = given;
    if (given) {
        return;
    }
    bool changed = false;
    for (LookupSource& source : m_sources) {
        if (source.kind == SourceKind::GoogleBooks && source.on) {
            source.on = false;
            changed = true;
        }
    }
    if (changed) {
        ShowSources(CurrentRow());
    }
}

void CSourceListEdit::ShowSources(int current) {
    m_bShowing = true;
    m_pList->clear();
    for (const LookupSource& source : m_sources) {
        auto* item = new QTreeWidgetItem(m_pList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(kNameColumn, source.on ? Qt::Checked : Qt::Unchecked);
        item->setText(kNameColumn, FromUtf8(source.name));
        item->setText(kKindColumn, SourceKindLabel(source.kind));
        item->setText(kAddressColumn, FromUtf8(source.address));
        const QString tip =
            PlainToolTip(FromUtf8(source.name) + '\n' + SourceKindLabel(source.kind) + '\n' +
                         FromUtf8(source.address));
        for (int column = 0; column < kColumnCount; ++column) {
            item->setToolTip(column, tip);
        }
    }
    m_bShowing = false;
    m_pList->resizeColumnToContents(kNameColumn);
    m_pList->resizeColumnToContents(kKindColumn);
    if (!m_sources.empty()) {
        current = std::clamp(current, 0, static_cast<int>(m_sources.size()) - 1);
        m_pList->setCurrentItem(m_pList->topLevelItem(current));
    }
    UpdateButtons();
}

int CSourceListEdit::CurrentRow() const {
    QTreeWidgetItem* item = m_pList->currentItem();
    return item == nullptr ? -1 : m_pList->indexOfTopLevelItem(item);
}

void CSourceListEdit::UpdateButtons() {
    const int row = CurrentRow();
    const int rows = static_cast<int>(m_sources.size());
    m_pUp->setEnabled(row > 0);
    m_pDown->setEnabled(row >= 0 && row + 1 < rows);
    m_pRemove->setEnabled(row >= 0 && !IsOwnSource(m_sources[row]));
}

void CSourceListEdit::Move(int step) {
    const int row = CurrentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= static_cast<int>(m_sources.size())) {
        return;
    }
    std::swap(m_sources[row], m_sources[to]);
    ShowSources(to);
}

void CSourceListEdit::OnAdd() {
    std::vector<std::string> names;
    for (const LookupSource& source : m_sources) {
        names.push_back(source.name);
    }
    CAddSourceDlg ask(std::move(names), this);
    if (ask.exec() != QDialog::Accepted) {
        return;
    }
    m_sources.push_back(ask.Source());
    ShowSources(static_cast<int>(m_sources.size()) - 1);
}

void CSourceListEdit::OnRemove() {
    const int row = CurrentRow();
    if (row < 0 || IsOwnSource(m_sources[row])) {
        return;
    }
    m_sources.erase(m_sources.begin() + row);
    ShowSources(row);
    m_pList->setFocus();
}

void CSourceListEdit::OnItemChanged(QTreeWidgetItem* item) {
    const int row = m_pList->indexOfTopLevelItem(item);
    if (m_bShowing || row < 0) {
        return;
    }
    LookupSource& source = m_sources[row];
    source.on = item->checkState(kNameColumn) == Qt::Checked;
    if (source.kind == SourceKind::GoogleBooks && source.on && !m_bGoogleKey) {
        source.on = false;
        m_bShowing = true;
        item->setCheckState(kNameColumn, Qt::Unchecked);
        m_bShowing = false;
        ShowMessage("Google Books cere o cheie.", this);
        emit KeyWanted();
    }
}
