#include "bulk/DoubleBooks.h"

#include "isbn/BookDetails.h"
#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CatalogueMessages.h"
#include "store/CountedNoun.h"
#include "store/DetailsSchema.h"
#include "store/StatementFormat.h"
#include "view/BookRowTexts.h"
#include "view/QuickFilter.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>
#include <numeric>
#include <unordered_map>

namespace {

// The folded words of a text: letters and digits only, every other character a break.
std::vector<std::string> FoldedWords(std::string_view text) {
    const std::string folded = FoldForFilter(text);
    std::vector<std::string> words;
    std::string word;
    for (const char c : folded) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || byte >= 0x80) {
            word += c;
        } else if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty()) {
        words.push_back(std::move(word));
    }
    return words;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) {
        out += (out.empty() ? "" : " ") + w;
    }
    return out;
}

// What the grouping keeps of a book: small, so that a million books fit.
struct Entry {
    std::string key; // title and author in any order
    std::size_t exactAuthor = 0;
    std::int32_t id = 0;
    std::uint64_t isbn = 0; // 0: none
};

struct Components {
    explicit Components(std::size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
    std::size_t Root(std::size_t i) {
        while (parent[i] != i) {
            parent[i] = parent[parent[i]];
            i = parent[i];
        }
        return i;
    }
    void Join(std::size_t a, std::size_t b) { parent[Root(a)] = Root(b); }
    std::vector<std::size_t> parent;
};

// Joins runs of entries, in `order`, that `same` says are alike; `each` is told every run of two
// or more, by its positions in `order`.
template <class Same, class Each>
void ForEachRun(const std::vector<std::size_t>& order, Same same, Each each) {
    std::size_t first = 0;
    for (std::size_t i = 1; i <= order.size(); ++i) {
        if (i == order.size() || !same(order[first], order[i])) {
            if (i - first >= 2) {
                each(first, i);
            }
            first = i;
        }
    }
}

Entry EntryOf(std::int32_t id, std::string_view titlu, std::string_view autor,
              std::string_view isbn) {
    Entry e;
    const std::string title = DoubleTitleKey(titlu);
    // A book without a title is matched by its ISBN alone.
    if (!title.empty()) {
        e.key = title + '\x1f' + DoubleAuthorKey(autor, true);
    }
    e.exactAuthor = std::hash<std::string>{}(DoubleAuthorKey(autor, false));
    e.id = id;
    if (std::from_chars(isbn.data(), isbn.data() + isbn.size(), e.isbn).ptr !=
        isbn.data() + isbn.size()) {
        e.isbn = 0;
    }
    return e;
}

std::vector<DoubleGroup>
GroupEntries(std::vector<Entry>& entries,
             const std::function<bool(const std::vector<std::int32_t>&)>& keptApart);

} // namespace

std::string DoubleTitleKey(std::string_view titlu) {
    return Joined(FoldedWords(titlu));
}

std::string DoubleAuthorKey(std::string_view autor, bool anyOrder) {
    std::vector<std::string> words = FoldedWords(autor);
    if (anyOrder) {
        std::ranges::sort(words);
    }
    return Joined(words);
}

std::vector<DoubleGroup>
GroupDoubles(const std::vector<DoubleCandidate>& books,
             const std::function<bool(const std::vector<std::int32_t>&)>& keptApart) {
    std::vector<Entry> entries;
    entries.reserve(books.size());
    for (const DoubleCandidate& b : books) {
        entries.push_back(EntryOf(b.id, b.titlu, b.autor, b.isbn));
    }
    return GroupEntries(entries, keptApart);
}

namespace {

std::vector<DoubleGroup>
GroupEntries(std::vector<Entry>& entries,
             const std::function<bool(const std::vector<std::int32_t>&)>& keptApart) {
    Components components(entries.size());
    // The strongest reason found for each group, on one of its books.
    std::vector<std::pair<std::size_t, DoubleKind>> reasons;
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), 0);

    std::ranges::sort(order, {}, [&](std::size_t i) { return entries[i].isbn; });
    ForEachRun(
        order,
        [&](std::size_t a, std::size_t b) {
            return entries[a].isbn != 0 && entries[a].isbn == entries[b].isbn;
        },
        [&](std::size_t from, std::size_t to) {
            for (std::size_t i = from + 1; i < to; ++i) {
                components.Join(order[from], order[i]);
            }
            reasons.emplace_back(order[from], DoubleKind::SameIsbn);
        });

    std::ranges::sort(
        order, [&](std::size_t a, std::size_t b) { return entries[a].key < entries[b].key; });
    ForEachRun(
        order,
        [&](std::size_t a, std::size_t b) {
            return !entries[a].key.empty() && entries[a].key == entries[b].key;
        },
        [&](std::size_t from, std::size_t to) {
            std::vector<std::uint64_t> isbns;
            for (std::size_t i = from; i < to; ++i) {
                if (entries[order[i]].isbn != 0) {
                    isbns.push_back(entries[order[i]].isbn);
                }
            }
            std::ranges::sort(isbns);
            const bool editions = std::ranges::unique(isbns).begin() - isbns.begin() > 1;
            // Among two editions or more, only the books without an ISBN go together: which
            // edition each of them is, no one can say.
            std::vector<std::size_t> joined;
            for (std::size_t i = from; i < to; ++i) {
                if (!editions || entries[order[i]].isbn == 0) {
                    joined.push_back(order[i]);
                }
            }
            if (joined.size() < 2) {
                return;
            }
            bool exact = true;
            for (const std::size_t i : joined) {
                components.Join(joined.front(), i);
                exact = exact && entries[i].exactAuthor == entries[joined.front()].exactAuthor;
            }
            reasons.emplace_back(joined.front(), exact ? DoubleKind::SameTitleAndAuthor
                                                       : DoubleKind::AuthorWordOrder);
        });

    std::vector<std::optional<DoubleGroup>> byRoot(entries.size());
    for (const auto& [entry, kind] : reasons) {
        std::optional<DoubleGroup>& group = byRoot[components.Root(entry)];
        if (!group) {
            group = DoubleGroup{kind, {}};
        }
        group->kind = std::min(group->kind, kind);
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (std::optional<DoubleGroup>& group = byRoot[components.Root(i)]) {
            group->books.push_back(entries[i].id);
        }
    }
    std::vector<DoubleGroup> groups;
    for (std::optional<DoubleGroup>& group : byRoot) {
        if (group) {
            std::ranges::sort(group->books);
            if (!keptApart || !keptApart(group->books)) {
                groups.push_back(std::move(*group));
            }
        }
    }
    std::ranges::sort(groups, {}, [](const DoubleGroup& g) { return g.books.front(); });
    return groups;
}

} // namespace

std::optional<std::vector<DoubleGroup>>
FindDoubles(CBookDatabase& db, const MessageSink& sink,
            const std::function<bool(const std::vector<std::int32_t>&)>& keptApart) {
    std::vector<Entry> entries;
    try {
        const bool details = InspectDetailsTable(db.Engine()) == DetailsTableState::Ours;
        CEngineRecordset set(db.Engine());
        set.Open(details ? "SELECT b.id, b.titlu, b.autor, d.isbn FROM books b "
                           "LEFT JOIN book_details d ON d.id = b.id"
                         : "SELECT id, titlu, autor, NULL FROM books",
                 RecordReading::Forward);
        for (; !set.IsEOF(); set.MoveNext()) {
            entries.push_back(EntryOf(static_cast<std::int32_t>(set.GetInteger(0)),
                                      set.GetTextView(1), set.GetTextView(2), set.GetTextView(3)));
        }
    } catch (const CEngineException&) {
        sink(msg::kCannotSelect);
        return std::nullopt;
    }
    return GroupEntries(entries, keptApart);
}

std::vector<SideBySideLine> SideBySide(const std::vector<std::array<std::string, 13>>& rows,
                                       const std::vector<BookDetails>& details) {
    std::vector<SideBySideLine> lines;
    auto line = [&lines](std::string field, std::vector<std::string> texts) {
        const bool differs = std::ranges::adjacent_find(texts, std::not_equal_to{}) != texts.end();
        lines.push_back({std::move(field), std::move(texts), differs});
    };
    for (std::size_t column = 0; column < static_cast<std::size_t>(kBookColumnCount); ++column) {
        std::vector<std::string> texts;
        for (const auto& row : rows) {
            texts.push_back(row[column]);
        }
        line(BookListColumns()[column].header, std::move(texts));
    }
    lines.front().differs = false; // every book has its own identifier
    const std::pair<const char*, std::string (*)(const BookDetails&)> extra[] = {
        {"ISBN", [](const BookDetails& d) { return d.isbn; }},
        {"Locatie", [](const BookDetails& d) { return d.locatie; }},
        {"Serie", [](const BookDetails& d) { return d.serie; }},
        {"Numar in serie", [](const BookDetails& d) { return NumberText(d.numar_serie); }},
        {"Note", [](const BookDetails& d) { return d.note; }},
        {"Adaugata", [](const BookDetails& d) { return d.adaugata; }},
    };
    for (const auto& [field, text] : extra) {
        std::vector<std::string> texts;
        for (const BookDetails& d : details) {
            texts.push_back(text(d));
        }
        line(field, std::move(texts));
    }
    return lines;
}

const char* DoubleKindText(DoubleKind kind) {
    switch (kind) {
    case DoubleKind::SameIsbn:
        return "acelasi ISBN";
    case DoubleKind::SameTitleAndAuthor:
        return "acelasi titlu si autor";
    case DoubleKind::AuthorWordOrder:
        break;
    }
    return "acelasi titlu, autorul scris altfel";
}

std::vector<std::string> DoubleGroupTexts(CBookDatabase& db,
                                          const std::vector<DoubleGroup>& groups) {
    std::unordered_map<std::int32_t, std::string> names;
    std::vector<std::int32_t> firsts;
    for (const DoubleGroup& g : groups) {
        firsts.push_back(g.books.front());
    }
    ForEachIdList(firsts, [&](const std::string& list) {
        CEngineRecordset set(db.Engine());
        set.Open("SELECT id, titlu, autor FROM books WHERE id IN (" + list + ")",
                 RecordReading::Forward);
        for (; !set.IsEOF(); set.MoveNext()) {
            names.emplace(static_cast<std::int32_t>(set.GetInteger(0)),
                          set.GetText(1) + " - " + set.GetText(2));
        }
    });
    std::vector<std::string> texts;
    texts.reserve(groups.size());
    for (const DoubleGroup& g : groups) {
        const auto name = names.find(g.books.front());
        texts.push_back((name == names.end() ? std::string("?") : name->second) + " (" +
                        CountedNoun(static_cast<long long>(g.books.size()), "carte", "carti") +
                        ", " + DoubleKindText(g.kind) + ")");
    }
    return texts;
}
