#include "bulk/BulkEditFields.h"

#include "isbn/CBookDetailsStore.h"
#include "store/BookFieldChecks.h"
#include "store/BookRecord.h"
#include "store/CatalogueMessages.h"
#include "store/CountedNoun.h"
#include "store/FixedNames.h"
#include "store/IntegerText.h"

namespace {

// A number of the book's own: a whole number the catalogue's column holds.
const char* NumberField(const std::optional<std::string>& typed, const char* column,
                        std::vector<BulkField>& fields) {
    if (!typed) {
        return nullptr;
    }
    const std::optional<int> value = ParseIntegerField(*typed);
    if (!value) {
        return msg::kNotAWholeNumber;
    }
    if (!FitsNumberColumn(*value)) {
        return msg::kIntegerOutOfRange;
    }
    fields.push_back({column, std::int64_t{*value}, false});
    return nullptr;
}

StoredValue DetailText(const std::string& text) {
    return text.empty() ? StoredValue{} : StoredValue{text};
}

} // namespace

const char* BulkEditFields(const BulkEdit& edit, std::vector<BulkField>& fields) {
    fields.clear();
    std::vector<BulkField> numbers;
    for (const auto& [typed, column] : {std::pair{&edit.pagini, "pagini"},
                                        {&edit.capitole, "capitole"},
                                        {&edit.volume, "volume"},
                                        {&edit.publicare, "publicare"},
                                        {&edit.publicare_volum, "publicare_volum"}}) {
        if (const char* problem = NumberField(*typed, column, numbers)) {
            return problem;
        }
    }
    // The book dialog's checks, on the fields given; those not given stand in as fine.
    BookFieldValues v{"x", "x", "x", 1, 1, 1, 1, false, false};
    v.titlu = edit.titlu.value_or(v.titlu);
    v.autor = edit.autor.value_or(v.autor);
    v.editura = edit.editura.value_or(v.editura);
    for (const BulkField& n : numbers) {
        const auto value = static_cast<int>(std::get<std::int64_t>(n.value));
        for (const auto& [column, field] : {std::pair{"pagini", &v.pagini},
                                            {"capitole", &v.capitole},
                                            {"volume", &v.volume},
                                            {"publicare_volum", &v.publicareVolum}}) {
            if (n.column == column) {
                *field = value;
            }
        }
    }
    if (const char* problem = FirstFailedFieldCheck(v)) {
        return problem;
    }
    for (const auto& [text, column] :
         {std::pair{&edit.titlu, "titlu"}, {&edit.autor, "autor"}, {&edit.editura, "editura"}}) {
        if (*text && !FitsTextColumn(**text)) {
            return msg::kTextTooLong;
        }
        if (*text) {
            fields.push_back({column, **text, false});
        }
    }
    if (edit.tip) {
        fields.push_back({"tip", std::int64_t{StoredLookupValue(*edit.tip)}, false});
    }
    fields.insert(fields.end(), numbers.begin(), numbers.end());
    if (edit.citita.has_value() != edit.calificativ.has_value()) {
        return msg::kReadAndRatingTogether;
    }
    if (edit.citita) {
        const auto name = [](const auto& names, int at) {
            return at >= 0 && at < static_cast<int>(names.size())
                       ? names[static_cast<std::size_t>(at)]
                       : std::string();
        };
        if (const char* problem = CheckRatingAgainstRead(name(g_readNames, *edit.citita),
                                                         name(g_ratingNames, *edit.calificativ))) {
            return problem;
        }
        fields.push_back({"citita", std::int64_t{*edit.citita}, false});
        fields.push_back({"calificativ", std::int64_t{*edit.calificativ}, false});
    }
    if (edit.stare) {
        fields.push_back({"stare", std::int64_t{StoredLookupValue(*edit.stare)}, false});
    }
    BookDetails details;
    details.isbn = edit.isbn.value_or("");
    details.locatie = edit.locatie.value_or("");
    details.serie = edit.serie.value_or("");
    details.note = edit.note.value_or("");
    if (edit.numar_serie && !edit.numar_serie->empty()) {
        const std::optional<int> number = ParseIntegerField(*edit.numar_serie);
        if (!number) {
            return msg::kNotAWholeNumber;
        }
        details.numar_serie = *number;
    }
    if (const char* problem = CBookDetailsStore::Problem(details)) {
        return problem;
    }
    for (const auto& [given, text, column] :
         {std::tuple{edit.isbn.has_value(), &details.isbn, "isbn"},
          {edit.locatie.has_value(), &details.locatie, "locatie"},
          {edit.serie.has_value(), &details.serie, "serie"},
          {edit.note.has_value(), &details.note, "note"}}) {
        if (given) {
            fields.push_back({column, DetailText(*text), true});
        }
    }
    if (edit.numar_serie) {
        fields.push_back({"numar_serie",
                          IsUnknown(details.numar_serie)
                              ? StoredValue{}
                              : StoredValue{std::int64_t{details.numar_serie}},
                          true});
    }
    return fields.empty() ? msg::kNothingToChange : nullptr;
}

std::string BulkStepText(const char* change, std::size_t books) {
    return std::string("Anuleaza ") + change + " a " +
           CountedNoun(static_cast<long long>(books), "carte", "carti");
}

std::string NamedLines(const std::vector<std::string>& lines, std::size_t most) {
    std::string named;
    for (std::size_t i = 0; i < lines.size() && i < most; ++i) {
        named += "\n" + lines[i];
    }
    if (lines.size() > most) {
        named += "\n... si inca " + std::to_string(lines.size() - most);
    }
    return named;
}
