#include "app/LookupJob.h"

#include "isbn/CBookDetailsStore.h"
#include "isbn/IsbnCode.h"
#include "lookup/LookupSources.h"
#include "lookup/ui/CLookupChain.h"
#include "shell/AppSettings.h"

#include <QCoreApplication>
#include <QSet>
#include <cstdio>
#include <map>

namespace {
QString Number(std::int32_t n) {
    return IsUnknown(n) ? QString() : QString::number(n);
}

QString LineOf(const QString& isbn, const LookupAnswer* answer) {
    const bool found = answer && answer->kind == LookupAnswer::Kind::Found;
    if (!found) {
        return isbn + QStringLiteral("\t-\t\t\t\t\t");
    }
    const BookRecord& b = answer->book;
    return QStringList{isbn,
                       answer->sources.join(QStringLiteral(", ")),
                       QString::fromStdString(b.titlu),
                       QString::fromStdString(b.autor),
                       QString::fromStdString(b.editura),
                       Number(b.publicare_volum),
                       Number(b.pagini)}
        .join('\t');
}
} // namespace

std::map<QString, LookupAnswer> AskSources(const QStringList& asked, bool firstYears) {
    LoadSettings();
    CLookupChain chain;
    chain.UseSettings();
    chain.SetFirstYears(firstYears);
    std::map<QString, LookupAnswer> answers;
    int waiting = 0;
    const auto done = [&] {
        if (--waiting == 0) {
            QCoreApplication::quit();
        }
    };
    QObject::connect(&chain, &CLookupChain::Answered,
                     [&](const QString& isbn, const LookupAnswer& answer) {
                         answers[isbn] = answer;
                         done();
                     });
    QObject::connect(&chain, &CLookupChain::Failed, [&](const QString& isbn, const QString& why) {
        std::fprintf(stderr, "shelfwarden: ISBN %s: %s\n", isbn.toUtf8().constData(),
                     why.toUtf8().constData());
        done();
    });
    // The same ISBN twice is asked once and told once.
    waiting = static_cast<int>(QSet<QString>(asked.begin(), asked.end()).size());
    for (const QString& isbn : asked) {
        chain.Lookup(isbn.toStdString());
    }
    if (waiting > 0) {
        QCoreApplication::exec();
    }
    return answers;
}

int RunLookup(const QStringList& isbns) {
    QStringList asked;
    for (const QString& typed : isbns) {
        const IsbnCheck check = CheckIsbn(typed.toStdString());
        if (check.problem != IsbnProblem::None) {
            std::fprintf(stderr, "shelfwarden: %s: %s\n", typed.toUtf8().constData(),
                         check.problem == IsbnProblem::WrongCheckDigit ? msg::kIsbnCheckDigit
                                                                       : msg::kIsbnNotValid);
            return 2;
        }
        asked << QString::fromStdString(check.isbn13);
    }
    int argc = 1;
    char name[] = "shelfwarden";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    const std::map<QString, LookupAnswer> answers = AskSources(asked);
    bool all = true;
    for (const QString& isbn : asked) {
        const auto answer = answers.find(isbn);
        all = all && answer != answers.end() && answer->second.kind == LookupAnswer::Kind::Found;
        std::fputs((LineOf(isbn, answer == answers.end() ? nullptr : &answer->second) + '\n')
                       .toUtf8()
                       .constData(),
                   stdout);
    }
    return all ? 0 : 1;
}
