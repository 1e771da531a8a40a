#pragma once

#include "BookRecord.h"
#include "BookRowTexts.h"
#include "LookupList.h"
#include "SearchStatements.h"

#include <QTableView>
#include <memory>
#include <string>

class CBookDatabase;
class CBookListModel;
class CEngineRecordset;
class CShelfwardenDoc;

// The one view of the main frame: the list of books, and the target of every command on the
// catalogue.
class CShelfwardenView : public QTableView {
    Q_OBJECT
public:
    explicit CShelfwardenView(CShelfwardenDoc* doc, QWidget* parent = nullptr);
    ~CShelfwardenView() override;

    CShelfwardenDoc* GetDocument() const { return m_pDocument; }
    CBookListModel* Model() const { return m_pModel; }
    const std::string& CurrentQuery() const { return m_strCurrentQuery; }
    const LookupList& Types() const { return m_types; }
    const LookupList& States() const { return m_states; }

    void OnInitialUpdate();
    void FillList(CEngineRecordset& set);
    void SetRowTexts(const BookRecord& rec, int row);
    void ReadRow(BookRecord& rec, int row) const;
    void ApplyColors();
    void ReloadLookups();
    void RefreshCurrentQuery();

    std::int32_t FindTypeIdByName(const std::string& text) const;
    std::int32_t FindStateIdByName(const std::string& text) const;
    int FindTypeIndexById(std::int32_t id) const;
    int FindStateIndexById(std::int32_t id) const;

signals:
    // A catalogue was opened or made under this path by a command of the view.
    void CatalogueNamed(const QString& path);

public slots:
    void ClearList();
    void ListAllBooks();
    void OnViewAllBooks();
    void OnViewReadBooks();
    void OnViewUnreadBooks();
    void OnColumnClick(int column);

    void OnFileNew();
    void OnFileOpen();
    void OnFileClose();
    void OnFileSaveAs();

    void OnSearchTitle();
    void OnSearchAuthor();
    void OnSearchPublisher();
    void OnSearchType();
    void OnSearchRating();
    void OnSearchState();
    void OnSearchPages();
    void OnSearchChapters();
    void OnSearchVolumes();
    void OnSearchFirstPublished();
    void OnSearchVolumePublished();
    void OnSearchComposite();

    void OnEditTypes();
    void OnEditStates();

    void OnOptions();

    void OnGeneralStats();
    void OnAuthorStats();
    void OnPublisherStats();

    void OnRecordsAdd();
    void OnRecordsDelete();
    void OnRecordsModify();
    void OnDoubleClick();
    void EditSelectedBook();

private:
    CBookDatabase* Database() const;
    // The database when a catalogue is open; otherwise tells the user and gives null.
    CBookDatabase* OpenDatabaseOrComplain() const;
    // Runs a listing statement; the rows are replaced only when it yields records.
    void ListQuery(const std::string& statement);
    void ListSelection(std::unique_ptr<CEngineRecordset> set, const char* currentQuery);
    int FirstSelectedRow() const;
    void SearchText(const FieldSearch& search);
    void SearchChoice(int listKind, const FieldSearch& search);
    void SearchNumber(const NumericSearch& search);
    // Lists what a search finds; when nothing matches, tells the user and keeps the rows.
    // The current statement becomes `base` before the statement runs, or only once it could run.
    enum class Replace { BeforeRunning, OnceRun };
    void RunSearch(const std::string& base, const char* nothingFound, Replace when);
    void EditLookups(const char* kind);
    // After the document changed catalogue: its lookups and all its books, or nothing.
    void ShowCatalogue();
    void ShowNameStatistics(int mode);
    void SetFrameTitle(const QString& title);

    std::string m_strCurrentQuery;
    LookupList m_types;
    LookupList m_states;
    CShelfwardenDoc* m_pDocument;
    CBookListModel* m_pModel;
    bool m_bColumnsMade = false;
};
