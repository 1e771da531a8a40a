#pragma once

#include <QWidget>

struct AppSettings;
class CSourceListEdit;
class QCheckBox;
class QLineEdit;

// The Options sheet's "ISBN" page: whether books are looked up online by their ISBN, where, the
// e-mail address the services may reach the user at, the sources asked and their order, and
// the key Google Books wants.
class CPropIsbnDlg : public QWidget {
    Q_OBJECT
public:
    explicit CPropIsbnDlg(QWidget* parent = nullptr);

    void Load(const AppSettings& settings);
    // A list of sources left as the program gives it is stored as an empty text, so that the
    // sources of a later version reach a user who never changed them.
    void Store(AppSettings& settings) const;

private:
    QCheckBox* m_pOn;
    QLineEdit* m_pService;
    QLineEdit* m_pContact;
    CSourceListEdit* m_pSources;
    QLineEdit* m_pGoogleKey;
    bool m_bAsked = false; // the user was asked once already, or chose here
};
