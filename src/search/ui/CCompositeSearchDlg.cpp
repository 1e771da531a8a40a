#include "search/ui/CCompositeSearchDlg.h"

#include "shell/DialogParts.h"
#include "shell/Prompts.h"
#include "store/BookRecord.h"
#include "store/CatalogueMessages.h"
#include "store/FixedNames.h"
#include "store/IntegerText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
enum class FieldKind { Text, Digits, List };
struct RowSpec {
    const char* label;
    const char* checkName;
    const char* fieldName;
    FieldKind kind;
    bool CCompositeSearchDlg::*flag;
};
using D = CCompositeSearchDlg;
constexpr RowSpec kRows[] = {
    {"Titlu", "useTitle", "title", FieldKind::Text, &D::m_bUseTitle},
    {"Autor", "useAuthor", "author", FieldKind::Text, &D::m_bUseAuthor},
    {"Editura", "usePublisher", "publisher", FieldKind::Text, &D::m_bUsePublisher},
    {"Tip", "useType", "type", FieldKind::List, &D::m_bUseType},
    {"Pagini", "usePages", "pages", FieldKind::Digits, &D::m_bUsePages},
    {"Capitole", "useChapters", "chapters", FieldKind::Digits, &D::m_bUseChapters},
    {"Volume", "useVolumes", "volumes", FieldKind::Digits, &D::m_bUseVolumes},
    {"Prima publicare", "useFirstPublished", "firstPublished", FieldKind::Digits,
     &D::m_bUseFirstPublished},
    {"Publicare volum", "useVolumePublished", "volumePublished", FieldKind::Digits,
     &D::m_bUseVolumePublished},
    {"Citita", "useRead", "read", FieldKind::List, &D::m_bUseRead},
    {"Calificativ", "useRating", "rating", FieldKind::List, &D::m_bUseRating},
    {"Stare", "useState", "state", FieldKind::List, &D::m_bUseState},
};

std::optional<int> NumberOf(const std::string& text) {
    return ParseIntegerField(text);
}
} // namespace

CCompositeSearchDlg::CCompositeSearchDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Shelfwarden"));
    auto* group = new QGroupBox(QStringLiteral("Check for selecting a field"), this);
    auto* grid = new QGridLayout(group);
    int r = 0;
    for (const RowSpec& row : kRows) {
        auto* check = new QCheckBox(QString::fromUtf8(row.label), group);
        check->setObjectName(QString::fromUtf8(row.checkName));
        QWidget* field = nullptr;
        if (row.kind == FieldKind::List) {
            field = new QComboBox(group);
        } else {
            auto* edit = MakeEdit(row.fieldName, group);
            if (row.kind == FieldKind::Digits) {
                AcceptDigitsOnly(edit);
            }
            field = edit;
        }
        field->setObjectName(QString::fromUtf8(row.fieldName));
        // The check box beside the field says what it holds; it cannot be a field's label.
        NameForScreenReaders(field, QString::fromUtf8(row.label));
        grid->addWidget(check, r, 0);
        grid->addWidget(field, r, 1);
        ++r;
        bool* flag = &(this->*row.flag);
        m_rows.push_back({check, field, flag});
        connect(check, &QCheckBox::clicked, this, [this, flag] {
            *flag = !*flag;
            UpdateControls();
        });
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(MakeDialogButtons(this));
    setMinimumWidth(420);
}

int CCompositeSearchDlg::exec() {
    auto fill = [this](const char* name, const std::vector<std::string>& names) {
        auto* combo = findChild<QComboBox*>(QString::fromUtf8(name));
        combo->clear();
        for (const std::string& n : names) {
            combo->addItem(FromUtf8(n));
        }
        combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
    };
    fill("type", m_aTypes.Names());
    fill("read", {g_readNames.begin(), g_readNames.end()});
    fill("rating", {g_ratingNames.begin(), g_ratingNames.end()});
    fill("state", m_aStates.Names());
    for (const Row& row : m_rows) {
        row.check->setChecked(*row.flag);
    }
    UpdateControls();
    return QDialog::exec();
}

void CCompositeSearchDlg::UpdateControls() {
    for (const Row& row : m_rows) {
        row.field->setEnabled(*row.flag);
    }
}

bool CCompositeSearchDlg::AnyChecked() const {
    for (const Row& row : m_rows) {
        if (*row.flag) {
            return true;
        }
    }
    return false;
}

void CCompositeSearchDlg::accept() {
    auto text = [this](const char* name) {
        return ToUtf8(findChild<QLineEdit*>(QString::fromUtf8(name))->text());
    };
    auto index = [this](const char* name) {
        return findChild<QComboBox*>(QString::fromUtf8(name))->currentIndex();
    };
    m_strTitle = text("title");
    m_strAuthor = text("author");
    m_strPublisher = text("publisher");
    m_strPages = text("pages");
    m_strChapters = text("chapters");
    m_strFirstPublished = text("firstPublished");
    m_strVolumePublished = text("volumePublished");
    m_strVolumes = text("volumes");
    m_nType = index("type");
    m_nRead = index("read");
    m_nRating = index("rating");
    m_nState = index("state");

    // A checked row must give a value the statement can use.
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const Row& row = m_rows[i];
        if (!*row.flag) {
            continue;
        }
        int unused = 0;
        if (kRows[i].kind == FieldKind::Digits &&
            !ExchangeInteger(static_cast<QLineEdit*>(row.field), unused)) {
            return;
        }
        if (row.flag == &m_bUseType && m_nType < 0) {
            ShowMessage(msg::kNoTypeDefined, this);
            return;
        }
        if (row.flag == &m_bUseState && m_nState < 0) {
            ShowMessage(msg::kNoStateDefined, this);
            return;
        }
    }
    QDialog::accept();
}

CompositeCriteria CCompositeSearchDlg::Criteria() const {
    CompositeCriteria c;
    if (!AnyChecked()) {
        return c;
    }
    auto when = [](bool use, auto value) { return use ? std::optional(value) : std::nullopt; };
    c.title = when(m_bUseTitle, m_strTitle);
    c.author = when(m_bUseAuthor, m_strAuthor);
    c.publisher = when(m_bUsePublisher, m_strPublisher);
    if (m_bUseType) {
        c.type = StoredLookupValue(m_aTypes.At(m_nType).GetId());
    }
    auto number = [](bool use, const std::string& text) {
        return use ? NumberOf(text) : std::nullopt;
    };
    c.pages = number(m_bUsePages, m_strPages);
    c.chapters = number(m_bUseChapters, m_strChapters);
    c.volumes = number(m_bUseVolumes, m_strVolumes);
    c.firstPublished = number(m_bUseFirstPublished, m_strFirstPublished);
    c.volumePublished = number(m_bUseVolumePublished, m_strVolumePublished);
    c.read = when(m_bUseRead, m_nRead);
    c.rating = when(m_bUseRating, m_nRating);
    if (m_bUseState) {
        c.state = StoredLookupValue(m_aStates.At(m_nState).GetId());
    }
    return c;
}
