#include "isbn/ui/CIsbnEntryDlg.h"

#include "barcode/PictureRemark.h"
#include "barcode/ui/CCameraPanel.h"
#include "isbn/CBookDetailsStore.h"
#include "isbn/IsbnCode.h"
#include "isbn/ui/CIsbnConsentDlg.h"
#include "lookup/LookupSources.h"
#include "shell/AppSettings.h"
#include "shell/DialogParts.h"
#include "shell/Prompts.h"
#include "shell/WriteInProgress.h"
#include "store/BookFieldChecks.h"
#include "store/CountedNoun.h"
#include "store/FixedNames.h"

#include <QClipboard>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>
#include <utility>

namespace {
constexpr const char* kAlreadyThere =
    "O carte cu acest ISBN este deja in catalog (este aleasa in lista). Adaugati inca un "
    "exemplar?";

constexpr int kWriteCheckMs = 250;

// What the book dialog says above its pages about a look-up's answer.
QString NoteOn(const LookupAnswer& answer) {
    QStringList note;
    if (!answer.foundAt.isEmpty()) {
        note << answer.foundAt;
    }
    if (!answer.shortened.isEmpty()) {
        note << QStringLiteral("Prea lung de la serviciul de cautare, scurtat la %1 de caractere: "
                               "%2.")
                    .arg(kTextCapacity)
                    .arg(answer.shortened.join(QStringLiteral(", ")));
    }
    return note.join('\n');
}
} // namespace

CIsbnEntryDlg::CIsbnEntryDlg(IsbnEntryHooks hooks, CLookupChain* lookup, QWidget* parent)
    : QDialog(parent), m_hooks(std::move(hooks)), m_lookup(*lookup),
      m_pIsbn(MakeEdit("isbn", this)),
      m_pPhotos(new QPushButton(QStringLiteral("Din &fotografii..."), this)) {
    setWindowTitle(QStringLiteral("Adauga dupa ISBN"));
    auto* beside = new QHBoxLayout(this);
    auto* form = new QFormLayout;
    beside->addLayout(form);
    auto* camera = new CCameraPanel(this);
    beside->addWidget(camera);
    connect(camera, &CCameraPanel::Scanned, this, &CIsbnEntryDlg::Queue);
    form->addRow(QStringLiteral("ISBN"), m_pIsbn);
    m_pPhotos->setObjectName(QStringLiteral("fromPhotos"));
    m_pPhotos->setAutoDefault(false);
    form->addRow(m_pPhotos);
    m_pIsbn->installEventFilter(this);
    connect(m_pPhotos, &QPushButton::clicked, this, &CIsbnEntryDlg::OnFromPhotos);
    connect(&m_reading, &QFutureWatcher<FileIsbns>::finished, this, &CIsbnEntryDlg::OnPicturesRead);
    setMinimumWidth(320);
    m_waitForWrite.setSingleShot(true);
    connect(&m_scanner, &CScannerFilter::Scanned, this, &CIsbnEntryDlg::Queue);
    connect(m_pIsbn, &QLineEdit::returnPressed, this, &CIsbnEntryDlg::OnEnter);
    connect(lookup, &CLookupChain::Answered, this, &CIsbnEntryDlg::OnAnswered);
    connect(lookup, &CLookupChain::Failed, this, &CIsbnEntryDlg::OnFailed);
    connect(lookup, &CLookupChain::CoverReady, this, &CIsbnEntryDlg::OnCover);
    connect(lookup, &CLookupChain::Paused, this, [this](const QString& isbn13, int seconds) {
        Status(QStringLiteral("Serviciul de cautare cere o pauza: ISBN %1 este cautat din nou "
                              "peste %2 s")
                   .arg(isbn13)
                   .arg(seconds));
    });
    connect(lookup, &CLookupChain::Refused, this, [this](const QString& service) {
        // Once a run: every request after it would say the same.
        static bool told = false;
        if (!std::exchange(told, true)) {
            ShowMessage(ToUtf8(QStringLiteral("Serviciul %1 a refuzat cererea (403). Adaugati o "
                                              "adresa de e-mail in Optiuni > ISBN.")
                                   .arg(service)),
                        this);
        }
    });
}

void CIsbnEntryDlg::Status(const QString& text) {
    if (m_hooks.status) {
        m_hooks.status(text);
    }
}

void CIsbnEntryDlg::OnEnter() {
    const QString typed = m_pIsbn->text().trimmed();
    if (typed.isEmpty()) {
        return;
    }
    m_pIsbn->clear();
    Queue(typed);
}

void CIsbnEntryDlg::Queue(const QString& typed) {
    m_waiting.push_back(typed);
    // While the book before is being confirmed, this one is looked up already, if the user lets
    // ISBNs go to the service at all.
    const IsbnCheck check = CheckIsbn(ToUtf8(typed));
    if (m_busy && check.problem == IsbnProblem::None && Settings().isbnLookup == 1) {
        m_lookup.UseSettings();
        m_lookup.Prefetch(check.isbn13);
    }
    Next();
}

void CIsbnEntryDlg::showEvent(QShowEvent* event) {
    m_scanner.Install();
    QDialog::showEvent(event);
}

void CIsbnEntryDlg::hideEvent(QHideEvent* event) {
    m_scanner.Remove();
    QDialog::hideEvent(event);
}

bool CIsbnEntryDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pIsbn && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste) && PastePicture()) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CIsbnEntryDlg::OnFromPhotos() {
    const auto paths = ChooseFiles(PictureFileFilter(), this);
    if (paths) {
        Read(QtConcurrent::mapped(*paths, ReadFileIsbns), static_cast<int>(paths->size()));
    }
}

bool CIsbnEntryDlg::PastePicture() {
    const QMimeData* pasted = QGuiApplication::clipboard()->mimeData();
    if (!pasted || !pasted->hasImage()) {
        return false;
    }
    const QImage picture = qvariant_cast<QImage>(pasted->imageData());
    Read(QtConcurrent::run([picture] {
             return FileIsbns{QStringLiteral("Imaginea lipita"), ReadPictureIsbns(picture), true};
         }),
         1);
    return true;
}

void CIsbnEntryDlg::Read(const QFuture<FileIsbns>& reading, int pictures) {
    if (m_reading.isRunning()) {
        Status(QStringLiteral("Se citesc inca imaginile de dinainte"));
        return;
    }
    m_pPhotos->setEnabled(false);
    Status(QStringLiteral("Se citesc codurile de bare din %1...")
               .arg(FromUtf8(CountedNoun(pictures, "imagine", "imagini"))));
    m_reading.setFuture(reading);
}

void CIsbnEntryDlg::OnPicturesRead() {
    m_pPhotos->setEnabled(true);
    QStringList remarks;
    QStringList isbns;
    for (const FileIsbns& picture : m_reading.future().results()) {
        const std::string remark = PictureRemark(ToUtf8(QFileInfo(picture.path).fileName()),
                                                 picture.found, picture.readable);
        if (!remark.empty()) {
            remarks << FromUtf8(remark);
        }
        for (const std::string& isbn : picture.found.isbns) {
            isbns << FromUtf8(isbn);
        }
    }
    Status(QStringLiteral("Gasite in imagini: %1")
               .arg(FromUtf8(CountedNoun(isbns.size(), "ISBN", "ISBN"))));
    if (!remarks.isEmpty()) {
        ShowMessage(ToUtf8(remarks.join('\n')), this);
    }
    for (const QString& isbn : isbns) {
        Queue(isbn);
    }
}

void CIsbnEntryDlg::Next() {
    const auto count = [this] {
        if (m_hooks.queued) {
            m_hooks.queued(static_cast<int>(m_waiting.size()));
        }
    };
    if (m_taking) {
        count();
        return;
    }
    while (!m_busy && !m_waiting.empty()) {
        const QString typed = m_waiting.front();
        m_waiting.pop_front();
        count();
        m_taking = true;
        Take(typed);
        m_taking = false;
    }
    count();
    if (!m_busy) {
        m_pIsbn->setFocus();
    }
}

void CIsbnEntryDlg::Take(const QString& typed) {
    // What cannot be taken is given back to be mended, unless something else was typed since.
    auto giveBack = [this, &typed] {
        if (m_pIsbn->text().isEmpty()) {
            m_pIsbn->setText(typed);
            m_pIsbn->selectAll();
        }
    };
    Status({}); // what was said of the last book is no longer news
    const IsbnCheck check = CheckIsbn(ToUtf8(typed));
    if (check.problem != IsbnProblem::None) {
        giveBack();
        ShowMessage(check.problem == IsbnProblem::WrongCheckDigit ? msg::kIsbnCheckDigit
                                                                  : msg::kIsbnNotValid,
                    this);
        return;
    }
    CBookDatabase* db = m_hooks.database();
    if (!db) {
        giveBack();
        return;
    }
    const auto same = CBookDetailsStore(*db, UserMessageSink()).BooksWithIsbn(check.isbn13);
    if (same && !same->empty()) {
        m_hooks.showBook(same->front());
        // The next book's scan may come while this is asked: its Enter must not add a copy.
        if (!AskYesNo(kAlreadyThere, this, true)) {
            return;
        }
    }
    m_copyConfirmed = same && !same->empty();
    const QString isbn = FromUtf8(check.isbn13);
    if (!LookupsAllowed(this)) {
        Status(QStringLiteral("Cautarea dupa ISBN este oprita (Options, pagina ISBN)"));
        Open({}, isbn, {});
        return;
    }
    m_busy = true;
    Status(QStringLiteral("Se cauta ISBN %1...").arg(isbn));
    m_lookup.UseSettings();
    m_lookup.Lookup(check.isbn13);
}

void CIsbnEntryDlg::OnAnswered(const QString& isbn13, const LookupAnswer& answer) {
    if (answer.kind != LookupAnswer::Kind::Found) {
        Status(QStringLiteral("ISBN %1 nu a fost gasit la serviciul de cautare").arg(isbn13));
        Open({}, isbn13, {});
        return;
    }
    Status(QStringLiteral("ISBN %1 gasit").arg(isbn13));
    if (answer.coverUrl.isEmpty()) {
        Open(answer, isbn13, {});
        return;
    }
    m_found = answer;
    m_lookup.FetchCover(ToUtf8(isbn13), answer.coverUrl);
}

void CIsbnEntryDlg::OnCover(const QString& isbn13, const QImage& cover) {
    Open(m_found, isbn13, cover);
}

void CIsbnEntryDlg::OnFailed(const QString& isbn13, const QString& reason) {
    Status(QStringLiteral("ISBN %1: %2").arg(isbn13, reason));
    Open({}, isbn13, {});
}

void CIsbnEntryDlg::Open(const LookupAnswer& known, const QString& isbn13, const QImage& cover) {
    m_busy = true;
    m_waitForWrite.disconnect();
    if (WriteInProgress::Any()) {
        Status(QStringLiteral("ISBN %1 asteapta sfarsitul importului").arg(isbn13));
        m_waited = true;
        connect(&m_waitForWrite, &QTimer::timeout, this,
                [this, known, isbn13, cover] { Open(known, isbn13, cover); });
        m_waitForWrite.start(kWriteCheckMs);
        return;
    }
    if (m_waited) {
        Status({}); // the import is over: no longer news
    }
    m_waited = false;
    BookRecord book = known.kind == LookupAnswer::Kind::Found ? known.book : BookOfUnknownNumbers();
    book.tip = 1;
    book.stare = 1;
    // A book just scanned in is one still to read, which the dialog's rating rule accepts.
    book.citita = 0;
    book.calificativ = kRatingToRead;
    BookDetails details;
    details.isbn = ToUtf8(isbn13);
    details.serie = known.serie;
    details.numar_serie = known.numar_serie;
    if (!known.sources.isEmpty()) {
        details.sursa = ToUtf8(known.sources.first()); // the source that gave the title
    }
    m_hooks.addBook(book, details, cover, NoteOn(known), std::exchange(m_copyConfirmed, false));
    m_busy = false;
    // The scanner types into this window again, not into the list.
    activateWindow();
    Next();
}
