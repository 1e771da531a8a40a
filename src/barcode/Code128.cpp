#include "barcode/Code128.h"

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>
#include <exception>
#include <string>

std::vector<bool> Code128Modules(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    try {
        // Width 0 and no margin: one pixel a module.
        const ZXing::BitMatrix bars = ZXing::MultiFormatWriter(ZXing::BarcodeFormat::Code128)
                                          .setMargin(0)
                                          .encode(std::string(text), 0, 1);
        std::vector<bool> modules(static_cast<std::size_t>(bars.width()));
        for (int x = 0; x < bars.width(); ++x) {
            modules[static_cast<std::size_t>(x)] = bars.get(x, 0);
        }
        return modules;
    } catch (const std::exception&) {
        // ZXing throws for a character outside Code 128's set.
        return {};
    }
}
