#include "lookup/BookOfMarc.h"

#include "lookup/MarcText.h"
#include "store/BookFieldChecks.h"

#include <algorithm>
#include <initializer_list>

namespace {

bool IsMarc21(MarcFlavour flavour) {
    return flavour == MarcFlavour::Marc21;
}

// A field wanted by its tag and second indicator ('*' for any).
struct Wanted {
    std::string_view tag;
    char indicator2 = '*';
};

// The fields wanted, in the order they are listed, each tag's in the record's order.
std::vector<const MarcDataField*> FieldsOf(const MarcRecord& record,
                                           std::initializer_list<Wanted> wanted) {
    std::vector<const MarcDataField*> found;
    for (const Wanted& want : wanted) {
        for (const MarcDataField* field : record.Fields(want.tag)) {
            if (want.indicator2 == '*' || field->indicator2 == want.indicator2) {
                found.push_back(field);
            }
        }
    }
    return found;
}

std::string Title(const MarcRecord& record, MarcFlavour flavour) {
    const auto fields = record.Fields(IsMarc21(flavour) ? "245" : "200");
    if (fields.empty()) {
        return {};
    }
    std::string title = WithoutEndPunctuation(fields.front()->First('a'));
    const std::string rest =
        WithoutEndPunctuation(fields.front()->First(IsMarc21(flavour) ? 'b' : 'e'));
    if (!rest.empty()) {
        title += title.empty() ? rest : ": " + rest;
    }
    return title;
}

std::string AsciiLowerCode(std::string_view value) {
    std::string code = WithoutEndPunctuation(value);
    std::transform(code.begin(), code.end(), code.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return code;
}

// MARC 21 writes the author's relator "aut", UNIMARC "070" (or "0070"); either may be a URI
// ending in the code.
bool IsAuthorCode(std::string_view value, MarcFlavour flavour) {
    const std::string code = AsciiLowerCode(value);
    if (IsMarc21(flavour)) {
        return code == "aut" || code.ends_with("/aut");
    }
    return code == "070" || code == "0070" || code.ends_with("/070");
}

// A relator term in words: "author", "autor", "auteur", "Verfasser".
bool IsAuthorTerm(std::string_view value) {
    const std::string term = AsciiLowerCode(value);
    return term.starts_with("aut") || term == "verfasser";
}

bool NamesAnAuthor(const MarcDataField& field, MarcFlavour flavour) {
    const auto codes = field.All('4');
    if (!codes.empty()) {
        return std::any_of(codes.begin(), codes.end(), [flavour](std::string_view code) {
            return IsAuthorCode(code, flavour);
        });
    }
    const auto terms = IsMarc21(flavour) ? field.All('e') : std::vector<std::string_view>();
    return terms.empty() || std::any_of(terms.begin(), terms.end(), IsAuthorTerm);
}

std::string NameOf(const MarcDataField& field, MarcFlavour flavour) {
    if (!IsMarc21(flavour)) {
        return NameOfParts(field.First('a'), field.First('b'));
    }
    // A first indicator 0 is a name entered under the forename ("Homer"): nothing to turn.
    return field.indicator1 == '0' ? WithoutEndPunctuation(field.First('a'))
                                   : NameOfInvertedHeading(field.First('a'));
}

std::string Authors(const MarcRecord& record, MarcFlavour flavour) {
    std::vector<std::string> names;
    const auto add = [&names](std::string name) {
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(std::move(name));
        }
    };
    // The MARC 21 main entry is the author by the cataloguing rules, whatever its relator.
    if (IsMarc21(flavour)) {
        for (const MarcDataField* field : record.Fields("100")) {
            add(NameOf(*field, flavour));
        }
    }
    const auto added = IsMarc21(flavour) ? FieldsOf(record, {{"700"}})
                                         : FieldsOf(record, {{"700"}, {"701"}, {"702"}});
    for (const MarcDataField* field : added) {
        if (NamesAnAuthor(*field, flavour)) {
            add(NameOf(*field, flavour));
        }
    }
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : ", ") + name;
    }
    return joined;
}

std::string Publisher(const MarcRecord& record, MarcFlavour flavour) {
    const auto fields = IsMarc21(flavour) ? FieldsOf(record, {{"264", '1'}, {"260"}})
                                          : FieldsOf(record, {{"210"}, {"214", '1'}});
    for (const MarcDataField* field : fields) {
        std::string name = PublisherName(field->First(IsMarc21(flavour) ? 'b' : 'c'));
        if (!name.empty()) {
            return name;
        }
    }
    return {};
}

// The coded dates: MARC 21 008/06-14, UNIMARC 100 $a/8-16 (the type of date, then two dates).
struct CodedDates {
    char type = ' ';
    std::string_view first, second;
};

CodedDates CodedDatesOf(const MarcRecord& record, MarcFlavour flavour) {
    std::string_view data;
    std::size_t at = 0;
    if (IsMarc21(flavour)) {
        data = record.Control("008");
        at = 6;
    } else if (const auto fields = record.Fields("100"); !fields.empty()) {
        data = fields.front()->First('a');
        at = 8;
    }
    if (data.size() < at + 9) {
        return {};
    }
    return {data[at], data.substr(at + 1, 4), data.substr(at + 5, 4)};
}

// A coded date is four digits; "19uu" and blanks are none.
std::int32_t CodedYear(std::string_view date) {
    const bool digits =
        std::all_of(date.begin(), date.end(), [](char c) { return c >= '0' && c <= '9'; });
    return date.size() == 4 && digits ? YearIn(date) : kUnknownNumber;
}

std::int32_t EditionYear(const MarcRecord& record, MarcFlavour flavour) {
    const auto fields = IsMarc21(flavour) ? FieldsOf(record, {{"264", '1'}, {"264", '4'}, {"260"}})
                                          : FieldsOf(record, {{"210"}, {"214", '1'}, {"214", '4'}});
    for (const MarcDataField* field : fields) {
        const std::int32_t year = YearIn(field->First(IsMarc21(flavour) ? 'c' : 'd'));
        if (!IsUnknown(year)) {
            return year;
        }
    }
    // Types whose first date is the publication's: single, reprint, publication and copyright,
    // multiple, detailed, distribution (MARC 21); complete within a year, reproduction, with a
    // copyright date, with a production date, detailed (UNIMARC).
    const CodedDates dates = CodedDatesOf(record, flavour);
    const std::string_view published = IsMarc21(flavour) ? "srtmep" : "dehij";
    return published.find(dates.type) != std::string_view::npos ? CodedYear(dates.first)
                                                                : kUnknownNumber;
}

std::int32_t FirstYear(const MarcRecord& record, MarcFlavour flavour) {
    const CodedDates dates = CodedDatesOf(record, flavour);
    return dates.type == (IsMarc21(flavour) ? 'r' : 'e') ? CodedYear(dates.second) : kUnknownNumber;
}

std::int32_t Pages(const MarcRecord& record, MarcFlavour flavour) {
    for (const MarcDataField* field : record.Fields(IsMarc21(flavour) ? "300" : "215")) {
        const std::int32_t pages = PagesIn(field->First('a'));
        if (!IsUnknown(pages)) {
            return pages;
        }
    }
    return kUnknownNumber;
}

struct Series {
    std::string name;
    std::int32_t number = kUnknownNumber;
};

Series SeriesOf(const MarcDataField& field) {
    std::string name(field.First('a'));
    std::string volume(field.First('v'));
    // "Biblioteca pentru toti ; 1234" written whole in $a.
    if (const std::size_t semicolon = name.rfind(" ; ");
        volume.empty() && semicolon != std::string::npos &&
        !IsUnknown(NumberIn(std::string_view(name).substr(semicolon)))) {
        volume = name.substr(semicolon + 3);
        name.resize(semicolon);
    }
    return {WithoutEndPunctuation(name), NumberIn(volume)};
}

Series SeriesOf(const MarcRecord& record, MarcFlavour flavour) {
    const auto fields =
        IsMarc21(flavour) ? FieldsOf(record, {{"490"}, {"830"}}) : FieldsOf(record, {{"225"}});
    for (const MarcDataField* field : fields) {
        Series series = SeriesOf(*field);
        if (!series.name.empty()) {
            return series;
        }
    }
    return {};
}

void Fit(const std::string& text, std::string& field, const char* label, LookupRecord& book) {
    bool cut = false;
    field = FitOutsideText(text, cut);
    if (cut) {
        book.shortened.emplace_back(label);
    }
}

} // namespace

LookupRecord BookOfMarc(const MarcRecord& record, MarcFlavour flavour) {
    LookupRecord book;
    Fit(Title(record, flavour), book.titlu, "Titlu", book);
    Fit(Authors(record, flavour), book.autor, "Autor", book);
    Fit(Publisher(record, flavour), book.editura, "Editura", book);
    const Series series = SeriesOf(record, flavour);
    Fit(series.name, book.serie, "Serie", book);
    book.numar_serie = series.number;
    book.pagini = Pages(record, flavour);
    book.publicare_volum = EditionYear(record, flavour);
    book.publicare = FirstYear(record, flavour);
    return book;
}
