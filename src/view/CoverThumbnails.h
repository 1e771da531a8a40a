#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The pictures of the cover grid are kept small beside the look-up's cache, made once per cover:
// a thumbnail is named after what it shows, so a cover that changes gets a new one and the old is
// simply never asked for again. A name is made only of hexadecimal digits, a height and the
// digits of a checked ISBN, never of what a file or an answer says.

// The thumbnail of a cover the user chose, by the cover's bytes ("c3f0...9a-240.jpg").
std::string ChosenCoverThumbnail(std::string_view cover, int height);
// The thumbnail of a looked-up cover, by the book's ISBN ("isbn-9789734610000-240.jpg"); empty
// when the ISBN is not 13 digits.
std::string LookedUpCoverThumbnail(std::string_view isbn13, int height);

// The colour of a book's card when it has no cover: one of a few calm hues, always the same for
// a type, so the books of one type look alike in the grid.
struct CardColour {
    int red;
    int green;
    int blue;
};
CardColour TypeCardColour(std::int32_t type);
