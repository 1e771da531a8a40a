#pragma once

#include "isbn/BookDetails.h"
#include "store/BookRecord.h"
#include "store/LookupList.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// Enters a new book or changes one: edits the record the caller points it at, and closes with
// OK only when every field check passes. Its second page, "Detalii", edits the details the
// caller points it at; without them (the catalogue cannot keep details) the page is greyed.
class CBookInfoDlg : public QDialog {
    Q_OBJECT
public:
    explicit CBookInfoDlg(QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    int FindTypeIndex(std::int32_t id) const { return m_aTypes.FindIndexById(id); }
    int FindStateIndex(std::int32_t id) const { return m_aStates.FindIndexById(id); }

    BookRecord* m_pRecord = nullptr;
    LookupList m_aTypes;
    LookupList m_aStates;
    // Set for a new book: whether the catalogue already holds one with this title and author,
    // which the user is asked about before the book is stored.
    std::function<bool(const std::string& titlu, const std::string& autor)> m_holdsBook;
    BookDetails* m_pDetails = nullptr;
    std::vector<std::string> m_aLocations; // offered in the location's drop-down
    std::vector<std::string> m_aSeries;
    QImage m_cover; // shown on Detalii when there is one
    // The cover the user chose, as the catalogue keeps it (JPEG bytes, empty for none): given by
    // the caller, and changed by "Alege coperta..." (a file), a picture dropped on the cover or
    // pasted into it (Ctrl+V), and "Sterge coperta". Shown in place of the looked-up cover.
    QByteArray m_chosenCover;
    // Whether the catalogue can keep a chosen cover; without it the two buttons are off.
    bool m_bCoversUsable = false;
    QString m_note; // said above the pages when there is something to say (a look-up's cuts)
    // A new book whose unknown numbers may stay unknown (one an outside source described).
    bool m_bKeepUnknownNumbers = false;

protected:
    // A picture dropped on the cover or pasted into it becomes the chosen cover.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab and Shift+Tab go round the stops of the page in sight, the buttons and the state among
    // them: Qt's button box would otherwise keep the focus among its buttons.
    bool focusNextPrevChild(bool next) override;

private:
    QLineEdit* AddEdit(const char* name);
    // A field of a stored book that was unknown (empty) when the dialog opened may stay so.
    bool MayStayUnknown(QLineEdit* edit) const;
    bool ExchangeNumber(QLineEdit* edit, int& value) const;
    QComboBox* AddCombo(const char* name);
    QWidget* MakeDetailsPage();
    void ChooseCoverFile();
    // Makes `picture` the chosen cover; a null one is refused with a message.
    void TakeCover(const QImage& picture);
    void ShowCover();
    void ShowDetails();
    // Reads the Detalii page into the details; false, after telling why, when a field is wrong.
    bool ExchangeDetails();

    QLineEdit* m_pTitlu;
    QLineEdit* m_pAutor;
    QLineEdit* m_pEditura;
    QComboBox* m_pTip;
    QLineEdit* m_pPagini;
    QLineEdit* m_pCapitole;
    QLineEdit* m_pVolume;
    QLineEdit* m_pPublicare;
    QLineEdit* m_pPublicareVolum;
    QComboBox* m_pCitita;
    QComboBox* m_pCalificativ;
    QComboBox* m_pStare;
    QList<QLineEdit*> m_unknownAtOpen;
    QList<QWidget*> m_tabStops; // in their order, both pages
    QTabWidget* m_pPages;
    QWidget* m_pDetailsPage;
    QLineEdit* m_pIsbn;
    QComboBox* m_pLocatie;
    QComboBox* m_pSerie;
    QLineEdit* m_pNumarSerie;
    QLineEdit* m_pNote;
    QLabel* m_pAdaugata;
    QLabel* m_pCover;
    QPushButton* m_pChooseCover;
    QPushButton* m_pRemoveCover;
    QLabel* m_pNoteLabel;
};
