// libFuzzer target: any bytes as a catalogue file, opened and used as the program uses it.
// Built with `make fuzz`; crashing inputs go to tests/faults/corpus as regression files.

#include "CBookDatabase.h"
#include "CatalogueWorkout.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

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
