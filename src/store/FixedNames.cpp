#include "store/FixedNames.h"

#include <algorithm>

const std::array<std::string, 7> g_ratingNames = {"Deosebita", "Excelenta", "Foarte buna", "Buna",
                                                  "Mediocra",  "Slaba",     "De citit"};
const std::array<std::string, 2> g_readNames = {"Nu", "Da"};
const std::array<std::string, 24> g_defaultTypeNames = {
    "Clasic",    "SF",           "Fantasy",  "Horror",   "Dragoste",      "Stiinta",
    "Tehnica",   "Teatru",       "Nuvele",   "Poezii",   "Enciclopedie",  "Mistere",
    "OZN",       "Religios",     "Politist", "Aventuri", "Capa si spada", "Anticipatie",
    "Biografie", "Divertisment", "Istorie",  "Razboi",   "Filosofie",     "Alte"};
const std::array<std::string, 4> g_defaultStateNames = {"Hateg", "Timisoara", "Imprumutata",
                                                        "Nedetinuta"};

namespace {
template <std::size_t N>
int IndexIn(const std::array<std::string, N>& names, const std::string& text) {
    const auto it = std::find(names.begin(), names.end(), text);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}
} // namespace

int FindRatingIndex(std::string text) {
    return IndexIn(g_ratingNames, text);
}

int FindReadIndex(std::string text) {
    return IndexIn(g_readNames, text);
}
