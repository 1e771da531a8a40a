#include "lookup/MarcRecord.h"

std::string_view MarcDataField::First(char code) const {
    for (const MarcSubfield& subfield : subfields) {
        if (subfield.code == code) {
            return subfield.value;
        }
    }
    return {};
}

std::vector<std::string_view> MarcDataField::All(char code) const {
    std::vector<std::string_view> values;
    for (const MarcSubfield& subfield : subfields) {
        if (subfield.code == code) {
            values.push_back(subfield.value);
        }
    }
    return values;
}

std::string_view MarcRecord::Control(std::string_view tag) const {
    for (const MarcControlField& field : controlFields) {
        if (field.tag == tag) {
            return field.data;
        }
    }
    return {};
}

std::vector<const MarcDataField*> MarcRecord::Fields(std::string_view tag) const {
    std::vector<const MarcDataField*> found;
    for (const MarcDataField& field : dataFields) {
        if (field.tag == tag) {
            found.push_back(&field);
        }
    }
    return found;
}
