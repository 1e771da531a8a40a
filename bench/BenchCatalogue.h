#pragma once

#include <QString>
#include <string>
#include <vector>

// The books of a benchmark catalogue: titles and authors from a CSV file when given, otherwise
// generated (with apostrophes and non-ASCII letters among them), and a realistic spread of the
// other fields.
struct BenchBook {
    std::string titlu, autor, editura;
    int tip, pagini, capitole, volume, publicare, publicare_volum, citita, calificativ, stare;
};

std::vector<BenchBook> MakeBenchBooks(int count, const std::string& titlesCsv);

// Writes the same books twice: into a program catalogue (through the program's own schema) and
// into a reference file of bare SQLite tables (no checks, no triggers) with the same indexes.
void WriteProgramCatalogue(const std::string& path, const std::vector<BenchBook>& books);
void WriteReferenceCatalogue(const std::string& path, const std::vector<BenchBook>& books);

// Lends every tenth book, in the program's own loans table or in a bare one with the same
// index; due dates spread over two months around `today`, one loan in five without one.
void AddProgramLoans(const std::string& path, const std::string& today);
void AddReferenceLoans(const std::string& path, const std::string& today);

// Writes, into `folder`, what Open Library would answer about `count` made-up books, one file
// "<isbn13>.json" each (the replay server's shape), and gives their ISBNs.
std::vector<std::string> WriteBenchAnswers(const QString& folder, int count);

inline constexpr int kBenchTypes = 24;
inline constexpr int kBenchStates = 4;
