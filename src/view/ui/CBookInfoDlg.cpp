#include "view/ui/CBookInfoDlg.h"

#include "isbn/CBookDetailsStore.h"
#include "shell/DialogParts.h"
#include "shell/Prompts.h"
#include "store/BookFieldChecks.h"
#include "store/CatalogueMessages.h"
#include "store/FixedNames.h"
#include "view/BookRowTexts.h"
#include "view/ui/ChosenCover.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
// Fields in their tab order with their labels; "stare" follows the buttons.
struct Field {
    const char* name;
    const char* label;
    bool combo;
    bool digitsOnly;
};
constexpr Field kFields[] = {
    {"titlu", "Titlu", false, false},
    {"autor", "Autor", false, false},
    {"editura", "Editura", false, false},
    {"tip", "Tip", true, false},
    {"pagini", "Pagini", false, true},
    {"capitole", "Capitole", false, true},
    {"volume", "Volume", false, true},
    {"publicare", "An aparitie", false, false},
    {"publicare_volum", "An publicare volum", false, true},
    {"citita", "Citita", true, false},
    {"calificativ", "Calificativ", true, false},
    {"stare", "Stare", true, false},
};
} // namespace

CBookInfoDlg::CBookInfoDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Shelfwarden Book Info"));
    auto* frame = new QGroupBox(this);
    auto* form = new QFormLayout(frame);
    QList<QWidget*> tabOrder;
    for (const Field& f : kFields) {
        QWidget* w = nullptr;
        if (f.combo) {
            w = AddCombo(f.name);
        } else {
            auto* edit = AddEdit(f.name);
            if (f.digitsOnly) {
                AcceptDigitsOnly(edit);
            }
            w = edit;
        }
        form->addRow(QString::fromUtf8(f.label), w);
        tabOrder << w;
    }
    auto widget = [this](const char* name) { return findChild<QWidget*>(QString::fromUtf8(name)); };
    m_pTitlu = static_cast<QLineEdit*>(widget("titlu"));
    m_pAutor = static_cast<QLineEdit*>(widget("autor"));
    m_pEditura = static_cast<QLineEdit*>(widget("editura"));
    m_pTip = static_cast<QComboBox*>(widget("tip"));
    m_pPagini = static_cast<QLineEdit*>(widget("pagini"));
    m_pCapitole = static_cast<QLineEdit*>(widget("capitole"));
    m_pVolume = static_cast<QLineEdit*>(widget("volume"));
    m_pPublicare = static_cast<QLineEdit*>(widget("publicare"));
    m_pPublicareVolum = static_cast<QLineEdit*>(widget("publicare_volum"));
    m_pCitita = static_cast<QComboBox*>(widget("citita"));
    m_pCalificativ = static_cast<QComboBox*>(widget("calificativ"));
    m_pStare = static_cast<QComboBox*>(widget("stare"));

    QDialogButtonBox* buttons = MakeDialogButtons(this);
    // The book's own fields stay the first page, exactly as they were; the details come second.
    m_pPages = new QTabWidget(this);
    m_pPages->setObjectName(QStringLiteral("pages"));
    m_pPages->addTab(frame, QStringLiteral("Carte"));
    m_pDetailsPage = MakeDetailsPage();
    m_pPages->addTab(m_pDetailsPage, QStringLiteral("Detalii"));
    NamePagesByTabs(m_pPages);
    // The pages change by Ctrl+Tab; Tab keeps to the fields and the buttons.
    m_pPages->findChild<QTabBar*>()->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    m_pNoteLabel = new QLabel(this);
    m_pNoteLabel->setObjectName(QStringLiteral("note_label"));
    m_pNoteLabel->setTextFormat(Qt::PlainText);
    m_pNoteLabel->setWordWrap(true);
    layout->addWidget(m_pNoteLabel);
    layout->addWidget(m_pPages);
    layout->addWidget(buttons);
    // The state drop-down comes after OK and Cancel in the tab order.
    tabOrder.removeAll(m_pStare);
    tabOrder << buttons->button(QDialogButtonBox::Ok) << buttons->button(QDialogButtonBox::Cancel)
             << m_pStare;
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    m_tabStops = tabOrder;
    m_tabStops << m_pIsbn << m_pLocatie << m_pSerie << m_pNumarSerie << m_pNote << m_pCover
               << m_pChooseCover << m_pRemoveCover;
    setMinimumWidth(420);
}

QWidget* CBookInfoDlg::MakeDetailsPage() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    auto names = [page](const char* name) {
        auto* combo = new QComboBox(page);
        combo->setObjectName(QString::fromUtf8(name));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        return combo;
    };
    m_pIsbn = MakeEdit("isbn", page);
    m_pLocatie = names("locatie");
    m_pSerie = names("serie");
    m_pNumarSerie = MakeEdit("numar_serie", page);
    AcceptDigitsOnly(m_pNumarSerie);
    m_pNote = MakeEdit("note", page);
    m_pAdaugata = new QLabel(page);
    m_pAdaugata->setObjectName(QStringLiteral("adaugata"));
    m_pAdaugata->setTextFormat(Qt::PlainText);
    m_pAdaugata->setTextFormat(Qt::PlainText);
    m_pCover = new QLabel(page);
    m_pCover->setObjectName(QStringLiteral("coperta"));
    // A place to drop a picture on or paste one into, also while there is no cover.
    m_pCover->setMinimumSize(120, 160);
    m_pCover->setFrameShape(QFrame::StyledPanel);
    m_pCover->setAlignment(Qt::AlignCenter);
    m_pCover->setTextFormat(Qt::PlainText);
    m_pCover->setFocusPolicy(Qt::StrongFocus);
    m_pCover->setAcceptDrops(true);
    m_pCover->installEventFilter(this);
    NameForScreenReaders(m_pCover, QStringLiteral("Coperta"));
    m_pChooseCover = new QPushButton(QStringLiteral("Alege &coperta..."), page);
    m_pChooseCover->setObjectName(QStringLiteral("chooseCover"));
    m_pChooseCover->setAutoDefault(false);
    connect(m_pChooseCover, &QPushButton::clicked, this, &CBookInfoDlg::ChooseCoverFile);
    m_pRemoveCover = new QPushButton(QStringLiteral("Sterge c&operta"), page);
    m_pRemoveCover->setObjectName(QStringLiteral("removeCover"));
    m_pRemoveCover->setAutoDefault(false);
    connect(m_pRemoveCover, &QPushButton::clicked, this, [this] {
        m_chosenCover.clear();
        ShowCover();
    });
    auto* coverButtons = new QHBoxLayout;
    coverButtons->addWidget(m_pChooseCover);
    coverButtons->addWidget(m_pRemoveCover);
    coverButtons->addStretch();
    form->addRow(QStringLiteral("ISBN"), m_pIsbn);
    form->addRow(QStringLiteral("Locatie"), m_pLocatie);
    form->addRow(QStringLiteral("Serie"), m_pSerie);
    form->addRow(QStringLiteral("Numar in serie"), m_pNumarSerie);
    form->addRow(QStringLiteral("Note"), m_pNote);
    NameForScreenReaders(m_pLocatie, QStringLiteral("Locatie"));
    NameForScreenReaders(m_pSerie, QStringLiteral("Serie"));
    form->addRow(QStringLiteral("Adaugata"), m_pAdaugata);
    form->addRow(m_pCover);
    form->addRow(coverButtons);
    return page;
}

void CBookInfoDlg::ChooseCoverFile() {
    const auto path = ChooseFile(
        FileDialogMode::Open,
        QStringLiteral("Imagini (*.jpg *.jpeg *.png *.bmp *.gif *.webp);;Toate fisierele (*)"),
        QString(), this);
    if (path) {
        TakeCover(PictureFile(*path));
    }
}

void CBookInfoDlg::TakeCover(const QImage& picture) {
    const QByteArray cover = CoverJpeg(picture);
    if (cover.isEmpty()) {
        ShowMessage("Nu este o imagine care sa poata fi coperta.", this);
        return;
    }
    m_chosenCover = cover;
    ShowCover();
}

void CBookInfoDlg::ShowCover() {
    const QImage chosen = QImage::fromData(m_chosenCover, "JPEG");
    const QImage& shown = chosen.isNull() ? m_cover : chosen;
    // Fitted within a few centimetres, as a looked-up cover is.
    const int height = 4 * fontMetrics().height() * 2;
    m_pCover->setPixmap(
        shown.isNull()
            ? QPixmap()
            : QPixmap::fromImage(shown.height() > height
                                     ? shown.scaledToHeight(height, Qt::SmoothTransformation)
                                     : shown));
    if (shown.isNull()) {
        m_pCover->setText(m_bCoversUsable ? QStringLiteral("Trageti aici o imagine\nsau lipiti-o "
                                                           "(Ctrl+V)")
                                          : QString());
    }
    m_pChooseCover->setEnabled(m_bCoversUsable);
    m_pRemoveCover->setEnabled(m_bCoversUsable && !m_chosenCover.isEmpty());
}

bool CBookInfoDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_pCover || !m_bCoversUsable) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        if (drag->mimeData()->hasImage() || drag->mimeData()->hasUrls()) {
            drag->acceptProposedAction();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        TakeCover(PictureOf(drop->mimeData()));
        drop->acceptProposedAction();
        return true;
    }
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
            TakeCover(PictureOf(QApplication::clipboard()->mimeData()));
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void CBookInfoDlg::ShowDetails() {
    m_pDetailsPage->setEnabled(m_pDetails != nullptr);
    const BookDetails shown = m_pDetails ? *m_pDetails : BookDetails{};
    auto offer = [](QComboBox* combo, const std::vector<std::string>& names,
                    const std::string& current) {
        combo->clear();
        for (const std::string& n : names) {
            combo->addItem(FromUtf8(n));
        }
        combo->setCurrentText(FromUtf8(current));
    };
    m_pIsbn->setText(FromUtf8(shown.isbn));
    offer(m_pLocatie, m_aLocations, shown.locatie);
    offer(m_pSerie, m_aSeries, shown.serie);
    m_pNumarSerie->setText(IsUnknown(shown.numar_serie) ? QString()
                                                        : QString::number(shown.numar_serie));
    m_pNote->setText(FromUtf8(shown.note));
    m_pAdaugata->setText(FromUtf8(shown.adaugata));
    ShowCover();
}

bool CBookInfoDlg::ExchangeDetails() {
    if (!m_pDetails) {
        return true;
    }
    BookDetails read = *m_pDetails;
    read.isbn = ToUtf8(m_pIsbn->text().trimmed());
    read.locatie = ToUtf8(m_pLocatie->currentText().trimmed());
    read.serie = ToUtf8(m_pSerie->currentText().trimmed());
    read.note = ToUtf8(m_pNote->text().trimmed());
    bool number = true;
    const QString typed = m_pNumarSerie->text();
    read.numar_serie = typed.isEmpty() ? kUnknownNumber : typed.toInt(&number);
    const char* problem = number ? CBookDetailsStore::Problem(read) : msg::kNotAWholeNumber;
    if (problem) {
        m_pPages->setCurrentWidget(m_pDetailsPage);
        ShowMessage(problem, this);
        return false;
    }
    *m_pDetails = read;
    return true;
}

QLineEdit* CBookInfoDlg::AddEdit(const char* name) {
    return MakeEdit(name, this);
}

QComboBox* CBookInfoDlg::AddCombo(const char* name) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::fromUtf8(name));
    return combo;
}

bool CBookInfoDlg::MayStayUnknown(QLineEdit* edit) const {
    return edit->text().isEmpty() && m_unknownAtOpen.contains(edit);
}

bool CBookInfoDlg::ExchangeNumber(QLineEdit* edit, int& value) const {
    if (MayStayUnknown(edit)) {
        value = kUnknownNumber;
        return true;
    }
    return ExchangeInteger(edit, value, true);
}

int CBookInfoDlg::exec() {
    auto fill = [](QComboBox* combo, const auto& names) {
        combo->clear();
        for (const auto& n : names) {
            combo->addItem(FromUtf8(n));
        }
    };
    fill(m_pTip, m_aTypes.Names());
    fill(m_pCitita, g_readNames);
    fill(m_pCalificativ, g_ratingNames);
    fill(m_pStare, m_aStates.Names());

    const BookRecord& r = *m_pRecord;
    m_pTitlu->setText(FromUtf8(r.titlu));
    m_pAutor->setText(FromUtf8(r.autor));
    m_pEditura->setText(FromUtf8(r.editura));
    m_pPagini->setText(FromUtf8(NumberText(r.pagini)));
    m_pCapitole->setText(FromUtf8(NumberText(r.capitole)));
    m_pVolume->setText(FromUtf8(NumberText(r.volume)));
    m_pPublicare->setText(FromUtf8(NumberText(r.publicare)));
    m_pPublicareVolum->setText(FromUtf8(NumberText(r.publicare_volum)));
    // A new book gets every check; a stored one keeps what was never given unknown, and so
    // does a new one the numbers it came without.
    m_unknownAtOpen.clear();
    for (QLineEdit* e : {m_pAutor, m_pEditura, m_pPagini, m_pCapitole, m_pVolume, m_pPublicare,
                         m_pPublicareVolum}) {
        const bool text = e == m_pAutor || e == m_pEditura;
        if (e->text().isEmpty() && (r.id != 0 || (!text && m_bKeepUnknownNumbers))) {
            m_unknownAtOpen << e;
        }
    }
    const int type = FindTypeIndex(r.tip);
    m_pTip->setCurrentIndex(m_pTip->count() == 0 ? -1 : (type < 0 ? 0 : type));
    m_pCitita->setCurrentIndex(r.citita >= 0 && r.citita < m_pCitita->count() ? r.citita : -1);
    m_pCalificativ->setCurrentIndex(
        r.calificativ >= 0 && r.calificativ < m_pCalificativ->count() ? r.calificativ : -1);
    const int state = FindStateIndex(r.stare);
    m_pStare->setCurrentIndex(m_pStare->count() == 0 ? -1 : (state < 0 ? 0 : state));
    ShowDetails();
    m_pNoteLabel->setText(m_note);
    m_pNoteLabel->setVisible(!m_note.isEmpty());
    m_pPages->setCurrentIndex(0);
    m_pTitlu->setFocus();
    return QDialog::exec();
}

void CBookInfoDlg::accept() {
    // The first page's checks put the focus on its fields, so they must be in sight.
    m_pPages->setCurrentIndex(0);
    // An empty list leaves nothing to choose; nothing outside the lists is ever read.
    if (m_pTip->currentIndex() < 0) {
        ShowMessage(msg::kNoTypeDefined, this);
        return;
    }
    if (m_pStare->currentIndex() < 0) {
        ShowMessage(msg::kNoStateDefined, this);
        return;
    }
    BookRecord& r = *m_pRecord;
    if (!ExchangeText(m_pTitlu, r.titlu) || !ExchangeText(m_pAutor, r.autor) ||
        !ExchangeText(m_pEditura, r.editura)) {
        return;
    }
    r.tip = m_aTypes.At(m_pTip->currentIndex()).GetId();
    auto leading = [this](QLineEdit* e) {
        return MayStayUnknown(e) ? kUnknownNumber
                                 : static_cast<int>(LeadingInteger(ToUtf8(e->text())));
    };
    r.pagini = leading(m_pPagini);
    r.capitole = leading(m_pCapitole);
    r.volume = leading(m_pVolume);
    r.publicare = leading(m_pPublicare);
    r.publicare_volum = leading(m_pPublicareVolum);
    r.citita = m_pCitita->currentIndex();
    r.calificativ = m_pCalificativ->currentIndex();
    r.stare = m_aStates.At(m_pStare->currentIndex()).GetId();

    if (const char* m = CheckRatingAgainstRead(ToUtf8(m_pCitita->currentText()),
                                               ToUtf8(m_pCalificativ->currentText()))) {
        ShowMessage(m, this);
        return;
    }
    BookFieldValues v;
    if (!ExchangeNumber(m_pPublicareVolum, v.publicareVolum) ||
        !ExchangeNumber(m_pPublicare, r.publicare) || !ExchangeNumber(m_pCapitole, v.capitole) ||
        !ExchangeNumber(m_pPagini, v.pagini) || !ExchangeNumber(m_pVolume, v.volume)) {
        return;
    }
    v.titlu = r.titlu;
    v.autor = r.autor;
    v.editura = r.editura;
    v.autorMayBeEmpty = MayStayUnknown(m_pAutor);
    v.edituraMayBeEmpty = MayStayUnknown(m_pEditura);
    if (const char* m = FirstFailedFieldCheck(v)) {
        ShowMessage(m, this);
        m_pTitlu->setFocus();
        return;
    }
    if (!ExchangeDetails()) {
        return;
    }
    if (m_holdsBook && m_holdsBook(r.titlu, r.autor) &&
        !AskYesNo("Exista deja o carte cu acest titlu si autor. O adaugati oricum?", this)) {
        return;
    }
    QDialog::accept();
}

bool CBookInfoDlg::focusNextPrevChild(bool next) {
    QList<QWidget*> stops;
    for (QWidget* stop : m_tabStops) {
        if (stop->isVisible() && stop->isEnabled()) {
            stops << stop;
        }
    }
    const qsizetype at = stops.indexOf(focusWidget());
    if (at < 0 || stops.isEmpty()) {
        return QDialog::focusNextPrevChild(next);
    }
    const qsizetype count = stops.size();
    stops[(at + (next ? 1 : count - 1)) % count]->setFocus(next ? Qt::TabFocusReason
                                                                : Qt::BacktabFocusReason);
    return true;
}
