#pragma once

#include <QWidget>

struct AppSettings;
class QCheckBox;
class QLineEdit;

// The Options sheet's "ISBN" page: whether books are looked up online by their ISBN, where, and
// the e-mail address the service may reach the user at.
class CPropIsbnDlg : public QWidget {
    Q_OBJECT
public:
    explicit CPropIsbnDlg(QWidget* parent = nullptr);

    void Load(const AppSettings& settings);
    void Store(AppSettings& settings) const;

private:
    QCheckBox* m_pOn;
    QLineEdit* m_pService;
    QLineEdit* m_pContact;
    bool m_bAsked = false; // the user was asked once already, or chose here
};
