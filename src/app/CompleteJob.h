#pragma once

#include <string>

// `shelfwarden --complete CATALOGUE [--all]`: looks up every book of the catalogue that has an ISBN
// in the sources the settings name, fills only the fields that are empty (never replacing one), in
// one transaction under the catalogue's write lock, and prints what it did: books asked, found,
// not found and failed, the fields filled per field, the books another program changed meanwhile.
// Exit status 0 on success; 1, with the catalogue untouched, on any failure.
// With `all`, a book without an ISBN is searched by its title and author, and a work whose title
// and author are the book's fills its empty fields too.
int RunComplete(const std::string& catalogue, bool all);
