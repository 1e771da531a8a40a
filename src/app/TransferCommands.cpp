#include "TransferCommands.h"

#include "CBookDatabase.h"
#include "CatalogueExport.h"
#include "CatalogueImport.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

void Error(const std::string& text) {
    std::fprintf(stderr, "shelfwarden: %s\n", text.c_str());
}

MessageSink ToStderr() {
    return [](const std::string& m) { Error(m); };
}

} // namespace

int RunExport(const std::string& catalogue, const std::string& csvPath) {
    CBookDatabase db(ToStderr());
    if (!db.Open(catalogue)) {
        Error(catalogue + ": not a catalogue that can be opened");
        return 1;
    }
    std::string csv;
    if (!ExportCsv(db, csv)) {
        Error(catalogue + ": the books cannot be read");
        return 1;
    }
    std::ofstream out(csvPath, std::ios::binary | std::ios::trunc);
    out << csv;
    out.close();
    if (!out) {
        Error(csvPath + ": cannot be written");
        return 1;
    }
    return 0;
}

int RunImport(const std::string& csvPath, const std::string& catalogue) {
    std::ifstream in(csvPath, std::ios::binary);
    if (!in) {
        Error(csvPath + ": cannot be read");
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    CBookDatabase db(ToStderr());
    const bool created = !std::filesystem::exists(catalogue);
    if (created) {
        if (!db.Create(catalogue)) {
            return 1;
        }
        db.CreateTables();
    } else if (!db.Open(catalogue)) {
        Error(catalogue + ": not a catalogue that can be opened");
        return 1;
    }
    const ImportResult r = ImportCsv(text.str(), db);
    db.Close();
    if (!r.ok) {
        Error(csvPath + ":" + std::to_string(r.errorLine) + ": " + r.error + "; nothing imported");
        if (created) {
            std::filesystem::remove(catalogue);
        }
        return 1;
    }
    std::printf("Imported %d books, %d types, %d states into %s\n", r.books, r.types, r.states,
                catalogue.c_str());
    return 0;
}
