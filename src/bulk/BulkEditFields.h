#pragma once

#include "bulk/BulkChange.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the dialog for many books gives: each field the user chose to change, as typed or chosen;
// a field not chosen is nothing.
struct BulkEdit {
    std::optional<std::string> titlu = std::nullopt;
    std::optional<std::string> autor = std::nullopt;
    std::optional<std::string> editura = std::nullopt;
    std::optional<std::int32_t> tip = std::nullopt; // the type's identifier
    std::optional<std::string> pagini = std::nullopt;
    std::optional<std::string> capitole = std::nullopt;
    std::optional<std::string> volume = std::nullopt;
    std::optional<std::string> publicare = std::nullopt;
    std::optional<std::string> publicare_volum = std::nullopt;
    std::optional<int> citita = std::nullopt;      // a position among the read names
    std::optional<int> calificativ = std::nullopt; // a position among the ratings
    std::optional<std::int32_t> stare = std::nullopt;
    std::optional<std::string> isbn = std::nullopt;
    std::optional<std::string> locatie = std::nullopt;
    std::optional<std::string> serie = std::nullopt;
    std::optional<std::string> numar_serie = std::nullopt;
    std::optional<std::string> note = std::nullopt;
};

namespace msg {
inline constexpr const char* kNothingToChange = "Bifati cel putin un camp de schimbat.";
inline constexpr const char* kChooseAValue = "Alegeti o valoare pentru fiecare camp bifat.";
inline constexpr const char* kReadAndRatingTogether =
    "Citita si Calificativ se schimba impreuna: bifati-le pe amandoua.";
} // namespace msg

// Checks the fields as the book dialog checks them (lengths, numbers, the rating with the
// reading) and gives what each book is to be written; the first message that fails, or null.
const char* BulkEditFields(const BulkEdit& edit, std::vector<BulkField>& fields);

// "Anuleaza modificarea a 40 de carti", "Anuleaza stergerea a 2 carti": the step's name.
std::string BulkStepText(const char* change, std::size_t books);

// Lines to name in a message, each after a newline; past `most` of them, the rest are counted
// ("... si inca 92"), so that the message fits on a screen.
std::string NamedLines(const std::vector<std::string>& lines, std::size_t most = 15);
