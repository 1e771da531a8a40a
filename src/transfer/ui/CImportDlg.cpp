#include "transfer/ui/CImportDlg.h"

#include "shell/DialogParts.h"
#include "shell/Prompts.h"
#include "store/FixedNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QComboBox* NamedCombo(const char* name, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromUtf8(name));
    return combo;
}

// An editable drop-down of the catalogue's names that takes a new one too.
QComboBox* NameChooser(const char* name, const std::vector<std::string>& names,
                       const std::string& preferred, QWidget* parent) {
    QComboBox* combo = NamedCombo(name, parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& n : names) {
        combo->addItem(FromUtf8(n));
    }
    combo->setCurrentIndex(-1); // none, unless preferred
    combo->setCurrentText(FromUtf8(preferred));
    return combo;
}

// The catalogue's own name for a book with no type or state: the program's usual one where the
// catalogue has it, else the catalogue's first.
std::string Preferred(const std::vector<std::string>& names, const std::string& usual) {
    return names.empty() || std::find(names.begin(), names.end(), usual) != names.end()
               ? usual
               : names.front();
}

// The type offered for books without one: the catalogue's "other" where it has one, else none,
// since any other type would be a guess the user might not see.
std::string PreferredType(const std::vector<std::string>& types) {
    for (const std::string& other : {std::string("Altele"), g_defaultTypeNames.back()}) {
        if (std::find(types.begin(), types.end(), other) != types.end()) {
            return other;
        }
    }
    return {};
}

} // namespace

CImportDlg::CImportDlg(const QString& fileName, std::string start,
                       const std::vector<std::string>& types,
                       const std::vector<std::string>& states, QWidget* parent)
    : QDialog(parent), m_bytes(std::move(start)) {
    setObjectName(QStringLiteral("importDialog"));
    setWindowTitle(QStringLiteral("Import"));
    m_preview = PreviewImport(m_bytes, 0, TextEncoding::Utf8);

    auto* layout = new QVBoxLayout(this);
    auto* source = new QLabel(QStringLiteral("Se importa cartile din %1.").arg(fileName), this);
    source->setObjectName(QStringLiteral("importSource"));
    source->setTextFormat(Qt::PlainText);
    layout->addWidget(source);
    auto* form = new QFormLayout;
    m_pDelimiter = NamedCombo("importDelimiter", this);
    m_pDelimiter->addItem(QStringLiteral("Virgula (,)"), QChar(u','));
    m_pDelimiter->addItem(QStringLiteral("Punct si virgula (;)"), QChar(u';'));
    m_pDelimiter->addItem(QStringLiteral("Tab"), QChar(u'\t'));
    m_pDelimiter->setCurrentIndex(m_pDelimiter->findData(QChar(m_preview.delimiter)));
    form->addRow(QStringLiteral("Delimitator:"), m_pDelimiter);
    m_pEncoding = NamedCombo("importEncoding", this);
    for (const auto& [encoding, name] : TextEncodings()) {
        m_pEncoding->addItem(QString::fromUtf8(name), static_cast<int>(encoding));
    }
    m_pEncoding->setCurrentIndex(m_pEncoding->findData(static_cast<int>(m_preview.encoding)));
    form->addRow(QStringLiteral("Codificare:"), m_pEncoding);
    layout->addLayout(form);

    m_pNote = new QLabel(this);
    m_pNote->setObjectName(QStringLiteral("importNote"));
    m_pNote->setTextFormat(Qt::PlainText);
    m_pNote->setWordWrap(true);
    layout->addWidget(m_pNote);
    m_pTable = new QTableWidget(this);
    m_pTable->setObjectName(QStringLiteral("importPreview"));
    m_pTable->setAccessibleName(QStringLiteral("Primele randuri ale fisierului"));
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->verticalHeader()->setVisible(false);
    MakeDialogList(m_pTable);
    layout->addWidget(m_pTable, 1);

    auto* defaults = new QFormLayout;
    m_pType = NameChooser("importType", types, PreferredType(types), this);
    m_pType->lineEdit()->setPlaceholderText(QStringLiteral("alegeti un tip"));
    defaults->addRow(QStringLiteral("Tipul cartilor fara tip:"), m_pType);
    NameForScreenReaders(m_pType, QStringLiteral("Tipul cartilor fara tip:"));
    m_pState =
        NameChooser("importState", states, Preferred(states, g_defaultStateNames.back()), this);
    defaults->addRow(QStringLiteral("Starea cartilor fara stare:"), m_pState);
    NameForScreenReaders(m_pState, QStringLiteral("Starea cartilor fara stare:"));
    layout->addLayout(defaults);
    m_pDuplicates = new QCheckBox(QStringLiteral("Importa si duplicatele"), this);
    m_pDuplicates->setObjectName(QStringLiteral("importDuplicates"));
    m_pDuplicates->setToolTip(QStringLiteral(
        "Cartile cu acelasi titlu si autor ca una din catalog sunt importate si ele"));
    layout->addWidget(m_pDuplicates);
    layout->addWidget(MakeDialogButtons(this, CancelButton::Renunta));

    connect(m_pDelimiter, &QComboBox::currentIndexChanged, this, &CImportDlg::Reread);
    connect(m_pEncoding, &QComboBox::currentIndexChanged, this, &CImportDlg::Reread);
    Redraw();
    resize(760, 520);
}

void CImportDlg::Reread() {
    std::map<std::string, std::vector<ImportField>> shown;
    const std::vector<ImportField> chosen = ChosenColumns();
    for (std::size_t c = 0; c < chosen.size(); ++c) {
        shown[m_preview.header[c]].push_back(chosen[c]);
    }
    for (auto& [header, fields] : shown) {
        m_choices[header] = std::move(fields);
    }
    m_preview = PreviewImport(m_bytes, m_pDelimiter->currentData().toChar().toLatin1(),
                              static_cast<TextEncoding>(m_pEncoding->currentData().toInt()));
    std::map<std::string, std::size_t> seen;
    for (std::size_t c = 0; c < m_preview.header.size(); ++c) {
        const auto earlier = m_choices.find(m_preview.header[c]);
        const std::size_t nth = seen[m_preview.header[c]]++;
        if (earlier != m_choices.end() && nth < earlier->second.size()) {
            m_preview.columns[c] = earlier->second[nth];
        }
    }
    Redraw();
}

void CImportDlg::Redraw() {
    m_pTable->clear();
    m_columns.clear();
    const auto columns = static_cast<int>(m_preview.header.size());
    m_pTable->setColumnCount(columns);
    m_pTable->setRowCount(static_cast<int>(m_preview.rows.size()) + 1);
    QStringList headers;
    for (int c = 0; c < columns; ++c) {
        headers << FromUtf8(m_preview.header[static_cast<std::size_t>(c)]);
        // The first row says what each column fills.
        auto* choice = NamedCombo(("importColumn" + std::to_string(c)).c_str(), m_pTable);
        for (const ImportField field : ImportFieldChoices()) {
            choice->addItem(FromUtf8(ImportFieldName(field)), static_cast<int>(field));
        }
        choice->setCurrentIndex(
            choice->findData(static_cast<int>(m_preview.columns[static_cast<std::size_t>(c)])));
        NameForScreenReaders(choice, QStringLiteral("Coloana %1").arg(headers.back()));
        m_pTable->setCellWidget(0, c, choice);
        m_columns << choice;
    }
    m_pTable->setHorizontalHeaderLabels(headers);
    for (std::size_t r = 0; r < m_preview.rows.size(); ++r) {
        const auto& cells = m_preview.rows[r];
        for (std::size_t c = 0; c < cells.size() && c < m_preview.header.size(); ++c) {
            m_pTable->setItem(static_cast<int>(r) + 1, static_cast<int>(c),
                              new QTableWidgetItem(FromUtf8(cells[c])));
        }
    }
    m_pTable->resizeColumnsToContents();
    for (int c = 0; c < columns; ++c) {
        m_pTable->setColumnWidth(c, std::min(m_pTable->columnWidth(c), 260));
    }
    QString note;
    if (!m_preview.validUtf8) {
        note = QStringLiteral("Fisierul nu este scris in UTF-8: alegeti codificarea in care "
                              "literele apar corect.");
    }
    if (!m_preview.error.empty()) {
        note +=
            (note.isEmpty() ? QString() : QStringLiteral("\n")) +
            QStringLiteral("Linia %1: %2").arg(m_preview.errorLine).arg(FromUtf8(m_preview.error));
    }
    m_pNote->setText(note);
    m_pNote->setVisible(!note.isEmpty());
}

std::vector<ImportField> CImportDlg::ChosenColumns() const {
    std::vector<ImportField> fields;
    for (const QComboBox* choice : m_columns) {
        fields.push_back(static_cast<ImportField>(choice->currentData().toInt()));
    }
    return fields;
}

bool CImportDlg::SomeBookLacksAType(const std::vector<ImportField>& fields) const {
    const auto type = std::find(fields.begin(), fields.end(), ImportField::Tip);
    if (type == fields.end()) {
        return true;
    }
    const auto column = static_cast<std::size_t>(type - fields.begin());
    return std::any_of(m_preview.rows.begin(), m_preview.rows.end(), [column](const auto& cells) {
        return column >= cells.size() || cells[column].empty();
    });
}

void CImportDlg::accept() {
    if (m_preview.header.empty() && !m_preview.error.empty()) {
        ShowMessage("Fisierul nu poate fi importat.\nLinia " + std::to_string(m_preview.errorLine) +
                        ": " + m_preview.error,
                    this);
        return;
    }
    const std::vector<ImportField> fields = ChosenColumns();
    if (std::find(fields.begin(), fields.end(), ImportField::Titlu) == fields.end()) {
        ShowMessage("Alegeti coloana care tine titlul cartilor.", this);
        return;
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] != ImportField::None &&
            std::find(fields.begin() + static_cast<std::ptrdiff_t>(i) + 1, fields.end(),
                      fields[i]) != fields.end()) {
            ShowMessage("Coloana " + ImportFieldName(fields[i]) +
                            " este aleasa de doua ori; alegeti-o o singura data.",
                        this);
            return;
        }
    }
    if (m_pType->currentText().trimmed().isEmpty() && SomeBookLacksAType(fields)) {
        ShowMessage("Alegeti tipul cartilor care nu il au.", this);
        m_pType->setFocus();
        return;
    }
    if (m_pState->currentText().trimmed().isEmpty()) {
        ShowMessage("Alegeti starea cartilor care nu o au.", this);
        m_pState->setFocus();
        return;
    }
    QDialog::accept();
}

ImportOptions CImportDlg::Options() const {
    ImportOptions options;
    options.columns = ChosenColumns();
    options.delimiter = m_preview.delimiter;
    options.encoding = m_preview.encoding;
    options.defaultType = ToUtf8(m_pType->currentText().trimmed());
    options.defaultState = ToUtf8(m_pState->currentText().trimmed());
    options.skipDuplicates = !m_pDuplicates->isChecked();
    return options;
}
