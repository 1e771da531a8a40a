#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A value that is not known: %d writes it as NULL.
struct StatementNull {};

// One argument of a statement: a number, a text, or no value.
using StatementArg = std::variant<std::int64_t, std::string_view, StatementNull>;

// Builds a statement printf-style: %d and %ld insert a signed decimal, %s inserts the text
// with every single quote doubled (the format supplies the surrounding quotes), %% a percent
// sign; %d given StatementNull writes NULL. This is the only place where values are spliced into
// SQL.
std::string FormatStatementArgs(std::string_view format, std::initializer_list<StatementArg> args);

inline StatementArg ToStatementArg(std::int64_t v) {
    return v;
}
inline StatementArg ToStatementArg(int v) {
    return std::int64_t{v};
}
inline StatementArg ToStatementArg(const std::string& s) {
    return std::string_view(s);
}
inline StatementArg ToStatementArg(std::string_view s) {
    return s;
}
inline StatementArg ToStatementArg(const char* s) {
    return std::string_view(s);
}
inline StatementArg ToStatementArg(const StatementArg& a) {
    return a;
}

// A table, column or index name as a statement writes it: between double quotes, every double
// quote doubled.
std::string QuotedName(std::string_view name);

// Bytes as a statement writes a blob: X'...' in hexadecimal digits.
std::string BlobLiteral(std::string_view bytes);

// Identifiers as an IN list's text: "1,2,3".
std::string IdList(const std::vector<std::int32_t>& ids);
// The same a few thousand at a time, so that no statement's text grows without end: `each` is
// given every part's list in turn.
void ForEachIdList(const std::vector<std::int32_t>& ids,
                   const std::function<void(const std::string& list)>& each);

template <typename... Args>
std::string FormatStatement(std::string_view format, const Args&... args) {
    return FormatStatementArgs(format, {ToStatementArg(args)...});
}
