#include "bulk/ui/CBulkEditDlg.h"

#include "shell/DialogParts.h"
#include "shell/Prompts.h"
#include "store/CountedNoun.h"
#include "store/FixedNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

CBulkEditDlg::CBulkEditDlg(std::size_t books, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("bulkEdit"));
    setWindowTitle(QStringLiteral("Modifica selectia"));
    auto* intro = new QLabel(FromUtf8("Se schimba doar campurile bifate, la toate cele " +
                                      CountedNoun(static_cast<long long>(books), "carte", "carti") +
                                      " selectate."),
                             this);
    intro->setWordWrap(true);
    auto* book = new QWidget(this);
    auto* bookGrid = new QGridLayout(book);
    AddEdit(bookGrid, "titlu", "Titlu");
    AddEdit(bookGrid, "autor", "Autor");
    AddEdit(bookGrid, "editura", "Editura");
    AddCombo(bookGrid, "tip", "Tip", false);
    for (const auto& [name, label] : {std::pair{"pagini", "Pagini"},
                                      {"capitole", "Capitole"},
                                      {"volume", "Volume"},
                                      {"publicare", "An aparitie"},
                                      {"publicare_volum", "An publicare volum"}}) {
        AcceptDigitsOnly(AddEdit(bookGrid, name, label));
    }
    AddCombo(bookGrid, "citita", "Citita", false);
    AddCombo(bookGrid, "calificativ", "Calificativ", false);
    AddCombo(bookGrid, "stare", "Stare", false);
    m_pDetailsPage = new QWidget(this);
    auto* detailsGrid = new QGridLayout(m_pDetailsPage);
    AddEdit(detailsGrid, "isbn", "ISBN");
    AddCombo(detailsGrid, "locatie", "Locatie", true);
    AddCombo(detailsGrid, "serie", "Serie", true);
    AcceptDigitsOnly(AddEdit(detailsGrid, "numar_serie", "Numar in serie"));
    AddEdit(detailsGrid, "note", "Note");
    detailsGrid->setRowStretch(detailsGrid->rowCount(), 1);
    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("pages"));
    pages->addTab(book, QStringLiteral("Carte"));
    pages->addTab(m_pDetailsPage, QStringLiteral("Detalii"));
    NamePagesByTabs(pages);
    pages->findChild<QTabBar*>()->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(pages);
    layout->addWidget(MakeDialogButtons(this, CancelButton::Renunta));
    MendTabChain(this);
}

QCheckBox* CBulkEditDlg::AddRow(QGridLayout* grid, const char* name, const char* label,
                                QWidget* editor) {
    const int row = grid->rowCount();
    auto* check = new QCheckBox(QStringLiteral("Schimba"), editor->parentWidget());
    check->setObjectName(QStringLiteral("schimba_") + QString::fromUtf8(name));
    NameForScreenReaders(check, QStringLiteral("Schimba ") + QString::fromUtf8(label));
    editor->setObjectName(QString::fromUtf8(name));
    NameForScreenReaders(editor, QString::fromUtf8(label));
    grid->addWidget(check, row, 0);
    grid->addWidget(new QLabel(QString::fromUtf8(label), editor->parentWidget()), row, 1);
    grid->addWidget(editor, row, 2);
    // Each row reads left to right: its box, then its field.
    setTabOrder(check, editor);
    m_checks.insert(QString::fromUtf8(name), check);
    m_editors.insert(QString::fromUtf8(name), editor);
    return check;
}

QLineEdit* CBulkEditDlg::AddEdit(QGridLayout* grid, const char* name, const char* label) {
    auto* edit = new QLineEdit(grid->parentWidget());
    QCheckBox* check = AddRow(grid, name, label, edit);
    connect(edit, &QLineEdit::textEdited, check, [check] { check->setChecked(true); });
    return edit;
}

QComboBox* CBulkEditDlg::AddCombo(QGridLayout* grid, const char* name, const char* label,
                                  bool editable) {
    auto* combo = new QComboBox(grid->parentWidget());
    combo->setEditable(editable);
    if (editable) {
        combo->setInsertPolicy(QComboBox::NoInsert);
    }
    QCheckBox* check = AddRow(grid, name, label, combo);
    connect(combo, &QComboBox::activated, check, [check] { check->setChecked(true); });
    if (editable) {
        connect(combo->lineEdit(), &QLineEdit::textEdited, check,
                [check] { check->setChecked(true); });
    }
    return combo;
}

int CBulkEditDlg::exec() {
    auto fill = [this](const char* name, const auto& names) {
        auto* combo = static_cast<QComboBox*>(m_editors.value(QString::fromUtf8(name)));
        combo->clear();
        for (const auto& n : names) {
            combo->addItem(FromUtf8(n));
        }
        // Nothing is shown as if it were the books' value: the user chooses.
        combo->setCurrentIndex(-1);
    };
    fill("tip", m_aTypes.Names());
    fill("citita", g_readNames);
    fill("calificativ", g_ratingNames);
    fill("stare", m_aStates.Names());
    fill("locatie", m_aLocations);
    fill("serie", m_aSeries);
    m_pDetailsPage->setEnabled(m_bDetailsUsable);
    m_editors.value(QStringLiteral("titlu"))->setFocus();
    return QDialog::exec();
}

bool CBulkEditDlg::Checked(const char* name) const {
    return m_checks.value(QString::fromUtf8(name))->isChecked();
}

std::optional<std::string> CBulkEditDlg::Text(const char* name) const {
    if (!Checked(name)) {
        return std::nullopt;
    }
    QWidget* editor = m_editors.value(QString::fromUtf8(name));
    auto* combo = qobject_cast<QComboBox*>(editor);
    const QString text = combo ? combo->currentText() : static_cast<QLineEdit*>(editor)->text();
    return ToUtf8(text.trimmed());
}

void CBulkEditDlg::accept() {
    for (const char* name : {"tip", "citita", "calificativ", "stare"}) {
        if (Checked(name) &&
            static_cast<QComboBox*>(m_editors.value(QString::fromUtf8(name)))->currentIndex() < 0) {
            ShowMessage(msg::kChooseAValue, this);
            return;
        }
    }
    auto index = [this](const char* name) -> std::optional<int> {
        if (!Checked(name)) {
            return std::nullopt;
        }
        return static_cast<QComboBox*>(m_editors.value(QString::fromUtf8(name)))->currentIndex();
    };
    BulkEdit edit;
    edit.titlu = Text("titlu");
    edit.autor = Text("autor");
    edit.editura = Text("editura");
    if (const auto at = index("tip"); at && *at >= 0) {
        edit.tip = m_aTypes.At(*at).GetId();
    }
    edit.pagini = Text("pagini");
    edit.capitole = Text("capitole");
    edit.volume = Text("volume");
    edit.publicare = Text("publicare");
    edit.publicare_volum = Text("publicare_volum");
    edit.citita = index("citita");
    edit.calificativ = index("calificativ");
    if (const auto at = index("stare"); at && *at >= 0) {
        edit.stare = m_aStates.At(*at).GetId();
    }
    if (m_bDetailsUsable) {
        edit.isbn = Text("isbn");
        edit.locatie = Text("locatie");
        edit.serie = Text("serie");
        edit.numar_serie = Text("numar_serie");
        edit.note = Text("note");
    }
    if (const char* problem = BulkEditFields(edit, m_fields)) {
        ShowMessage(problem, this);
        return;
    }
    QDialog::accept();
}
