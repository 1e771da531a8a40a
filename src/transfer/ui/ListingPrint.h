#pragma once

#include <QString>
#include <vector>

class CBookListModel;
class QPagedPaintDevice;

// Landscape A4, as a thirteen-column listing needs. The pages go to a printer, or to a PDF
// writer (into memory, so that the file is written whole or not at all).
void SetUpListingPrinter(QPagedPaintDevice& printer);

// Prints the rows the list shows, in its order (or the rows `rows` names alone), as a table
// under the thirteen headers, with the catalogue's name and the date at the top of each page and
// its number at the foot. False when the printer cannot be painted on (a file that cannot be
// written).
bool PrintListing(QPagedPaintDevice& printer, const CBookListModel& model,
                  const QString& catalogueName, std::vector<int> rows = {});
