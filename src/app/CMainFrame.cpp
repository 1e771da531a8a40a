#include "app/CMainFrame.h"

#include "app/CAboutDlg.h"
#include "app/CFileCommands.h"
#include "app/COptionsSheet.h"
#include "app/RecentFiles.h"
#include "backup/ui/CBackupCommands.h"
#include "barcode/ui/CBarcodeCommands.h"
#include "bulk/ui/CBulkCommands.h"
#include "complete/ui/CCompletionCommands.h"
#include "isbn/ui/CIsbnCommands.h"
#include "isbn/ui/CPropIsbnDlg.h"
#include "loans/ui/CLoanCommands.h"
#include "lookup/ui/CLookupChain.h"
#include "search/ui/CSearchCommands.h"
#include "shell/AppSettings.h"
#include "shell/CShelfwardenDoc.h"
#include "shell/Prompts.h"
#include "stats/ui/CStatisticsCommands.h"
#include "store/CountedNoun.h"
#include "transfer/ui/CImportExportPrintCommands.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/CCoverGrid.h"
#include "view/ui/CRecordCommands.h"
#include "view/ui/CShelfwardenView.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoStack>
#include <filesystem>
#include <tuple>

namespace {

// Runs a handler on the object of the frame that owns its command.
template <class C> struct HandlerOwner;
template <class C> struct HandlerOwner<void (C::*)()> { using type = C; };
template <auto Handler> void Run(CMainFrame& frame) {
    (frame.CommandTarget<typename HandlerOwner<decltype(Handler)>::type>()->*Handler)();
}
using Handler = void (*)(CMainFrame&);

// One menu entry. A null text is a separator; a null handler shows the item disabled.
struct MenuItem {
    const char* text;
    const char* name;
    const char* prompt;
    const char* keys; // shortcuts separated by "; "
    Handler handler;
};

struct Menu {
    const char* title;
    std::vector<MenuItem> items;
};

constexpr MenuItem kSeparator{nullptr, nullptr, nullptr, nullptr, nullptr};

const std::vector<Menu>& MenuTable() {
    using V = CShelfwardenView;
    using F = CFileCommands;
    using B = CBackupCommands;
    using R = CRecordCommands;
    using S = CSearchCommands;
    using T = CStatisticsCommands;
    using L = CLoanCommands;
    using X = CImportExportPrintCommands;
    using I = CIsbnCommands;
    using C = CCompletionCommands;
    using W = CBarcodeCommands;
    using K = CBulkCommands;
    static const std::vector<Menu> menus = {
        {"&File",
         {{"&New\tCtrl+N", "fileNew", "Create a new document\nNew", "Ctrl+N", &Run<&F::OnFileNew>},
          {"&Open...\tCtrl+O", "fileOpen", "Open an existing document\nOpen", "Ctrl+O",
           &Run<&F::OnFileOpen>},
          {"&Close", "fileClose", "Close the active document\nClose", nullptr,
           &Run<&F::OnFileClose>},
          {"Save &As...", "fileSaveAs", "Save the active document with a new name\nSave As",
           nullptr, &Run<&F::OnFileSaveAs>},
          {"Copii de &siguranta...", "fileBackups",
           "Arata copiile de siguranta ale catalogului, restaureaza una sau deschide-o doar "
           "pentru citire",
           nullptr, &Run<&B::OnFileBackups>},
          kSeparator,
          {"&Import...", "fileImport", "Adauga cartile unui fisier CSV\nImport", nullptr,
           &Run<&X::OnFileImport>},
          {"&Export...", "fileExport", "Scrie toate cartile intr-un fisier CSV\nExport", nullptr,
           &Run<&X::OnFileExport>},
          kSeparator,
          {"&Print...\tCtrl+P", "filePrint", "Print the active document\nPrint", "Ctrl+P",
           &Run<&X::OnFilePrint>},
          {"Print Pre&view", "filePrintPreview", "Display full pages\nPrint Preview", nullptr,
           &Run<&X::OnFilePrintPreview>},
          {"Export P&DF...", "fileExportPdf", "Scrie lista intr-un fisier PDF\nExport PDF", nullptr,
           &Run<&X::OnFileExportPdf>},
          {"Tipareste e&tichete...", "fileLabels",
           "Tipareste etichete cu codul de bare al cartilor alese (sau al tuturor celor din lista)",
           nullptr, &Run<&W::OnPrintLabels>}}},
        {"&Edit",
         {{"&Undo\tCtrl+Z", "editUndo", "Undo the last action\nUndo", "Ctrl+Z; Alt+Backspace",
           &Run<&R::OnEditUndo>},
          {"&Redo\tCtrl+Y", "editRedo", "Redo the previously undone action\nRedo",
           "Ctrl+Y; Ctrl+Shift+Z", &Run<&R::OnEditRedo>},
          kSeparator,
          {"Cu&t\tCtrl+X", "editCut", "Cut the selection and put it on the Clipboard\nCut",
           "Ctrl+X; Shift+Del", nullptr},
          {"&Copy\tCtrl+C", "editCopy", "Copy the selection and put it on the Clipboard\nCopy",
           "Ctrl+C; Ctrl+Ins", &Run<&R::OnEditCopy>},
          {"&Paste\tCtrl+V", "editPaste", "Insert Clipboard contents\nPaste", "Ctrl+V; Shift+Ins",
           nullptr}}},
        {"&View",
         {{"Toate cartile", "viewAll", "Show all books in the database", nullptr,
           &Run<&V::OnViewAllBooks>},
          {"Cartile citite", "viewRead", "Show only the read books", nullptr,
           &Run<&V::OnViewReadBooks>},
          {"Cartile necitite", "viewUnread", "Show only the unread books", nullptr,
           &Run<&V::OnViewUnreadBooks>},
          {"Sterge lista", "viewClear", "Clear the list", nullptr, &Run<&V::ClearList>}}},
        {"&Records",
         {{"&Adauga\tCtrl+A", "recordsAdd", "Insert a new record into the database", "Ctrl+A",
           &Run<&R::OnRecordsAdd>},
          {"&Sterge\tCtrl+D", "recordsDelete", "Delete a record from database", "Ctrl+D",
           &Run<&R::OnRecordsDelete>},
          {"&Modifica\tCtrl+M", "recordsModify", "Modify a record in from the database", "Ctrl+M",
           &Run<&R::OnRecordsModify>},
          {"Adauga dupa &ISBN...\tCtrl+I", "recordsAddByIsbn",
           "Adauga carti dupa ISBN, scrise sau citite cu un cititor de coduri", "Ctrl+I",
           &Run<&I::OnAddByIsbn>},
          {"&Completeaza din biblioteci...", "recordsComplete",
           "Completeaza cartile alese (sau toate cele din lista) din biblioteci", nullptr,
           &Run<&C::OnComplete>},
          kSeparator,
          {"Selecteaza t&oate", "recordsSelectAll",
           "Selecteaza toate cartile din lista, pentru comenzile care lucreaza cu mai multe",
           nullptr, &Run<&V::OnSelectAll>},
          {"Mo&difica selectia...", "recordsModifySelection",
           "Schimba campurile bifate la toate cartile selectate, intr-un singur pas", nullptr,
           &Run<&K::OnModifySelection>},
          {"Ster&ge selectia", "recordsDeleteSelection",
           "Sterge toate cartile selectate, intr-un singur pas", nullptr,
           &Run<&K::OnDeleteSelection>},
          {"Imprumuta s&electia...", "recordsLendSelection",
           "Imprumuta toate cartile selectate aceleiasi persoane", nullptr,
           &Run<&K::OnLendSelection>},
          {"Carti du&ble...", "recordsDoubles",
           "Gaseste cartile introduse de doua ori, le uneste sau le marcheaza drept copii", nullptr,
           &Run<&K::OnDoubles>},
          kSeparator,
          {"&Tip\tAlt+Ctrl+T", "recordsTypes", nullptr, "Ctrl+Alt+T", &Run<&R::OnEditTypes>},
          {"Sta&re\tAlt+Ctrl+R", "recordsStates", nullptr, "Ctrl+Alt+R", &Run<&R::OnEditStates>},
          kSeparator,
          {"Impr&umuta...", "recordsLend", "Imprumuta cartea selectata", nullptr, &Run<&L::OnLend>},
          {"Retur&nata", "recordsReturn", "Inchide imprumutul cartii selectate", nullptr,
           &Run<&L::OnReturn>},
          {"Im&prumuturi...", "recordsLoans", "Arata cartile imprumutate", nullptr,
           &Run<&L::OnLoans>},
          kSeparator,
          {"In&ventar...", "recordsInventory",
           "Verifica un raft: scanati etichetele cartilor, raportul spune ce lipseste", nullptr,
           &Run<&W::OnInventory>}}},
        {"&Search",
         {{"&Titlu", "searchTitle", nullptr, nullptr, &Run<&S::OnSearchTitle>},
          {"&Autor", "searchAuthor", nullptr, nullptr, &Run<&S::OnSearchAuthor>},
          {"&Editura", "searchPublisher", nullptr, nullptr, &Run<&S::OnSearchPublisher>},
          {"T&ip", "searchType", nullptr, nullptr, &Run<&S::OnSearchType>},
          {"P&agini", "searchPages", nullptr, nullptr, &Run<&S::OnSearchPages>},
          {"&Capitole", "searchChapters", nullptr, nullptr, &Run<&S::OnSearchChapters>},
          {"&Volume", "searchVolumes", nullptr, nullptr, &Run<&S::OnSearchVolumes>},
          {"Pri&ma publicare", "searchFirstPublished", nullptr, nullptr,
           &Run<&S::OnSearchFirstPublished>},
          {"Publicare v&olum", "searchVolumePublished", nullptr, nullptr,
           &Run<&S::OnSearchVolumePublished>},
          {"Cali&ficativ", "searchRating", nullptr, nullptr, &Run<&S::OnSearchRating>},
          {"&Stare", "searchState", nullptr, nullptr, &Run<&S::OnSearchState>},
          kSeparator,
          {"Cautare comp&usa", "searchComposite", nullptr, nullptr, &Run<&S::OnSearchComposite>}}},
        {"S&tatistics",
         {{"&Generale", "statsGeneral", nullptr, nullptr, &Run<&T::OnGeneralStats>},
          {"&Autori", "statsAuthors", nullptr, nullptr, &Run<&T::OnAuthorStats>},
          {"&Edituri", "statsPublishers", nullptr, nullptr, &Run<&T::OnPublisherStats>},
          kSeparator,
          {"G&rafice...", "statsCharts", nullptr, nullptr, &Run<&T::OnCharts>}}},
        {"Settin&gs",
         {{"&Options", "settingsOptions", nullptr, nullptr, &Run<&CMainFrame::OnOptions>}}},
    };
    return menus;
}

// Status-bar prompts keep the part before the newline; the rest was the tool tip.
QString PromptText(const char* prompt) {
    return prompt ? QString::fromUtf8(prompt).section(QLatin1Char('\n'), 0, 0) : QString();
}

// Tool tips are the prompt's second line, else the menu text without its shortcut or mnemonic.
QString ToolTipText(const char* text, const char* prompt) {
    const QString tip =
        prompt ? QString::fromUtf8(prompt).section(QLatin1Char('\n'), 1) : QString();
    if (!tip.isEmpty()) {
        return tip;
    }
    return QString::fromUtf8(text).section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
}

QList<QKeySequence> Shortcuts(const char* keys) {
    QList<QKeySequence> out;
    if (keys) {
        for (const QString& k : QString::fromUtf8(keys).split(QStringLiteral("; "))) {
            out << QKeySequence(k);
        }
    }
    return out;
}

// The quick filter's edit: Escape empties it, as in every filter box people know.
class FilterEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape && !text().isEmpty()) {
            clear();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};

} // namespace

CMainFrame::CMainFrame(CShelfwardenDoc* doc, QWidget* parent)
    : QMainWindow(parent), m_pDocument(doc) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/shelfwarden.png")));
    setAcceptDrops(true);
    CreateStatusBar();
    LoadSettings();
    m_pView = new CShelfwardenView(doc, this);
    m_pCentral = new QStackedWidget(this);
    m_pCentral->addWidget(m_pView);
    m_pCoverGrid = new CCoverGrid(m_pView, m_pCentral);
    m_pCoverGrid->SetFolders(CLookupChain::DefaultCacheFolder(),
                             QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                                 QStringLiteral("/coperti"));
    m_pCentral->addWidget(m_pCoverGrid);
    setCentralWidget(m_pCentral);
    m_pFileCommands = new CFileCommands(doc, m_pView);
    m_pBackupCommands = new CBackupCommands(doc, m_pView);
    m_pRecordCommands = new CRecordCommands(m_pView);
    m_pSearchCommands = new CSearchCommands(m_pView);
    m_pStatisticsCommands = new CStatisticsCommands(m_pView);
    m_pImportExportPrintCommands = new CImportExportPrintCommands(doc, m_pView);
    m_pLoanCommands = new CLoanCommands(m_pView);
    m_pRecordCommands->SetDeleteCheck(
        [this](std::int32_t book, std::optional<LoanClosing>& closing) {
            return m_pLoanCommands->MayDelete(book, closing);
        });
    m_pIsbnCommands = new CIsbnCommands(
        {[this] { return m_pRecordCommands->DatabaseForAdding(); },
         [this](std::int32_t book) { m_pView->ShowBook(book); },
         [this](const BookRecord& book, const BookDetails& details, const QImage& cover,
                const QString& note, bool copyConfirmed) {
             return m_pRecordCommands->AddBook(book, details, cover, note, copyConfirmed);
         },
         [this](const QString& text) { statusBar()->showMessage(text); },
         [this](int waiting) {
             m_pQueueLabel->setText(QStringLiteral("In asteptare: %1 ISBN").arg(waiting));
             m_pQueueLabel->setVisible(waiting > 0);
         }},
        this);
    m_pCompletionCommands = new CCompletionCommands(m_pView, m_pRecordCommands);
    m_pBarcodeCommands = new CBarcodeCommands(m_pView, [this] { ClearFilter(); });
    m_pBulkCommands = new CBulkCommands(m_pView, m_pRecordCommands);
    // An import into a catalogue without types or states is offered the starter set as Adauga is.
    m_pImportExportPrintCommands->SetBeforeImport([this] { m_pRecordCommands->OfferStarterSet(); });
    m_pRecordCommands->SetCoverSource(
        [this](const std::string& isbn) { return m_pIsbnCommands->Lookup()->CachedCover(isbn); });
    // A listing changes with every catalogue opened or closed, and so may the loans.
    connect(m_pView->Model(), &CBookListModel::CountsChanged, this, &CMainFrame::ShowBookCount);
    connect(m_pView->Model(), &CBookListModel::ListingReplaced, this, &CMainFrame::ShowLoanCount);
    connect(m_pLoanCommands, &CLoanCommands::LoansChanged, this, &CMainFrame::ShowLoanCount);
    connect(m_pBulkCommands, &CBulkCommands::LoansChanged, this, &CMainFrame::ShowLoanCount);
    ShowBookCount();
    ShowLoanCount();
    CreateMenus();
    CreateToolBar();
    CreateFilterBar();
    UpdateFrameTitle();
    connect(m_pFileCommands, &CFileCommands::CatalogueNamed, this, &CMainFrame::RememberRecentFile);
    connect(doc, &CShelfwardenDoc::CatalogueChanged, this, &CMainFrame::CatalogueChanged);
    connect(doc, &CShelfwardenDoc::CatalogueCopied, this, &CMainFrame::EnableWritingCommands);
    connect(m_pView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CMainFrame::SelectionChanged);
    connect(m_pView->Model(), &QAbstractItemModel::modelReset, this, &CMainFrame::SelectionChanged);
    ConnectHistory();
    // A right-click on a row offers what can be done to it.
    m_pView->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const char* name : {"recordsModify", "recordsDelete", "editCopy"}) {
        m_pView->addAction(findChild<QAction*>(QString::fromUtf8(name)));
    }
    m_pView->addAction(m_pView->SortByColumnAction());
}

void CMainFrame::ConnectHistory() {
    QUndoStack* history = m_pRecordCommands->History();
    for (const auto& [name, enabled, signal] :
         {std::tuple{"editUndo", &QUndoStack::canUndo, &QUndoStack::canUndoChanged},
          std::tuple{"editRedo", &QUndoStack::canRedo, &QUndoStack::canRedoChanged}}) {
        QAction* action = findChild<QAction*>(QString::fromUtf8(name));
        action->setEnabled((history->*enabled)());
        connect(history, signal, action, &QAction::setEnabled);
    }
}

void CMainFrame::CatalogueChanged() {
    m_pRecordCommands->ClearHistory();
    m_pStatisticsCommands->CloseCharts();
    ClearFilter();
    EnableWritingCommands();
}

void CMainFrame::EnableWritingCommands() {
    for (const char* name :
         {"fileImport", "recordsAdd", "recordsDelete", "recordsModify", "recordsAddByIsbn",
          "recordsComplete", "recordsTypes", "recordsStates", "recordsLend", "recordsReturn",
          "recordsDoubles", "recordsInventory"}) {
        findChild<QAction*>(QString::fromUtf8(name))->setEnabled(!m_pDocument->IsReadOnly());
    }
    SelectionChanged();
}

void CMainFrame::SelectionChanged() {
    const auto selected = m_pView->selectionModel()->selectedRows().size();
    for (const char* name :
         {"recordsModifySelection", "recordsDeleteSelection", "recordsLendSelection"}) {
        findChild<QAction*>(QString::fromUtf8(name))
            ->setEnabled(selected > 1 && !m_pDocument->IsReadOnly());
    }
    m_pSelectedLabel->setText(QStringLiteral("%1 selectate").arg(selected));
    m_pSelectedLabel->setVisible(selected > 1);
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::AddMenuAction(QMenu* menu, const char* text, const char* name,
                                   const char* prompt, const char* keys) {
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setObjectName(QString::fromUtf8(name));
    action->setStatusTip(PromptText(prompt));
    action->setToolTip(ToolTipText(text, prompt));
    action->setShortcuts(Shortcuts(keys));
    addAction(action); // the shortcut works wherever the focus is in the window
    return action;
}

void CMainFrame::CreateMenus() {
    for (const Menu& menu : MenuTable()) {
        QMenu* m = menuBar()->addMenu(QString::fromUtf8(menu.title));
        for (const MenuItem& item : menu.items) {
            if (item.text == nullptr) {
                m->addSeparator();
                continue;
            }
            QAction* action = AddMenuAction(m, item.text, item.name, item.prompt, item.keys);
            if (item.handler) {
                connect(action, &QAction::triggered, this, [this, h = item.handler] { h(*this); });
            } else {
                action->setEnabled(false);
            }
        }
        if (m->title() == QLatin1String("&File")) {
            m_pFileMenu = m;
            m->addSeparator();
            m_pRecentAnchor = AddMenuAction(m, "Recent File", "fileRecentPlaceholder",
                                            "Open this document", nullptr);
            m_pRecentAnchor->setEnabled(false);
            m->addSeparator();
            QAction* exit =
                AddMenuAction(m, "E&xit", "fileExit",
                              "Quit the application; prompts to save documents\nExit", nullptr);
            connect(exit, &QAction::triggered, this, &QWidget::close);
        } else if (m->title() == QLatin1String("&View")) {
            m_pViewMenu = m;
        }
    }
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* about =
        AddMenuAction(help, "&About Shelfwarden...", "helpAbout",
                      "Display program information, version number and copyright\nAbout", nullptr);
    connect(about, &QAction::triggered, this, &CMainFrame::OnAppAbout);

    // Save has an accelerator and a toolbar button but no menu item.
    m_pSaveAction = new QAction(QStringLiteral("Save"), this);
    m_pSaveAction->setObjectName(QStringLiteral("fileSave"));
    m_pSaveAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    m_pSaveAction->setStatusTip(QStringLiteral("Save the active document"));
    m_pSaveAction->setToolTip(QStringLiteral("Save"));
    connect(m_pSaveAction, &QAction::triggered, this, &CMainFrame::OnFileSave);
    addAction(m_pSaveAction);
    RebuildRecentFiles();
}

void CMainFrame::CreateToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Standard"));
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(true);
    // The desktop theme's icon (or its symbolic variant), else the program's own picture of it.
    static const std::pair<const char*, const char*> buttons[] = {
        {"fileNew", "document-new"},     {"fileOpen", "document-open"},
        {"fileSave", "document-save"},   {nullptr, nullptr},
        {"editCut", "edit-cut"},         {"editCopy", "edit-copy"},
        {"editPaste", "edit-paste"},     {nullptr, nullptr},
        {"filePrint", "document-print"}, {nullptr, nullptr},
        {"helpAbout", "help-about"},
    };
    for (const auto& [name, icon] : buttons) {
        if (name == nullptr) {
            bar->addSeparator();
            continue;
        }
        QAction* action = findChild<QAction*>(QString::fromUtf8(name));
        const QString theme = QString::fromUtf8(icon);
        action->setIcon(QIcon::fromTheme(
            theme, QIcon::fromTheme(theme + QStringLiteral("-symbolic"),
                                    QIcon(QStringLiteral(":/icons/%1.png").arg(theme)))));
        bar->addAction(action);
    }

    QAction* covers = m_pViewMenu->addAction(QStringLiteral("&Coperti"));
    covers->setObjectName(QStringLiteral("viewCovers"));
    covers->setStatusTip(QStringLiteral("Show the books as a grid of covers"));
    covers->setCheckable(true);
    connect(covers, &QAction::toggled, this, [this](bool on) {
        QWidget* shown = on ? static_cast<QWidget*>(m_pCoverGrid) : m_pView;
        m_pCentral->setCurrentWidget(shown);
        shown->setFocus();
    });
    m_pViewMenu->addSeparator();
    QAction* toggleBar = bar->toggleViewAction();
    toggleBar->setText(QStringLiteral("&Toolbar"));
    toggleBar->setObjectName(QStringLiteral("viewToolbar"));
    toggleBar->setStatusTip(QStringLiteral("Show or hide the toolbar"));
    toggleBar->setToolTip(QStringLiteral("Toggle ToolBar"));
    m_pViewMenu->addAction(toggleBar);
    QAction* toggleStatus = m_pViewMenu->addAction(QStringLiteral("&Status Bar"));
    toggleStatus->setObjectName(QStringLiteral("viewStatusBar"));
    toggleStatus->setStatusTip(QStringLiteral("Show or hide the status bar"));
    toggleStatus->setToolTip(QStringLiteral("Toggle StatusBar"));
    toggleStatus->setCheckable(true);
    toggleStatus->setChecked(true);
    connect(toggleStatus, &QAction::toggled, statusBar(), &QWidget::setVisible);
}

void CMainFrame::CreateFilterBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Filtru"));
    bar->setObjectName(QStringLiteral("filterBar"));
    auto* label = new QLabel(QStringLiteral("Filtru: "), bar);
    bar->addWidget(label);
    auto* edit = new FilterEdit(bar);
    edit->setObjectName(QStringLiteral("quickFilter"));
    label->setBuddy(edit);
    edit->setPlaceholderText(
        QStringLiteral("cuvinte din titlu, autor, editura, tip, stare, ISBN sau locatie"));
    edit->setClearButtonEnabled(true);
    edit->setMinimumWidth(320);
    bar->addWidget(edit);
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_pView->Model()->SetFilter(text.toStdString()); });
    // A label's code scanned into the filter, then Enter, finds its book.
    connect(edit, &QLineEdit::returnPressed, this,
            [this, edit] { m_pBarcodeCommands->ShowBookOfCode(edit->text()); });
    auto* find = new QAction(QStringLiteral("Filtru"), this);
    find->setObjectName(QStringLiteral("editFilter"));
    find->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    connect(find, &QAction::triggered, edit, [edit] {
        edit->setFocus(Qt::ShortcutFocusReason);
        edit->selectAll();
    });
    addAction(find);
}

void CMainFrame::ClearFilter() {
    findChild<QLineEdit*>(QStringLiteral("quickFilter"))->clear();
}

void CMainFrame::ShowBookCount() {
    const CBookListModel* model = m_pView->Model();
    const QString total =
        QString::fromStdString(CountedNoun(model->TotalCount(), "carte", "carti"));
    // An empty listing has nothing for the filter to hide.
    m_pCountLabel->setText(model->IsFiltered() && model->TotalCount() > 0
                               ? QStringLiteral("%1 din %2").arg(model->rowCount()).arg(total)
                               : total);
}

void CMainFrame::ShowLoanCount() {
    m_pLoanLabel->setText(m_pLoanCommands->CountsText());
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    m_pLoanLabel = new QLabel(bar);
    m_pLoanLabel->setObjectName(QStringLiteral("loanCount"));
    bar->addPermanentWidget(m_pLoanLabel);
    m_pQueueLabel = new QLabel(bar);
    m_pQueueLabel->setObjectName(QStringLiteral("scanQueue"));
    m_pQueueLabel->hide();
    bar->addPermanentWidget(m_pQueueLabel);
    m_pSelectedLabel = new QLabel(bar);
    m_pSelectedLabel->setObjectName(QStringLiteral("selectedCount"));
    m_pSelectedLabel->hide();
    bar->addPermanentWidget(m_pSelectedLabel);
    m_pCountLabel = new QLabel(bar);
    m_pCountLabel->setObjectName(QStringLiteral("bookCount"));
    bar->addPermanentWidget(m_pCountLabel);
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(QString::fromUtf8(indicator));
        label->setEnabled(false);
        bar->addPermanentWidget(label);
    }
    // The message pane shows "Ready" whenever no prompt is shown.
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& text) {
        if (text.isEmpty()) {
            bar->showMessage(QStringLiteral("Ready"));
        }
    });
    bar->showMessage(QStringLiteral("Ready"));
}

void CMainFrame::RebuildRecentFiles() {
    for (QAction* a : m_recentActions) {
        m_pFileMenu->removeAction(a);
        a->deleteLater();
    }
    m_recentActions.clear();
    const QStringList files = RecentFiles::Load();
    m_pRecentAnchor->setVisible(files.isEmpty());
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), m_pFileMenu);
        action->setObjectName(QStringLiteral("fileRecent%1").arg(i + 1));
        action->setStatusTip(QStringLiteral("Open this document"));
        connect(action, &QAction::triggered, this, [this, path] { OpenDocumentFile(path); });
        m_pFileMenu->insertAction(m_pRecentAnchor, action);
        m_recentActions << action;
    }
}

void CMainFrame::UpdateFrameTitle() {
    setWindowTitle(QStringLiteral("Shelfwarden - ") +
                   m_pDocument->MarkReadOnly(m_pDocument->GetTitle()));
}

void CMainFrame::OpenDocumentFile(const QString& path) {
    OpenDocumentFile(QFile::encodeName(path).toStdString());
}

void CMainFrame::OpenDocumentFile(const std::string& path) {
    std::error_code error;
    const std::string full = std::filesystem::absolute(path, error).lexically_normal().string();
    // Only a catalogue that opened is offered again; one that did not would fail each time.
    m_pDocument->OnOpenDocument(full);
    const bool opened = m_pDocument->GetDatabase()->IsOpen();
    if (opened) {
        RememberRecentFile(QFile::decodeName(full.c_str()));
    }
    UpdateFrameTitle();
    m_pView->OnInitialUpdate();
    // After the first update, which may have opened the catalogue of the settings instead.
    if (!opened && m_pDocument->GetDatabase()->IsOpen()) {
        RememberRecentFile(m_pDocument->GetPathName());
    }
    UpdateFrameTitle();
}

void CMainFrame::RememberRecentFile(const QString& path) {
    RecentFiles::Add(QFileInfo(path).absoluteFilePath());
    RebuildRecentFiles();
}

void CMainFrame::OnFileSave() {
    // An open catalogue has stored every change already; only a new one needs a file.
    if (m_pDocument->GetDatabase()->IsOpen()) {
        return;
    }
    m_pFileCommands->OnFileSaveAs();
}

void CMainFrame::OnOptions() {
    COptionsSheet sheet(this);
    AppSettings& s = Settings();
    CPropColorsDlg& colors = *sheet.m_pColorsPage;
    colors.m_nBgRed = s.bgRed;
    colors.m_nBgGreen = s.bgGreen;
    colors.m_nBgBlue = s.bgBlue;
    colors.m_nFgRed = s.fgRed;
    colors.m_nFgGreen = s.fgGreen;
    colors.m_nFgBlue = s.fgBlue;
    colors.PaintSwatches();
    CPropOpenDlg& open = *sheet.m_pOpenPage;
    open.m_nOpenAtStart = s.defaultOpen;
    open.m_strPath = s.dbPath;
    open.m_nReverseSort = s.reverseOnSecondClick;
    open.UpdateControls();
    sheet.m_pBackupsPage->Load(s);
    sheet.m_pIsbnPage->Load(s);
    if (sheet.exec() != QDialog::Accepted) {
        return;
    }
    s.bgRed = colors.m_nBgRed;
    s.bgGreen = colors.m_nBgGreen;
    s.bgBlue = colors.m_nBgBlue;
    s.fgRed = colors.m_nFgRed;
    s.fgGreen = colors.m_nFgGreen;
    s.fgBlue = colors.m_nFgBlue;
    s.defaultOpen = open.m_nOpenAtStart;
    s.dbPath = open.m_strPath;
    s.reverseOnSecondClick = open.m_nReverseSort;
    sheet.m_pBackupsPage->Store(s);
    sheet.m_pIsbnPage->Store(s);
    SaveSettings();
    m_pView->ApplyColors();
}

void CMainFrame::OnAppAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    SaveWindowGeometry(saveGeometry());
    m_pDocument->OnCloseDocument();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        event->acceptProposedAction();
        activateWindow();
        OpenDocumentFile(urls.first().toLocalFile());
    }
}
