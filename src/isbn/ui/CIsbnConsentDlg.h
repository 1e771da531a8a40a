#pragma once

#include <QDialog>

class QLineEdit;

// Asked before the first look-up: whether ISBNs may be sent to the service, and, optionally, the
// e-mail address the service may reach the user at (it lets a program that gives one ask more
// often). Da accepts, Nu rejects.
class CIsbnConsentDlg : public QDialog {
    Q_OBJECT
public:
    // `services`: the names of the sources in use.
    CIsbnConsentDlg(const QString& services, const QString& contact, QWidget* parent = nullptr);

    QString Contact() const;

private:
    QLineEdit* m_pContact;
};

// Whether books may be looked up: asks the user the first time (and keeps the answer and the
// address given); true when the user agreed, now or before.
bool LookupsAllowed(QWidget* parent);
