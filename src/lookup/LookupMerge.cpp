#include "lookup/LookupMerge.h"

#include <algorithm>

namespace {

// Takes a text the record lacks, with its "cut to fit" mark when it has a label; true when it
// took it.
bool FillText(LookupRecord& record, std::string LookupRecord::*field, const LookupRecord& next,
              const char* label) {
    if (!(record.*field).empty() || (next.*field).empty()) {
        return false;
    }
    record.*field = next.*field;
    const auto& cut = next.shortened;
    if (label != nullptr && std::find(cut.begin(), cut.end(), label) != cut.end()) {
        record.shortened.emplace_back(label);
    }
    return true;
}

bool FillNumber(std::int32_t& number, std::int32_t nextNumber) {
    if (!IsUnknown(number) || IsUnknown(nextNumber)) {
        return false;
    }
    number = nextNumber;
    return true;
}

bool FillSeries(LookupRecord& record, const LookupRecord& next) {
    const bool sameSeries = !record.serie.empty() && record.serie == next.serie;
    bool filled = FillText(record, &LookupRecord::serie, next, "Serie");
    if (filled || sameSeries) {
        filled = FillNumber(record.numar_serie, next.numar_serie) || filled;
    }
    return filled;
}

// Fills what `next` can; true when it filled anything.
bool Fill(LookupRecord& record, const LookupRecord& next) {
    bool filled = FillText(record, &LookupRecord::titlu, next, "Titlu");
    filled = FillText(record, &LookupRecord::autor, next, "Autor") || filled;
    filled = FillText(record, &LookupRecord::editura, next, "Editura") || filled;
    filled = FillSeries(record, next) || filled;
    filled = FillNumber(record.pagini, next.pagini) || filled;
    filled = FillNumber(record.publicare, next.publicare) || filled;
    filled = FillNumber(record.publicare_volum, next.publicare_volum) || filled;
    return FillText(record, &LookupRecord::coverUrl, next, nullptr) || filled;
}

} // namespace

void MergeFrom(MergedLookup& merged, const LookupRecord& next, const std::string& sourceName) {
    const bool givesTitle = merged.record.titlu.empty() && !next.titlu.empty();
    if (!Fill(merged.record, next)) {
        return;
    }
    auto& sources = merged.sources;
    if (std::find(sources.begin(), sources.end(), sourceName) != sources.end()) {
        return;
    }
    sources.insert(givesTitle ? sources.begin() : sources.end(), sourceName);
}

bool StillMissing(const LookupRecord& record) {
    return record.titlu.empty() || record.autor.empty() || record.editura.empty() ||
           IsUnknown(record.publicare_volum) || IsUnknown(record.pagini) || record.serie.empty() ||
           IsUnknown(record.numar_serie) || record.coverUrl.empty();
}

std::string FoundAtText(const MergedLookup& merged) {
    std::string text;
    for (const std::string& source : merged.sources) {
        text += (text.empty() ? "Gasit la: " : ", ") + source;
    }
    return text;
}
