#pragma once

#include "lookup/LookupRecord.h"

#include <QByteArray>
#include <string>

// What Google Books answered to `volumes?q=isbn:<isbn13>`. Its search may return other editions
// or other books (a near miss), so an item counts only when its industryIdentifiers name the
// ISBN asked: ISBN_13 the 13 digits, or ISBN_10 the ISBN-10 a 978 ISBN stands for.
struct GoogleBooksAnswer {
    // Found: an item names the ISBN. NotFound: {"totalItems": 0}, or no item names it.
    // Malformed: not a JSON object, or neither items nor a count of none.
    enum class Kind { Found, NotFound, Malformed } kind = Kind::Malformed;
    // The first such item's volumeInfo: title (": " and its subtitle), authors joined by ", ",
    // publisher, the edition's year from publishedDate ("2004-03-15"), pageCount when the
    // catalogue can hold it, and imageLinks.thumbnail when it is an http or https address.
    // Texts are made fit for the catalogue, those cut named ("Titlu", "Autor", "Editura").
    LookupRecord record;
};

GoogleBooksAnswer ReadGoogleBooksAnswer(const QByteArray& json, const std::string& isbn13);
