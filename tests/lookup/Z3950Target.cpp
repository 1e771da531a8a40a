// A Z39.50 target for the look-up's tests, made with YAZ's own server (the GFS):
//
//     z3950_target RECORDS tcp:127.0.0.1:PORT
//
// RECORDS holds ISO 2709 records one after another, each ending in 0x1D and preceded by one
// letter, "M" for MARC 21 (USMARC) or "U" for UNIMARC, or "X" for XML served whatever the client
// asks. A search must ask for an ISBN (Bib-1 use attribute 7, else diagnostic 114) and finds the
// records whose bytes hold its term; a MARC record is served only in its own syntax (else
// diagnostic 239), so a client asking in the wrong one gets nothing.
#include <yaz/backend.h>
#include <yaz/diagbib1.h>
#include <yaz/oid_util.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Served {
    char kind = 'M';
    std::string bytes;
};
std::vector<Served> gRecords;

struct Session {
    std::vector<size_t> found;
};

bool ReadRecords(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::string all{std::istreambuf_iterator<char>(in), {}};
    for (size_t at = 0; at < all.size();) {
        const size_t end = all.find('\x1d', at);
        if (end == std::string::npos || std::strchr("MUX", all[at]) == nullptr)
            return false;
        gRecords.push_back({all[at], all.substr(at + 1, end - at)});
        at = end + 1;
    }
    return true;
}

// The term of a query that is one ISBN, or false.
bool IsbnTerm(const Z_Query* query, std::string& term) {
    if (query->which != Z_Query_type_1 && query->which != Z_Query_type_101)
        return false;
    const Z_RPNStructure* rpn = query->u.type_1->RPNStructure;
    if (rpn->which != Z_RPNStructure_simple || rpn->u.simple->which != Z_Operand_APT)
        return false;
    const Z_AttributesPlusTerm* apt = rpn->u.simple->u.attributesPlusTerm;
    bool isbn = false;
    for (int i = 0; i < apt->attributes->num_attributes; ++i) {
        const Z_AttributeElement* a = apt->attributes->attributes[i];
        if (*a->attributeType == 1)
            isbn = a->which == Z_AttributeValue_numeric && *a->value.numeric == 7;
    }
    if (!isbn || apt->term->which != Z_Term_general)
        return false;
    term.assign(apt->term->u.general->buf, apt->term->u.general->len);
    return true;
}

int Search(void* handle, bend_search_rr* rr) {
    auto* session = static_cast<Session*>(handle);
    session->found.clear();
    std::string term;
    if (!IsbnTerm(rr->query, term)) {
        rr->errcode = YAZ_BIB1_UNSUPP_USE_ATTRIBUTE;
        return 0;
    }
    for (size_t i = 0; i < gRecords.size(); ++i) {
        if (gRecords[i].bytes.find(term) != std::string::npos)
            session->found.push_back(i);
    }
    rr->hits = static_cast<Odr_int>(session->found.size());
    return 0;
}

int Fetch(void* handle, bend_fetch_rr* rr) {
    const auto* session = static_cast<Session*>(handle);
    if (rr->number < 1 || static_cast<size_t>(rr->number) > session->found.size()) {
        rr->errcode = YAZ_BIB1_PRESENT_REQUEST_OUT_OF_RANGE;
        return 0;
    }
    const Served& served = gRecords[session->found[rr->number - 1]];
    const Odr_oid* syntax = served.kind == 'U'   ? yaz_oid_recsyn_unimarc
                            : served.kind == 'X' ? yaz_oid_recsyn_xml
                                                 : yaz_oid_recsyn_usmarc;
    if (served.kind != 'X' &&
        (!rr->request_format || oid_oidcmp(rr->request_format, syntax) != 0)) {
        rr->errcode = YAZ_BIB1_RECORD_SYNTAX_UNSUPP;
        rr->surrogate_flag = 1;
        return 0;
    }
    rr->output_format = odr_oiddup(rr->stream, syntax);
    rr->len = static_cast<int>(served.bytes.size());
    rr->record = static_cast<char*>(odr_malloc(rr->stream, served.bytes.size()));
    std::memcpy(rr->record, served.bytes.data(), served.bytes.size());
    rr->basename = odr_strdup(rr->stream, "Default");
    rr->last_in_set = static_cast<size_t>(rr->number) == session->found.size();
    return 0;
}

bend_initresult* Init(bend_initrequest* q) {
    auto* result = static_cast<bend_initresult*>(odr_malloc(q->stream, sizeof(bend_initresult)));
    result->errcode = 0;
    result->errstring = nullptr;
    result->handle = new Session;
    q->bend_search = Search;
    q->bend_fetch = Fetch;
    return result;
}

void Close(void* handle) {
    delete static_cast<Session*>(handle);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || !ReadRecords(argv[1])) {
        std::fprintf(stderr, "usage: z3950_target RECORDS tcp:HOST:PORT\n");
        return 2;
    }
    // One process, no forking: the test stops it by its id.
    char program[] = "z3950_target";
    char single[] = "-S";
    char* serverArgs[] = {program, single, argv[2], nullptr};
    return statserv_main(3, serverArgs, Init, Close);
}
