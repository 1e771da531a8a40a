#pragma once

#include "transfer/CatalogueImport.h"
#include "transfer/ImportPreview.h"

#include <QDialog>
#include <QList>
#include <map>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;

// Shows the first rows of a book list before it is imported: the user checks the delimiter and
// the encoding, says what each column fills, picks the type and state of books that name none,
// and whether books already in the catalogue are imported too. `start` is the file, or its first
// bytes as PreviewImport takes them. The type of books that name none is the user's choice, asked
// for only when the file has such books; a catalogue's "Altele" (or the program's own "Alte") is
// offered first.
class CImportDlg : public QDialog {
    Q_OBJECT
public:
    CImportDlg(const QString& fileName, std::string start, const std::vector<std::string>& types,
               const std::vector<std::string>& states, QWidget* parent = nullptr);

    // The import as chosen; valid once the dialog was accepted.
    ImportOptions Options() const;

    void accept() override;

private:
    // Reads the preview anew in the delimiter and encoding chosen, keeping the user's choices.
    void Reread();
    void Redraw();
    std::vector<ImportField> ChosenColumns() const;
    // Whether the books of the preview, read as chosen, include one that names no type.
    bool SomeBookLacksAType(const std::vector<ImportField>& fields) const;

    const std::string m_bytes;
    ImportPreview m_preview;
    QComboBox* m_pDelimiter;
    QComboBox* m_pEncoding;
    QLabel* m_pNote;
    QTableWidget* m_pTable;
    QList<QComboBox*> m_columns;
    // Every choice the user has seen for a header, by its text (the n-th column of one name n-th),
    // so that another delimiter or encoding keeps it where the header is read the same.
    std::map<std::string, std::vector<ImportField>> m_choices;
    QComboBox* m_pType;
    QComboBox* m_pState;
    QCheckBox* m_pDuplicates;
};
