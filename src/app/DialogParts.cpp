#include "DialogParts.h"

#include "CatalogueMessages.h"
#include "IntegerText.h"
#include "Prompts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <limits>

QDialogButtonBox* MakeDialogButtons(QDialog* dialog, bool withCancel) {
    auto* box = new QDialogButtonBox(withCancel ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel
                                                : QDialogButtonBox::Ok,
                                     dialog);
    QPushButton* ok = box->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    if (withCancel) {
        box->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
        QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    }
    return box;
}

QLineEdit* MakeEdit(const char* objectName, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(objectName));
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}

void AcceptDigitsOnly(QLineEdit* edit) {
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

bool ExchangeInteger(QLineEdit* edit, int& value) {
    const auto parsed = ParseIntegerField(ToUtf8(edit->text()));
    if (!parsed) {
        ShowMessage(msg::kNotAnInteger, edit->window());
        edit->setEnabled(true);
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    value = *parsed;
    return true;
}
