#pragma once

#include "search/SearchStatements.h"

#include <QObject>
#include <string>

class CShelfwardenView;

// The Search menu: asks for a value, runs the search and lists what it finds in the view.
class CSearchCommands : public QObject {
    Q_OBJECT
public:
    explicit CSearchCommands(CShelfwardenView* view);

public slots:
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

private:
    void SearchText(const FieldSearch& search);
    void SearchChoice(int listKind, const FieldSearch& search);
    void SearchNumber(const NumericSearch& search);
    // Lists what a search finds; when nothing matches, tells the user and keeps the rows.
    // The current statement becomes `base` before the statement runs, or only once it could run.
    enum class Replace { BeforeRunning, OnceRun };
    void RunSearch(const std::string& base, const char* nothingFound, Replace when);

    CShelfwardenView* m_pView;
};
