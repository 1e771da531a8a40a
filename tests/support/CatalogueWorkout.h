#pragma once

#include <string>

class CBookDatabase;

// Does with an open catalogue everything the program does: reloads the lookups, lists all books
// and turns them into rows, sorts by every column, runs every search, both statistics, adds
// a book, lends it, lists the loans and returns it. Returns how many rows the full listing gave.
int WorkOutCatalogue(CBookDatabase& db);
