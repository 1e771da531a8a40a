#pragma once

#include "search/SearchStatements.h"
#include "store/LookupList.h"

#include <QDialog>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;

// Any combination of the twelve fields: a check box takes a field into the search, and the
// field beside it gives the value.
class CCompositeSearchDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCompositeSearchDlg(QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    // The catalogue's own types and states, in the view's order.
    LookupList m_aTypes;
    LookupList m_aStates;

    bool m_bUseTitle = false, m_bUseAuthor = false, m_bUsePublisher = false, m_bUseType = false,
         m_bUsePages = false, m_bUseChapters = false, m_bUseVolumes = false,
         m_bUseFirstPublished = false, m_bUseVolumePublished = false, m_bUseRead = false,
         m_bUseRating = false, m_bUseState = false;
    std::string m_strTitle, m_strAuthor, m_strPublisher, m_strPages, m_strChapters,
        m_strFirstPublished, m_strVolumePublished, m_strVolumes;
    int m_nType = -1, m_nRead = -1, m_nRating = -1, m_nState = -1;

    // The search the checked rows describe; valid after OK.
    CompositeCriteria Criteria() const;

private:
    struct Row {
        QCheckBox* check;
        QWidget* field;
        bool* flag;
    };
    void UpdateControls();
    bool AnyChecked() const;

    std::vector<Row> m_rows;
};
