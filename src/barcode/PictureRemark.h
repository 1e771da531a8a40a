#pragma once

#include "barcode/BarcodeReading.h"

#include <string>
#include <string_view>

// What the summary of pictures read says of one, named `name`: nothing when it held one ISBN
// and no other code; "coperta.jpg: 2 coduri" for more than one; "spate.jpg: nici un ISBN" for
// none; the codes refused named after; and a file that is no picture said so.
std::string PictureRemark(std::string_view name, const PictureIsbns& found, bool readable);
