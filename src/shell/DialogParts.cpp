#include "shell/DialogParts.h"

#include "shell/AppSettings.h"
#include "shell/Prompts.h"
#include "store/BookFieldChecks.h"
#include "store/CatalogueMessages.h"
#include "store/CountedNoun.h"
#include "store/IntegerText.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <algorithm>
#include <limits>

QDialogButtonBox* MakeDialogButtons(QDialog* dialog, CancelButton cancelButton) {
    const bool withCancel = cancelButton != CancelButton::None;
    auto* box = new QDialogButtonBox(withCancel ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel
                                                : QDialogButtonBox::Ok,
                                     dialog);
    // The dialogs' own captions, whatever language the framework's buttons speak.
    QPushButton* ok = box->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setText(QStringLiteral("OK"));
    ok->setDefault(true);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    LetTabThroughButtons(box);
    if (withCancel) {
        QPushButton* cancel = box->button(QDialogButtonBox::Cancel);
        cancel->setObjectName(QStringLiteral("cancel"));
        cancel->setText(cancelButton == CancelButton::Cancel ? QStringLiteral("Cancel")
                                                             : QStringLiteral("Renunta"));
        QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    }
    return box;
}

void LetTabThroughButtons(QDialogButtonBox* box) {
    box->setFocusProxy(nullptr);
    box->setFocusPolicy(Qt::NoFocus);
}

void MendTabChain(QWidget* window) {
    QList<QWidget*> stops;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->focusProxy() == nullptr && !stops.contains(w)) {
            stops << w;
        }
    }
    for (qsizetype i = 1; i < stops.size(); ++i) {
        QWidget::setTabOrder(stops[i - 1], stops[i]);
    }
}

void MakeDialogList(QAbstractItemView* list) {
    list->setTabKeyNavigation(false);
}

void FitColumnsToHeaders(QTableView* list) {
    QHeaderView* header = list->horizontalHeader();
    // A letter's room to spare, so the last letter does not touch the line.
    const int spare = header->fontMetrics().averageCharWidth();
    for (int c = 0; c < header->count(); ++c) {
        header->resizeSection(c,
                              std::max(header->sectionSize(c), header->sectionSizeHint(c) + spare));
    }
}

void RememberDialogSize(QDialog* dialog, const QString& name) {
    const QSize size = LoadDialogSize(name);
    if (size.isValid()) {
        dialog->resize(size);
    }
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, name] { SaveDialogSize(name, dialog->size()); });
}

void KeepNameChooserNarrow(QComboBox* names) {
    constexpr int kUsualNameCharacters = 24;
    names->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    names->setMinimumContentsLength(kUsualNameCharacters);
}

void NameForScreenReaders(QWidget* control, const QString& name) {
    control->setAccessibleName(name);
    auto* combo = qobject_cast<QComboBox*>(control);
    if (!combo) {
        return;
    }
    if (QLineEdit* edit = combo->lineEdit()) {
        edit->setAccessibleName(name);
    }
    QWidget* parent = combo->parentWidget();
    const auto labels = parent->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    if (std::none_of(labels.begin(), labels.end(),
                     [combo](const QLabel* label) { return label->buddy() == combo; })) {
        auto* label = new QLabel(name, parent);
        label->setBuddy(combo);
        label->hide();
    }
}

void NamePagesByTabs(QTabWidget* pages) {
    QStringList tabs;
    for (int i = 0; i < pages->count(); ++i) {
        tabs << pages->tabText(i).remove(QLatin1Char('&'));
    }
    pages->setAccessibleName(tabs.join(QStringLiteral(", ")));
}

QString PlainToolTip(const QString& text) {
    if (!Qt::mightBeRichText(text)) {
        return text;
    }
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

QLineEdit* MakeEdit(const char* objectName, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(objectName));
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}

QDateEdit* MakeDateEdit(const char* objectName, QWidget* parent) {
    auto* edit = new QDateEdit(parent);
    edit->setObjectName(QString::fromUtf8(objectName));
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    return edit;
}

void AcceptDigitsOnly(QLineEdit* edit) {
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

namespace {
bool Refuse(QLineEdit* edit, const char* message) {
    ShowMessage(message, edit->window());
    edit->setEnabled(true);
    edit->setFocus();
    edit->selectAll();
    return false;
}
} // namespace

bool ExchangeInteger(QLineEdit* edit, int& value, bool bookNumber) {
    const auto parsed = ParseIntegerField(ToUtf8(edit->text()));
    if (!parsed) {
        return Refuse(edit, msg::kNotAnInteger);
    }
    if (bookNumber && !FitsNumberColumn(*parsed)) {
        return Refuse(edit, msg::kIntegerOutOfRange);
    }
    value = *parsed;
    return true;
}

bool ExchangeText(QLineEdit* edit, std::string& value) {
    // A text shown as it came (from a catalogue or a look-up) is checked like a typed one.
    if (edit->text() == FromUtf8(value)) {
        return FitsTextColumn(value) ? true : Refuse(edit, msg::kTextTooLong);
    }
    const std::string typed = ToUtf8(edit->text());
    if (!FitsTextColumn(typed)) {
        return Refuse(edit, msg::kTextTooLong);
    }
    value = typed;
    return true;
}

QString RomanianNumber(long long n) {
    return QLocale(QLocale::Romanian, QLocale::Romania).toString(n);
}

QString RomanianCount(long long n, const char* singular, const char* plural) {
    return FromUtf8(CountedNoun(n, singular, plural))
        .replace(QString::number(n), RomanianNumber(n));
}
