// libFuzzer target: any bytes as a catalogue file, opened and used as the program uses it.
// Built with `make fuzz`; crashing inputs go to tests/faults/corpus as regression files.

#include "store/CBookDatabase.h"
#include "support/CatalogueWorkout.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

// Random bytes never pass for a catalogue, so the corpus starts from real ones.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    for (int i = *argc - 1; i > 0; --i) {
        const std::filesystem::path dir = (*argv)[i];
        if ((*argv)[i][0] == '-' || !std::filesystem::is_directory(dir)) {
            continue;
        }
        for (int books : {0, 3, 25}) {
            const std::string seed = (dir / ("seed-" + std::to_string(books) + ".mdb")).string();
            if (std::filesystem::exists(seed)) {
                continue;
            }
            CBookDatabase db([](const std::string&) {});
            db.Create(seed);
            db.CreateTables();
            db.InsertType("Roman");
            db.InsertState("Acasa");
            for (int b = 0; b < books; ++b) {
                db.InsertBook("Book's " + std::to_string(b), "Ştefan", "E", b % 3, b, 1, 1, -b, 1,
                              b % 2, b % 7, 0);
            }
            db.Close();
        }
        break;
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/shelfwarden-fuzz-" + std::to_string(::getpid()) + ".mdb";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    CBookDatabase db([](const std::string&) {});
    if (db.Open(path)) {
        WorkOutCatalogue(db);
        db.Close();
    }
    std::remove(path.c_str());
    std::remove((path + "-journal").c_str());
    return 0;
}
