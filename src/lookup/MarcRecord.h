#pragma once

#include <string>
#include <string_view>
#include <vector>

// The two ways libraries write a bibliographic record: MARC 21 (the Library of Congress, the
// Deutsche Nationalbibliothek) and UNIMARC (the Bibliotheque nationale de France). The fields
// share a shape but not their tags.
enum class MarcFlavour { Marc21, Unimarc };

struct MarcSubfield {
    char code = 'a';
    std::string value; // UTF-8, as catalogued (punctuation included)
};

// A control field (tags 001-009): its data alone, positions counting from 0.
struct MarcControlField {
    std::string tag;
    std::string data;
};

struct MarcDataField {
    std::string tag;
    char indicator1 = ' ';
    char indicator2 = ' ';
    std::vector<MarcSubfield> subfields; // in the record's order

    // The value of the first subfield of this code; empty when there is none.
    std::string_view First(char code) const;
    // The values of every subfield of this code, in order.
    std::vector<std::string_view> All(char code) const;
};

// One record as a reader of MARCXML or ISO 2709 gives it; already in UTF-8.
struct MarcRecord {
    std::string leader;
    std::vector<MarcControlField> controlFields;
    std::vector<MarcDataField> dataFields;

    // The data of the first control field of this tag; empty when there is none.
    std::string_view Control(std::string_view tag) const;
    // The data fields of this tag, in the record's order.
    std::vector<const MarcDataField*> Fields(std::string_view tag) const;
};
