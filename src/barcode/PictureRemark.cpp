#include "barcode/PictureRemark.h"

#include "store/CountedNoun.h"

std::string PictureRemark(std::string_view name, const PictureIsbns& found, bool readable) {
    std::string remark(name);
    if (!readable) {
        return remark + ": nu este o imagine care poate fi citita";
    }
    if (found.isbns.size() == 1 && found.refused.empty()) {
        return {};
    }
    remark += ": ";
    remark += found.isbns.empty() ? std::string("nici un ISBN")
              : found.isbns.size() > 1
                  ? CountedNoun(static_cast<long long>(found.isbns.size()), "cod", "coduri")
                  : std::string("1 ISBN");
    for (const std::string& code : found.refused) {
        remark += "; " + code + " nu este ISBN";
    }
    return remark;
}
