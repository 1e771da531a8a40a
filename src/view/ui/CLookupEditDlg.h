#pragma once

#include "store/LookupList.h"
#include "view/LookupEditTexts.h"

#include <QDialog>
#include <cstdint>
#include <string>

class CBookDatabase;
class QTableWidget;

// Lists the rows of `types` or `states` and adds, renames and deletes them, each change going to
// the catalogue at once.
class CLookupEditDlg : public QDialog {
    Q_OBJECT
public:
    explicit CLookupEditDlg(QWidget* parent = nullptr);

    int exec() override;

    bool m_bChanged = false;
    LookupList m_aEntries;
    CBookDatabase* m_pDatabase = nullptr;
    std::string m_strKind;

private slots:
    void OnAdd();
    void OnModify();
    void OnDelete();

private:
    const LookupEditTexts& Texts() const { return LookupEditTextsFor(m_strKind); }
    bool IsTypes() const { return m_strKind == "Tip"; }
    void FillListControl();
    void ReloadEntries();
    // After a catalogue operation failed, show again what the catalogue holds.
    void ShowStoredRows();
    std::int32_t FindIdByName(const std::string& name) const {
        return m_aEntries.FindIdByName(name);
    }
    int FindIndexById(std::int32_t id) const { return m_aEntries.FindIndexById(id); }
    int SelectedRow() const;

    QTableWidget* m_list;
};
