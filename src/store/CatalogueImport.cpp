#include "CatalogueImport.h"

#include "CBookDatabase.h"
#include "CEngineException.h"
#include "CEngineStatement.h"
#include "Csv.h"
#include "FixedNames.h"
#include "LookupList.h"

#include <charconv>
#include <map>
#include <optional>
#include <vector>

namespace {

enum class Field {
    Titlu,
    Autor,
    Editura,
    Tip,
    Pagini,
    Capitole,
    Volume,
    Publicare,
    PublicareVolum,
    Citita,
    Calificativ,
    Stare,
    Shelf,
    Stars,
    Count
};

const std::map<std::string, Field>& HeaderFields() {
    static const std::map<std::string, Field> headers = {
        {"Titlu", Field::Titlu},
        {"Autor", Field::Autor},
        {"Editura", Field::Editura},
        {"Tip", Field::Tip},
        {"Pagini", Field::Pagini},
        {"Capitole", Field::Capitole},
        {"Volume", Field::Volume},
        {"An aparitie", Field::Publicare},
        {"An publicare volum", Field::PublicareVolum},
        {"Citita", Field::Citita},
        {"Calificativ", Field::Calificativ},
        {"Stare", Field::Stare},
        {"Title", Field::Titlu},
        {"Author", Field::Autor},
        {"Publisher", Field::Editura},
        {"Number of Pages", Field::Pagini},
        {"Original Publication Year", Field::Publicare},
        {"Year Published", Field::PublicareVolum},
        {"Exclusive Shelf", Field::Shelf},
        {"My Rating", Field::Stars},
    };
    return headers;
}

// A failure of one row: the reason, reported with the row's line.
struct RowError {
    std::string reason;
};

std::size_t Characters(const std::string& utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8) {
        n += (c & 0xC0) != 0x80;
    }
    return n;
}

int Integer(const std::string& text, const char* header, int low, int high, int fallback) {
    if (text.empty()) {
        return fallback;
    }
    long long v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
        throw RowError{std::string(header) + " is not an integer: \"" + text + "\""};
    }
    if (v < low || v > high) {
        throw RowError{std::string(header) + " is out of range (" + std::to_string(low) + " to " +
                       std::to_string(high) + "): " + text};
    }
    return static_cast<int>(v);
}

std::string Text(const std::string& text, const char* header) {
    if (Characters(text) > 255) {
        throw RowError{std::string(header) + " is longer than 255 characters"};
    }
    return text.empty() ? "-" : text;
}

// Stars of a reading site: 5 is the best name, 1 the fifth; a read book not rated takes the
// middle one.
int RatingOfStars(const std::string& stars, bool read) {
    if (!read) {
        return kRatingToRead;
    }
    const int n = Integer(stars, "My Rating", 0, 5, 0);
    return n == 0 ? 3 : 5 - n;
}

class LookupIds {
public:
    LookupIds(CBookDatabase& db, LookupKind kind) : m_db(db), m_kind(kind) {
        ReloadLookupList(db, kind,
                         kind == LookupKind::Types ? kReloadTypesStatement : kReloadStatesStatement,
                         m_list);
    }
    int IdOf(const std::string& name, int& added) {
        const std::int32_t id = m_list.FindIdByName(name);
        if (id != -1) {
            return id;
        }
        const bool stored =
            m_kind == LookupKind::Types ? m_db.InsertType(name) : m_db.InsertState(name);
        if (!stored) {
            throw RowError{"the name \"" + name + "\" cannot be stored"};
        }
        const std::int32_t newId = m_db.GetLastInsertedId();
        m_list.Add(LookupEntry(newId, name));
        ++added;
        return newId;
    }

private:
    CBookDatabase& m_db;
    LookupKind m_kind;
    LookupList m_list;
};

} // namespace

ImportResult ImportCsv(std::string_view csv, CBookDatabase& db) {
    ImportResult result;
    CsvReader reader(csv);
    const auto header = reader.Next();
    if (!header) {
        result.error = reader.Error().empty() ? "the file is empty" : reader.Error();
        result.errorLine = reader.ErrorLine();
        return result;
    }
    std::vector<std::optional<Field>> columns;
    bool anyKnown = false;
    for (const std::string& h : header->fields) {
        const auto it = HeaderFields().find(h);
        columns.push_back(it == HeaderFields().end() ? std::nullopt : std::optional(it->second));
        anyKnown = anyKnown || it != HeaderFields().end();
    }
    if (!anyKnown) {
        result.error = "no known column in the header";
        result.errorLine = header->line;
        return result;
    }
    try {
        db.Engine().Execute("BEGIN");
    } catch (const CEngineException& e) {
        result.error = e.what();
        return result;
    }
    std::size_t line = header->line;
    try {
        LookupIds types(db, LookupKind::Types);
        LookupIds states(db, LookupKind::States);
        // Prepared once: a hundred thousand rows are not parsed a hundred thousand times.
        CEngineStatement insert(db.Engine(),
                                "INSERT INTO books(titlu,autor,editura,tip,pagini,capitole,volume,"
                                "publicare,publicare_volum,citita,calificativ,stare) "
                                "VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
        while (auto record = reader.Next()) {
            line = record->line;
            if (record->fields.size() == 1 && record->fields[0].empty()) {
                continue; // a blank line
            }
            std::vector<const std::string*> value(static_cast<std::size_t>(Field::Count), nullptr);
            for (std::size_t i = 0; i < columns.size() && i < record->fields.size(); ++i) {
                if (columns[i]) {
                    value[static_cast<std::size_t>(*columns[i])] = &record->fields[i];
                }
            }
            static const std::string empty;
            auto get = [&](Field f) -> const std::string& {
                const std::string* v = value[static_cast<std::size_t>(f)];
                return v ? *v : empty;
            };
            const bool hasShelf = value[static_cast<std::size_t>(Field::Shelf)] != nullptr;
            const bool hasCitita = value[static_cast<std::size_t>(Field::Citita)] != nullptr;
            bool read = false;
            if (hasCitita) {
                const int index = FindReadIndex(get(Field::Citita));
                if (index < 0) {
                    throw RowError{"Citita must be \"Da\" or \"Nu\": \"" + get(Field::Citita) +
                                   "\""};
                }
                read = index == 1;
            } else if (hasShelf) {
                read = get(Field::Shelf) == "read";
            }
            int rating = read ? 0 : kRatingToRead;
            if (value[static_cast<std::size_t>(Field::Calificativ)]) {
                rating = FindRatingIndex(get(Field::Calificativ));
                if (rating < 0) {
                    throw RowError{"unknown Calificativ: \"" + get(Field::Calificativ) + "\""};
                }
            } else if (value[static_cast<std::size_t>(Field::Stars)] || hasShelf) {
                rating = RatingOfStars(get(Field::Stars), read);
            }
            const std::string& typeName = get(Field::Tip);
            const std::string& stateName = get(Field::Stare);
            const int type =
                types.IdOf(Text(typeName.empty() ? "Alte" : typeName, "Tip"), result.types);
            const int state = states.IdOf(
                Text(stateName.empty() ? "Nedetinuta" : stateName, "Stare"), result.states);
            if (state > 256) {
                throw RowError{"a book can carry only the first 256 states"};
            }
            insert.Bind(1, Text(get(Field::Titlu), "Titlu"));
            insert.Bind(2, Text(get(Field::Autor), "Autor"));
            insert.Bind(3, Text(get(Field::Editura), "Editura"));
            insert.Bind(4, type - 1);
            insert.Bind(5, Integer(get(Field::Pagini), "Pagini", -32768, 32767, 1));
            insert.Bind(6, Integer(get(Field::Capitole), "Capitole", -32768, 32767, 1));
            insert.Bind(7, Integer(get(Field::Volume), "Volume", -32768, 32767, 1));
            insert.Bind(8, Integer(get(Field::Publicare), "An aparitie", -32768, 32767, 1));
            insert.Bind(
                9, Integer(get(Field::PublicareVolum), "An publicare volum", -32768, 32767, 1));
            insert.Bind(10, read ? 1 : 0);
            insert.Bind(11, rating);
            insert.Bind(12, state - 1);
            try {
                insert.Run();
            } catch (const CEngineException&) {
                throw RowError{"the catalogue refused the book"};
            }
            ++result.books;
        }
        if (!reader.Error().empty()) {
            line = reader.ErrorLine();
            throw RowError{reader.Error()};
        }
        db.Engine().Execute("COMMIT");
    } catch (const RowError& e) {
        result.error = e.reason;
        result.errorLine = line;
    } catch (const CEngineException& e) {
        result.error = e.what();
        result.errorLine = line;
    }
    if (!result.error.empty()) {
        try {
            db.Engine().Execute("ROLLBACK");
        } catch (const CEngineException&) {
            // Nothing was begun or it has ended already.
        }
        result.books = result.types = result.states = 0;
        return result;
    }
    result.ok = true;
    return result;
}
