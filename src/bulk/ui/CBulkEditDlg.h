#pragma once

#include "bulk/BulkEditFields.h"
#include "store/LookupList.h"

#include <QDialog>
#include <QMap>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;

// Changes many books at once: every field of the book dialog's two pages, each with its
// "Schimba" box; only the fields checked are written. Typing in a field or choosing in it
// checks its box. OK closes only when the fields checked pass the book dialog's checks, and
// leaves them in `m_fields`.
class CBulkEditDlg : public QDialog {
    Q_OBJECT
public:
    CBulkEditDlg(std::size_t books, QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    LookupList m_aTypes;
    LookupList m_aStates;
    std::vector<std::string> m_aLocations;
    std::vector<std::string> m_aSeries;
    // The catalogue cannot keep details: the page is greyed.
    bool m_bDetailsUsable = true;
    std::vector<BulkField> m_fields;

private:
    QLineEdit* AddEdit(QGridLayout* grid, const char* name, const char* label);
    QComboBox* AddCombo(QGridLayout* grid, const char* name, const char* label, bool editable);
    QCheckBox* AddRow(QGridLayout* grid, const char* name, const char* label, QWidget* editor);
    bool Checked(const char* name) const;
    std::optional<std::string> Text(const char* name) const;

    QMap<QString, QCheckBox*> m_checks;
    QMap<QString, QWidget*> m_editors;
    QWidget* m_pDetailsPage;
};
