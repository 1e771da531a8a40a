#pragma once

#include <QString>
#include <functional>
#include <string>

class CBookDatabase;
class QPagedPaintDevice;
class QWidget;

// A path as the file system takes it.
std::string OutputFileName(const QString& path);
// A file as a message names it: its name alone.
std::string ShownFileName(const QString& path);

// Every file written from the window passes the one output check first; a refusal is told and
// nothing is written.
bool MayWrite(const QString& path, const CBookDatabase& db, QWidget* parent);

// Writes as a PDF at `path` the pages `paint` draws (false when it could not paint), whole or not
// at all: made in memory, since the PDF writer tells no failed write, and written as a CSV is.
// A failure is told; true when the file was written.
bool WritePdf(const QString& path, const std::function<bool(QPagedPaintDevice&)>& paint,
              QWidget* parent);
