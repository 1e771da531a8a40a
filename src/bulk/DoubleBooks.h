#pragma once

#include "store/MessageSink.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CBookDatabase;

// Why the books of a group may be one book entered twice.
enum class DoubleKind {
    SameIsbn,
    SameTitleAndAuthor,
    // The same title, the author's names in another order ("Rebreanu, Liviu", "Liviu Rebreanu").
    AuthorWordOrder,
};

struct DoubleGroup {
    DoubleKind kind = DoubleKind::SameTitleAndAuthor;
    std::vector<std::int32_t> books; // lowest identifier first
    bool operator==(const DoubleGroup&) const = default;
};

// What the search for doubles reads of a book.
struct DoubleCandidate {
    std::int32_t id = 0;
    std::string titlu;
    std::string autor;
    std::string isbn; // 13 digits, or empty
};

// A title as doubles compare it: folded as the quick filter folds (case, accents and both
// cedillas ignored), punctuation dropped, blanks made one.
std::string DoubleTitleKey(std::string_view titlu);
// An author the same way; with `anyOrder` its words sorted, so that the order of the names
// does not count.
std::string DoubleAuthorKey(std::string_view autor, bool anyOrder);

// Groups the books that share an ISBN, or a title and an author in any word order. Two books
// with different ISBNs are different editions, never doubles of each other. A group
// `keptApart` says yes to is left out. Groups come lowest first book first.
std::vector<DoubleGroup>
GroupDoubles(const std::vector<DoubleCandidate>& books,
             const std::function<bool(const std::vector<std::int32_t>&)>& keptApart = {});

// The doubles of an open catalogue; nothing, told through the sink, when it cannot be read.
std::optional<std::vector<DoubleGroup>>
FindDoubles(CBookDatabase& db, const MessageSink& sink,
            const std::function<bool(const std::vector<std::int32_t>&)>& keptApart = {});

struct BookDetails;

// One line of a group shown side by side: the field's name and each book's text of it.
struct SideBySideLine {
    std::string field;
    std::vector<std::string> texts;
    // The books do not all say the same.
    bool differs = false;
};

// The books of a group side by side, every field of the list and of the details in turn.
std::vector<SideBySideLine> SideBySide(const std::vector<std::array<std::string, 13>>& rows,
                                       const std::vector<BookDetails>& details);

// "acelasi ISBN", "acelasi titlu si autor", "acelasi titlu, autorul scris altfel".
const char* DoubleKindText(DoubleKind kind);

// Each group as the doubles window lists it, named by its first book: "Ion - Liviu Rebreanu
// (2 carti, acelasi titlu si autor)"; the names read together. Throws CEngineException.
std::vector<std::string> DoubleGroupTexts(CBookDatabase& db,
                                          const std::vector<DoubleGroup>& groups);
