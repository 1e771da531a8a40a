#pragma once

#include <cstdint>
#include <string>

// What a book's label shows: its title, author and location, and its code as a barcode.
struct BookLabel {
    std::int32_t id = 0;
    std::string title;
    std::string author;
    std::string location;
};
