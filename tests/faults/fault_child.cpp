// A program that works on a catalogue until it is killed or a write fails, reporting each step
// on stdout as soon as the catalogue has acknowledged it. Used by the fault tests.
//
//   fault_child write PATH FIRST   adds, modifies and deletes books from operation FIRST on
//   fault_child copy SOURCE TARGET copies SOURCE over TARGET
//   fault_child full PATH          the same writes with the file size limited: until one fails
//   fault_child readonly PATH      each write once, as a user who may not write the folder
//   fault_child batches PATH N     adds N batches of 10 books, one transaction each; after
//                                  the first it says so and waits for a line on stdin
//   fault_child holder PATH N      N transactions that add a chapter to every book with a
//                                  small page cache (so pages reach the file before the
//                                  commit), each begun on a line on stdin and committed a
//                                  moment after the next line; says HOLDING t inside one,
//                                  COMMITTED t after it, FAILED and the reason on a failure

#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CatalogueCopy.h"
#include "store/TransactionGuard.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

MessageSink Reporter() {
    return [](const std::string& m) { Say("MSG " + m); };
}

std::vector<int> Ids(CBookDatabase& db) {
    std::vector<int> ids;
    auto set = db.OpenQuery("SELECT id FROM books ORDER BY id");
    if (set) {
        for (set->MoveFirst(); !set->IsEOF(); set->MoveNext()) {
            ids.push_back(set->GetLong("id"));
        }
    }
    return ids;
}

// Operation j of the endless sequence: adds, then modifies the newest book, then deletes the
// oldest, over and over. Returns false when the catalogue refused it.
bool Step(CBookDatabase& db, std::vector<int>& ids, long j) {
    const int pages = static_cast<int>(j % 30000) + 1;
    if (j % 3 == 0 || ids.empty()) {
        const std::string title = "book " + std::to_string(j);
        Say("I add " + title + "|" + std::to_string(pages));
        if (!db.InsertBook(title, "author's", "e", 0, pages, 1, 1, 1, 1, 0, 6, 0)) {
            return false;
        }
        ids.push_back(db.GetLastInsertedId());
        Say("OK " + std::to_string(ids.back()));
    } else if (j % 3 == 1) {
        Say("I mod " + std::to_string(ids.back()) + "|" + std::to_string(pages));
        if (!db.UpdateBook(ids.back(), "book mod " + std::to_string(j), "author's", "e", 0, pages,
                           1, 1, 1, 1, 0, 6, 0)) {
            return false;
        }
        Say("OK");
    } else {
        Say("I del " + std::to_string(ids.front()));
        if (!db.DeleteBook(ids.front())) {
            return false;
        }
        ids.erase(ids.begin());
        Say("OK");
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return 2;
    }
    const std::string mode = argv[1];
    if (mode == "copy" && argc == 4) {
        CBookDatabase source(Reporter());
        if (!source.Open(argv[2])) {
            return 1;
        }
        Say("START");
        Say(CopyCatalogue(source, argv[3], Reporter()) ? "COPIED" : "FAILED");
        return 0;
    }
    if (mode == "readonly" && ::geteuid() == 0) {
        // As root every folder is writable: become a user for whom it is not.
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            return 3;
        }
    }
    CBookDatabase db(Reporter());
    if (!db.Open(argv[2])) {
        return 1;
    }
    std::vector<int> ids = Ids(db);
    if (mode == "write" && argc == 4) {
        for (long j = std::atol(argv[3]);; ++j) {
            Step(db, ids, j);
        }
    }
    if (mode == "batches" && argc == 4) {
        for (int b = 0; b < std::atoi(argv[3]); ++b) {
            TransactionGuard transaction(db.Engine(), "BEGIN IMMEDIATE");
            for (int i = 0; i < 10; ++i) {
                db.InsertBook("batch " + std::to_string(b), "a", "e", 0, 1, 1, 1, 1, 1, 0, 6, 0);
            }
            transaction.Commit();
            if (b == 0) { // the first batch is in: wait until the test has taken its copy
                Say("BATCH 0");
                char line[8];
                if (std::fgets(line, sizeof line, stdin) == nullptr) {
                    return 1;
                }
            }
        }
        Say("DONE");
        return 0;
    }
    if (mode == "holder" && argc == 4) {
        CEngineDatabase& engine = db.Engine();
        engine.Execute("PRAGMA cache_size = 10");
        char line[8];
        for (int t = 0; t < std::atoi(argv[3]) && std::fgets(line, sizeof line, stdin); ++t) {
            try {
                TransactionGuard transaction(engine, "BEGIN IMMEDIATE");
                engine.Execute("UPDATE books SET capitole = capitole + 1");
                Say("HOLDING " + std::to_string(t));
                if (std::fgets(line, sizeof line, stdin) == nullptr) {
                    return 1;
                }
                ::usleep(300000); // whoever asked for the catalogue meanwhile waits
                transaction.Commit();
                Say("COMMITTED " + std::to_string(t));
            } catch (const CEngineException& e) {
                Say(std::string("FAILED ") + e.what());
                return 1;
            }
        }
        return 0;
    }
    if (mode == "full") {
        std::signal(SIGXFSZ, SIG_IGN);
        struct stat st {};
        ::stat(argv[2], &st);
        const rlimit limit{static_cast<rlim_t>(st.st_size), static_cast<rlim_t>(st.st_size)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        // Adds only, so the file must grow.
        long j = 0;
        while (Step(db, ids, j) && j < 100000) {
            j += 3;
        }
        // The program goes on: the catalogue still answers.
        auto all = db.SelectAllBooks();
        Say(all ? "LISTED " + std::to_string(all->GetRecordCount()) : "NOT LISTED");
        return 0;
    }
    if (mode == "readonly") {
        for (long j = 0; j < 3; ++j) {
            Step(db, ids, j);
        }
        auto copy = CopyCatalogue(db, std::string(argv[2]) + ".copy", Reporter());
        Say(copy ? "COPIED" : "NOT COPIED");
        auto all = db.SelectAllBooks();
        Say(all ? "LISTED " + std::to_string(all->GetRecordCount()) : "NOT LISTED");
        return 0;
    }
    return 2;
}
