#pragma once

#include <QString>
#include <string>

class CBookDatabase;
class QWidget;

// A path as the file system takes it.
std::string OutputFileName(const QString& path);
// A file as a message names it: its name alone.
std::string ShownFileName(const QString& path);

// Every file written from the window passes the one output check first; a refusal is told and
// nothing is written.
bool MayWrite(const QString& path, const CBookDatabase& db, QWidget* parent);
