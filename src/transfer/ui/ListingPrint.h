#pragma once

#include <QString>

class CBookListModel;
class QPrinter;

// Landscape A4, as a thirteen-column listing needs.
void SetUpListingPrinter(QPrinter& printer);

// Prints the rows the list shows, in its order, as a table under the thirteen headers, with the
// catalogue's name and the date at the top of each page and its number at the foot. False when
// the printer cannot be painted on (a file that cannot be written).
bool PrintListing(QPrinter& printer, const CBookListModel& model, const QString& catalogueName);
