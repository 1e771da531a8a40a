#include "complete/ui/CCompletionCommands.h"

#include "complete/CatalogueCompletion.h"
#include "complete/ui/CCompletionReviewDlg.h"
#include "isbn/CBookDetailsStore.h"
#include "isbn/ui/CIsbnConsentDlg.h"
#include "isbn/ui/LookupAnswer.h"
#include "shell/DialogParts.h"
#include "shell/Prompts.h"
#include "shell/WriteInProgress.h"
#include "store/CEngineException.h"
#include "store/CatalogueMessages.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/CRecordCommands.h"
#include "view/ui/CShelfwardenView.h"

#include <QEventLoop>
#include <QMainWindow>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QStatusBar>
#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace {

// "Cautare: 340 din 1.000 de carti, 12 negasite", and the searches that failed when any did.
QString ProgressText(int done, int all, int missed, int failed) {
    QString text = QStringLiteral("Cautare: %1 din %2, %3")
                       .arg(RomanianNumber(done), RomanianCount(all, "carte", "carti"),
                            RomanianCount(missed, "negasita", "negasite"));
    if (failed > 0) {
        text += QStringLiteral(", ") + RomanianCount(failed, "cautare esuata", "cautari esuate");
    }
    return text;
}

} // namespace

CCompletionCommands::CCompletionCommands(CShelfwardenView* view, CRecordCommands* records)
    : QObject(view), m_pView(view), m_pRecords(records) {
    m_lookup.SetFirstYears(false);
}

void CCompletionCommands::OnComplete() {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (!db || m_pView->IsReadOnly()) {
        return;
    }
    // The selected books, or all listed ones when at most one is selected.
    std::set<std::int32_t> chosen;
    const std::vector<RowTexts> selected = m_pView->SelectedRows();
    const int rows = selected.size() > 1 ? 0 : m_pView->Model()->rowCount();
    BookRecord rec;
    for (int row = 0; row < rows; ++row) {
        m_pView->ReadRow(rec, row);
        chosen.insert(rec.id);
    }
    for (const RowTexts& texts : selected.size() > 1 ? selected : std::vector<RowTexts>{}) {
        chosen.insert(static_cast<std::int32_t>(std::stol(texts[0])));
    }
    CBookDetailsStore store(*db, UserMessageSink());
    const auto details = store.ReadAll();
    if (!details) {
        return;
    }
    std::map<std::int32_t, StoredBook> seen;
    std::map<QString, std::vector<std::int32_t>> booksOf;
    // Books without an ISBN are searched by their title and author, when they have both.
    std::vector<std::pair<std::int32_t, BookRecord>> unnumbered;
    try {
        for (const std::int32_t id : chosen) {
            auto book = ReadStoredBook(*db, id);
            if (!book) {
                continue;
            }
            const auto d = details->find(id);
            if (d != details->end() && !d->second.isbn.empty()) {
                booksOf[FromUtf8(d->second.isbn)].push_back(id);
            } else {
                BookRecord rec;
                rec.titlu = StoredText(*book, "titlu");
                rec.autor = StoredText(*book, "autor");
                if (rec.titlu.empty() || rec.autor.empty()) {
                    continue;
                }
                unnumbered.emplace_back(id, rec);
            }
            seen[id] = std::move(*book);
        }
    } catch (const CEngineException&) {
        ShowMessage(msg::kCannotSelect, m_pView);
        return;
    }
    if (seen.empty()) {
        ShowMessage("Nici o carte aleasa nu are ISBN sau titlu si autor.", m_pView);
        return;
    }
    if (!LookupsAllowed(m_pView)) {
        return;
    }
    m_lookup.UseSettings();
    m_titles.UseSettings();
    const int all = static_cast<int>(seen.size());
    int done = 0;
    int missed = 0;
    int failedSearches = 0;
    std::map<QString, LookupAnswer> answers;
    QProgressDialog progress(ProgressText(0, all, 0, 0), QStringLiteral("Renunta"), 0, all,
                             m_pView);
    progress.setWindowTitle(QStringLiteral("Completeaza din biblioteci"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    QEventLoop waiting;
    const auto count = [&](const QString& isbn, bool found, bool failed) {
        const int books = static_cast<int>(booksOf[isbn].size());
        done += books;
        missed += found || failed ? 0 : books;
        failedSearches += failed ? books : 0;
        progress.setValue(done);
        progress.setLabelText(ProgressText(done, all, missed, failedSearches));
        if (done >= all) {
            waiting.quit();
        }
    };
    const QMetaObject::Connection answered =
        connect(&m_lookup, &CLookupChain::Answered, this,
                [&](const QString& isbn, const LookupAnswer& answer) {
                    if (booksOf.contains(isbn) && !answers.contains(isbn)) {
                        answers[isbn] = answer;
                        count(isbn, answer.kind == LookupAnswer::Kind::Found, false);
                    }
                });
    const QMetaObject::Connection failed =
        connect(&m_lookup, &CLookupChain::Failed, this, [&](const QString& isbn, const QString&) {
            if (booksOf.contains(isbn) && !answers.contains(isbn)) {
                answers[isbn] = LookupAnswer{};
                count(isbn, false, true);
            }
        });
    const QMetaObject::Connection cancelled =
        connect(&progress, &QProgressDialog::canceled, &waiting, &QEventLoop::quit);
    for (const auto& entry : booksOf) {
        m_lookup.Lookup(entry.first.toStdString());
    }
    std::vector<CompletionProposal> proposals;
    // A search answered after the command ended (cancelled) is dropped.
    const auto alive = std::make_shared<bool>(true);
    const auto over = qScopeGuard([alive] { *alive = false; });
    for (const auto& [id, rec] : unnumbered) {
        m_titles.Search(
            FromUtf8(rec.titlu), FromUtf8(rec.autor),
            [&, alive, id = id, rec = rec](const std::vector<LookupRecord>& hits, bool failed) {
                if (!*alive || progress.wasCanceled()) {
                    return;
                }
                // A hit is proposed only when it is the book, and never checked.
                const auto hit = std::ranges::find_if(hits, [&](const LookupRecord& h) {
                    return SameTitleAndAuthor(rec.titlu, rec.autor, h);
                });
                if (hit != hits.end()) {
                    for (CompletionProposal& p : ProposeCompletion(
                             seen.at(id), *hit, "Open Library (titlu si autor)", true)) {
                        proposals.push_back(std::move(p));
                    }
                }
                ++done;
                missed += hit == hits.end() && !failed ? 1 : 0;
                failedSearches += failed ? 1 : 0;
                progress.setValue(done);
                progress.setLabelText(ProgressText(done, all, missed, failedSearches));
                if (done >= all) {
                    waiting.quit();
                }
            });
    }
    if (done < all) {
        waiting.exec();
    }
    disconnect(answered);
    disconnect(failed);
    disconnect(cancelled);
    // Searches not yet sent when the user stopped are not sent at all.
    m_titles.Abandon();
    progress.close();

    for (const auto& [isbn, answer] : answers) {
        if (answer.kind != LookupAnswer::Kind::Found) {
            continue;
        }
        // The cover goes to the cache, where the book dialog and the list find it.
        if (!answer.coverUrl.isEmpty()) {
            m_lookup.FetchCover(isbn.toStdString(), answer.coverUrl);
        }
        const LookupRecord record = RecordOf(answer);
        for (const std::int32_t book : booksOf[isbn]) {
            for (CompletionProposal& p :
                 ProposeCompletion(seen.at(book), record, ToUtf8(answer.sources.value(0)), false)) {
                proposals.push_back(std::move(p));
            }
        }
    }
    if (proposals.empty()) {
        ShowMessage("Bibliotecile nu au nimic de adaugat cartilor alese.", m_pView);
        return;
    }
    CCompletionReviewDlg review(std::move(proposals), m_pView);
    if (review.exec() != QDialog::Accepted) {
        return;
    }
    // The window breathes while a large completion is written; nothing else writes meanwhile.
    const WriteInProgress writing;
    QProgressDialog writeProgress(QStringLiteral("Se scriu modificarile..."), QString(), 0, 1,
                                  m_pView);
    writeProgress.setWindowTitle(QStringLiteral("Completeaza din biblioteci"));
    writeProgress.setWindowModality(Qt::WindowModal);
    writeProgress.setMinimumDuration(500);
    const auto result = ApplyCompletion(*db, seen, review.Proposals(), UserMessageSink(),
                                        [&](std::size_t done, std::size_t books) {
                                            writeProgress.setMaximum(static_cast<int>(books));
                                            writeProgress.setValue(static_cast<int>(done));
                                        });
    writeProgress.close();
    if (!result) {
        return;
    }
    if (!result->changes.empty()) {
        m_pRecords->RememberStep(FromUtf8(CompletionStepText(*result)), result->changes);
        m_pView->Relist();
        if (auto* frame = qobject_cast<QMainWindow*>(m_pView->window())) {
            frame->statusBar()->showMessage(
                QStringLiteral("Completate: %1 in %2. Edit > Undo: %3")
                    .arg(RomanianCount(result->fields, "camp", "campuri"),
                         RomanianCount(static_cast<int>(result->changes.size()), "carte", "carti"),
                         FromUtf8(CompletionStepText(*result))));
        }
    }
    if (!result->skipped.empty()) {
        std::string names;
        for (const std::string& title : result->skipped) {
            names += "\n" + title;
        }
        ShowMessage("Aceste carti au fost schimbate intre timp de alt program si au ramas cum "
                    "erau:" +
                        names,
                    m_pView);
    }
}
