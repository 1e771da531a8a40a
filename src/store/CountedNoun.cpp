#include "store/CountedNoun.h"

std::string CountedNoun(long long n, std::string_view singular, std::string_view plural) {
    std::string out = std::to_string(n) + ' ';
    if (n == 1) {
        return out.append(singular);
    }
    const long long lastTwo = (n < 0 ? -n : n) % 100;
    if (n != 0 && (lastTwo == 0 || lastTwo >= 20)) {
        out += "de ";
    }
    return out.append(plural);
}
