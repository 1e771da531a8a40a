#include "bulk/ui/CDoublesDlg.h"

#include "bulk/BookMerge.h"
#include "bulk/BulkEditFields.h"
#include "bulk/CopiesApart.h"
#include "isbn/CBookDetailsStore.h"
#include "shell/DialogParts.h"
#include "shell/Prompts.h"
#include "store/CEngineException.h"
#include "store/CatalogueMessages.h"
#include "store/CountedNoun.h"
#include "store/StatementFormat.h"
#include "view/BookRowTexts.h"
#include "view/ListingQuery.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

CDoublesDlg::CDoublesDlg(CBookDatabase& db, const LookupList& types, const LookupList& states,
                         std::vector<DoubleGroup> groups, CopyPairs apart, QWidget* parent)
    : QDialog(parent), m_db(db), m_types(types), m_states(states), m_groups(std::move(groups)),
      m_apart(std::move(apart)) {
    setObjectName(QStringLiteral("doubles"));
    setWindowTitle(QStringLiteral("Carti duble"));
    m_pGroups = new QListWidget(this);
    m_pGroups->setObjectName(QStringLiteral("groups"));
    NameForScreenReaders(m_pGroups, QStringLiteral("Grupuri"));
    MakeDialogList(m_pGroups);
    m_pBooks = new QTableWidget(this);
    m_pBooks->setObjectName(QStringLiteral("books"));
    m_pBooks->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A line of text a field, so that a book's every field is in sight at once.
    m_pBooks->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    NameForScreenReaders(m_pBooks, QStringLiteral("Cartile grupului"));
    MakeDialogList(m_pBooks);
    m_pKeep = new QComboBox(this);
    m_pKeep->setObjectName(QStringLiteral("keep"));
    NameForScreenReaders(m_pKeep, QStringLiteral("Cartea pastrata"));
    m_pMerge = new QPushButton(QStringLiteral("&Uneste"), this);
    m_pMerge->setObjectName(QStringLiteral("merge"));
    m_pCopies = new QPushButton(QStringLiteral("Copii &diferite"), this);
    m_pCopies->setObjectName(QStringLiteral("copies"));
    m_pMergeAll = new QPushButton(QStringLiteral("Uneste &toate"), this);
    m_pMergeAll->setObjectName(QStringLiteral("mergeAll"));
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    close->button(QDialogButtonBox::Close)->setText(QStringLiteral("Inchide"));
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* actions = new QHBoxLayout;
    actions->addWidget(new QLabel(QStringLiteral("Pastreaza:"), this));
    actions->addWidget(m_pKeep, 1);
    actions->addWidget(m_pMerge);
    actions->addWidget(m_pCopies);
    actions->addWidget(m_pMergeAll);
    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(m_pBooks);
    rightLayout->addLayout(actions);
    auto* split = new QSplitter(this);
    split->addWidget(m_pGroups);
    split->addWidget(right);
    split->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split);
    layout->addWidget(close);
    connect(m_pGroups, &QListWidget::currentRowChanged, this, &CDoublesDlg::ShowGroup);
    connect(m_pMerge, &QPushButton::clicked, this, &CDoublesDlg::OnMerge);
    connect(m_pCopies, &QPushButton::clicked, this, &CDoublesDlg::OnCopies);
    connect(m_pMergeAll, &QPushButton::clicked, this, &CDoublesDlg::OnMergeAll);
    // Room for the groups' names and for four books side by side, unless the user chose a size.
    resize(1000, 620);
    split->setSizes({300, 700});
    RememberDialogSize(this, QStringLiteral("doubles"));
    try {
        const std::vector<std::string> texts = DoubleGroupTexts(m_db, m_groups);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const std::vector<std::int32_t>& books = m_groups[i].books;
            const bool marked = std::ranges::any_of(books, [&](std::int32_t a) {
                return std::ranges::any_of(
                    books, [&](std::int32_t b) { return MarkedApart(m_apart, a, b); });
            });
            m_pGroups->addItem(FromUtf8(texts[i] + (marked ? ", cu copii marcate" : "")));
        }
    } catch (const CEngineException&) {
        m_groups.clear();
        m_pGroups->clear();
        ShowMessage(msg::kCannotSelect, this);
    }
    m_pGroups->setCurrentRow(m_groups.empty() ? -1 : 0);
    ShowGroup(m_pGroups->currentRow());
    MendTabChain(this);
}

void CDoublesDlg::ShowGroup(int group) {
    m_pBooks->clear();
    m_pKeep->clear();
    const bool shown = group >= 0 && group < static_cast<int>(m_groups.size());
    m_pMerge->setEnabled(shown);
    m_pCopies->setEnabled(shown);
    m_pMergeAll->setEnabled(shown);
    if (!shown) {
        m_pBooks->setRowCount(0);
        m_pBooks->setColumnCount(0);
        return;
    }
    const DoubleGroup& g = m_groups[static_cast<std::size_t>(group)];
    auto listing =
        ListingQuery::Open(m_db, "SELECT * FROM books WHERE id IN (" + IdList(g.books) + ")");
    std::vector<RowTexts> rows;
    if (listing && !listing->IsEmpty()) {
        if (auto read = listing->Read(m_types, m_states, UserMessageSink())) {
            for (int i = 0; i < read->RowCount(); ++i) {
                rows.push_back(read->Row(i));
            }
        }
    }
    std::ranges::sort(rows, {}, [](const RowTexts& r) { return LeadingInteger(r[0]); });
    CBookDetailsStore store(m_db, {});
    std::vector<BookDetails> details;
    for (const RowTexts& r : rows) {
        details.push_back(
            store.Read(static_cast<std::int32_t>(LeadingInteger(r[0]))).value_or(BookDetails{}));
        m_pKeep->addItem(FromUtf8(r[0] + " " + r[1]), QVariant::fromValue(LeadingInteger(r[0])));
    }
    const std::vector<SideBySideLine> lines = SideBySide(rows, details);
    m_pBooks->setRowCount(static_cast<int>(lines.size()));
    m_pBooks->setColumnCount(static_cast<int>(rows.size()));
    QStringList headers;
    for (const RowTexts& r : rows) {
        const auto id = static_cast<std::int32_t>(LeadingInteger(r[0]));
        const bool copy = std::ranges::any_of(
            g.books, [&](std::int32_t other) { return MarkedApart(m_apart, id, other); });
        headers << FromUtf8(r[0]) + (copy ? QStringLiteral(" (copie)") : QString());
    }
    m_pBooks->setHorizontalHeaderLabels(headers);
    for (int line = 0; line < static_cast<int>(lines.size()); ++line) {
        const SideBySideLine& l = lines[static_cast<std::size_t>(line)];
        auto* name = new QTableWidgetItem(FromUtf8(l.field));
        m_pBooks->setVerticalHeaderItem(line, name);
        for (int book = 0; book < static_cast<int>(l.texts.size()); ++book) {
            auto* cell = new QTableWidgetItem(FromUtf8(l.texts[static_cast<std::size_t>(book)]));
            if (l.differs) {
                QFont bold = cell->font();
                bold.setBold(true);
                cell->setFont(bold);
            }
            m_pBooks->setItem(line, book, cell);
        }
    }
    m_pBooks->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void CDoublesDlg::OnMerge() {
    const int group = m_pGroups->currentRow();
    if (group < 0 || m_pKeep->currentIndex() < 0) {
        return;
    }
    const DoubleGroup& g = m_groups[static_cast<std::size_t>(group)];
    const auto keep = static_cast<std::int32_t>(m_pKeep->currentData().toLongLong());
    auto changes = MergeDoubles(m_db, g.books, keep, m_apart, UserMessageSink());
    if (!changes) {
        return;
    }
    if (m_onMerged) {
        m_onMerged(std::move(*changes));
    }
    DropCurrent();
}

void CDoublesDlg::OnCopies() {
    const int group = m_pGroups->currentRow();
    if (group < 0) {
        return;
    }
    CCopiesApart apart(m_db, UserMessageSink());
    const std::vector<std::int32_t>& books = m_groups[static_cast<std::size_t>(group)].books;
    if (apart.Mark(books)) {
        for (const std::int32_t a : books) {
            for (const std::int32_t b : books) {
                if (a < b) {
                    m_apart.emplace(a, b);
                }
            }
        }
        DropCurrent();
    }
}

void CDoublesDlg::OnMergeAll() {
    if (!AskYesNo("Se unesc toate cele " +
                      CountedNoun(static_cast<long long>(m_groups.size()), "grup", "grupuri") +
                      " listate: din fiecare ramane prima carte, cu tot ce stiu celelalte, iar "
                      "celelalte se sterg (copiile marcate raman). Edit > Undo le aduce "
                      "inapoi. Continuati?",
                  this, true)) {
        return;
    }
    std::vector<std::size_t> refused;
    auto changes = MergeEveryDouble(m_db, m_groups, m_apart, refused, UserMessageSink());
    if (!changes) {
        return;
    }
    const std::size_t gone = static_cast<std::size_t>(
        std::ranges::count_if(*changes, [](const BookChange& c) { return !c.after; }));
    if (m_onMerged) {
        m_onMerged(std::move(*changes));
    }
    std::vector<std::string> left;
    for (int group = static_cast<int>(m_groups.size()) - 1; group >= 0; --group) {
        if (std::ranges::find(refused, static_cast<std::size_t>(group)) == refused.end()) {
            m_groups.erase(m_groups.begin() + group);
            delete m_pGroups->takeItem(group);
        } else {
            left.insert(left.begin(), ToUtf8(m_pGroups->item(group)->text()));
        }
    }
    m_pGroups->setCurrentRow(m_groups.empty() ? -1 : 0);
    ShowGroup(m_pGroups->currentRow());
    if (m_groups.empty()) {
        accept(); // nothing is left to look at
    }
    std::string told =
        "Sterse prin unire: " + CountedNoun(static_cast<long long>(gone), "carte", "carti") + ".";
    if (!left.empty()) {
        told += " Au ramas neunite (doua carti din grup sunt imprumutate acum, una a fost "
                "stearsa intre timp, sau toate sunt copii marcate):" +
                NamedLines(left);
    }
    ShowMessage(told, this);
}

void CDoublesDlg::DropCurrent() {
    const int group = m_pGroups->currentRow();
    m_groups.erase(m_groups.begin() + group);
    delete m_pGroups->takeItem(group);
    if (m_groups.empty()) {
        accept(); // nothing is left to look at
        return;
    }
    ShowGroup(m_pGroups->currentRow());
}
