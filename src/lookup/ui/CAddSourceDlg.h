#pragma once

#include "lookup/LookupSources.h"

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;

// How a kind of source is named to the user ("SRU (MARC 21)").
QString SourceKindLabel(SourceKind kind);

// Asks for a library catalogue to look books up in: its name, its kind (SRU or Z39.50, MARC 21
// or UNIMARC) and its address. OK closes only on a source the look-up can use and the setting
// keeps as typed: a name no other source has, an SRU base address over http or https, a Z39.50
// address `host:port/database`. Anything else is refused with a message and the focus on the
// field to mend.
class CAddSourceDlg : public QDialog {
    Q_OBJECT
public:
    // `takenNames`: the sources already listed, whose names a new one may not have.
    explicit CAddSourceDlg(std::vector<std::string> takenNames, QWidget* parent = nullptr);

    void accept() override;

    // The source accepted, switched on.
    const LookupSource& Source() const { return m_source; }

private:
    // Why the source typed cannot be taken and which field to mend, or an empty text.
    QString Refusal(const LookupSource& source, QLineEdit*& culprit) const;
    void ShowAddressHint();

    QLineEdit* m_pName;
    QComboBox* m_pKind;
    QLineEdit* m_pAddress;
    std::vector<std::string> m_takenNames;
    LookupSource m_source;
};
