#pragma once

#include <string>
#include <string_view>

// A number with its noun as Romanian says it: "1 carte", "2 carti", "19 carti", "20 de carti",
// "101 carti", "120 de carti". One takes the singular; zero and numbers whose last two digits
// are 1 to 19 take the plural alone; the others take "de" before it.
std::string CountedNoun(long long n, std::string_view singular, std::string_view plural);
