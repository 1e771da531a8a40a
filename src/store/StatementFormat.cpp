#include "store/StatementFormat.h"

#include <algorithm>

#include <stdexcept>

std::string FormatStatementArgs(std::string_view format, std::initializer_list<StatementArg> args) {
    std::string out;
    out.reserve(format.size() + 32);
    auto next = args.begin();
    auto take = [&]() -> const StatementArg& {
        if (next == args.end()) {
            throw std::logic_error("statement format has more conversions than arguments");
        }
        return *next++;
    };
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        std::size_t j = i + 1;
        if (j < format.size() && format[j] == '%') {
            out += '%';
            i = j;
            continue;
        }
        if (j < format.size() && format[j] == 'l') {
            ++j;
        }
        if (j >= format.size()) {
            throw std::logic_error("statement format ends in a lone %");
        }
        const StatementArg& arg = take();
        if (format[j] == 'd' && std::holds_alternative<StatementNull>(arg)) {
            out += "NULL";
        } else if (format[j] == 'd') {
            if (!std::holds_alternative<std::int64_t>(arg)) {
                throw std::logic_error("%d given a text");
            }
            out += std::to_string(std::get<std::int64_t>(arg));
        } else if (format[j] == 's') {
            if (!std::holds_alternative<std::string_view>(arg)) {
                throw std::logic_error("%s given a number");
            }
            for (char ch : std::get<std::string_view>(arg)) {
                out += ch;
                if (ch == '\'') {
                    out += '\'';
                }
            }
        } else {
            throw std::logic_error("unsupported statement conversion");
        }
        i = j;
    }
    if (next != args.end()) {
        throw std::logic_error("statement format has fewer conversions than arguments");
    }
    return out;
}

std::string QuotedName(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

std::string BlobLiteral(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2 + 3);
    out += "X'";
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    out += '\'';
    return out;
}

std::string IdList(const std::vector<std::int32_t>& ids) {
    std::string list;
    for (const std::int32_t id : ids) {
        list += (list.empty() ? "" : ",") + std::to_string(id);
    }
    return list;
}

void ForEachIdList(const std::vector<std::int32_t>& ids,
                   const std::function<void(const std::string& list)>& each) {
    constexpr std::size_t kPart = 4000;
    for (std::size_t first = 0; first < ids.size(); first += kPart) {
        const auto from = ids.begin() + static_cast<std::ptrdiff_t>(first);
        each(IdList(
            {from, from + static_cast<std::ptrdiff_t>(std::min(kPart, ids.size() - first))}));
    }
}
