#pragma once

#include <string>

class CEngineException;

// Why something failed, in Romanian for the window's messages. The command line keeps the
// system's own words.

// The reason behind a system error number: "fisierul nu exista", "discul este plin".
std::string SystemReason(int errnum);
// A failure of the engine: the file is missing, cannot be read, is no catalogue, is locked.
std::string EngineReason(const CEngineException& failure);
// A reason that reached us in English (the system's text for a file that cannot be written or
// renamed, the engine's, or the program's own), perhaps after a file's name: the same in
// Romanian where it is one of the errors a user meets; otherwise as it is.
std::string RomanianReason(const std::string& reason);
