#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QPlainTextEdit;

// Offers a catalogue without types or states the starter set, one name a line, to edit before it
// is stored. Only the lists the catalogue lacks are shown.
class CStarterSetDlg : public QDialog {
    Q_OBJECT
public:
    CStarterSetDlg(bool offerTypes, bool offerStates, QWidget* parent = nullptr);

    // The names as the user left them; none for a list not offered.
    std::vector<std::string> Types() const;
    std::vector<std::string> States() const;

private:
    QPlainTextEdit* m_pTypes = nullptr;
    QPlainTextEdit* m_pStates = nullptr;
};
