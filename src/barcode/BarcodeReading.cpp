#include "barcode/BarcodeReading.h"

#include "isbn/IsbnCode.h"

#include <ZXing/ReadBarcode.h>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

namespace {

// The kinds a book, a label or a phone's code may carry; ITF and Codabar, which a busy picture
// fakes now and then, are not asked for.
constexpr ZXing::BarcodeFormats kKinds =
    ZXing::BarcodeFormat::EAN13 | ZXing::BarcodeFormat::Code128 | ZXing::BarcodeFormat::Code39 |
    ZXing::BarcodeFormat::QRCode | ZXing::BarcodeFormat::DataMatrix;

// Smaller copies of a picture are read down to this many pixels on its shorter side.
constexpr int kSmallestLayer = 250;
// The most codes read from one picture at one size: a pile of books, not a warehouse.
constexpr int kMostCodes = 8;

// "ISBN 0-451-45052-3", "ISBN-10: 0451450523" or the bare characters: the characters.
std::string_view WithoutIsbnWord(std::string_view text) {
    const auto skipSpaces = [&text] {
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
            text.remove_prefix(1);
        }
    };
    skipSpaces();
    if (text.size() >= 4 && std::equal(text.begin(), text.begin() + 4, "ISBN", [](char a, char b) {
            return std::toupper(static_cast<unsigned char>(a)) == b;
        })) {
        text.remove_prefix(4);
        if (text.starts_with("-10")) {
            text.remove_prefix(3);
        }
        if (text.starts_with(":")) {
            text.remove_prefix(1);
        }
    }
    return text;
}

// The ISBN-13 a code stands for; empty when it is none.
std::string IsbnOfCode(const ReadCode& code) {
    if (code.ean13) {
        const IsbnCheck check = CheckIsbn(code.text);
        return check.problem == IsbnProblem::None ? check.isbn13 : std::string();
    }
    const std::string_view text = WithoutIsbnWord(code.text);
    const auto characters =
        std::count_if(text.begin(), text.end(), [](char c) { return c != ' ' && c != '-'; });
    if (characters != 10) {
        return {};
    }
    const IsbnCheck check = CheckIsbn(text);
    return check.problem == IsbnProblem::None ? check.isbn13 : std::string();
}

template <class T> void AddOnce(std::vector<T>& list, const T& value) {
    if (std::find(list.begin(), list.end(), value) == list.end()) {
        list.push_back(value);
    }
}

// A picture of the program's own, which the codes read are blanked out of.
struct Layer {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    ZXing::ImageView View() const {
        return {pixels.data(), width, height, ZXing::ImageFormat::Lum, width};
    }
};

Layer CopyOf(const GreyPixels& picture) {
    Layer copy{picture.width, picture.height, {}};
    copy.pixels.resize(static_cast<std::size_t>(picture.width) *
                       static_cast<std::size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* row = picture.data + static_cast<std::ptrdiff_t>(y) * picture.rowBytes;
        std::copy(row, row + picture.width,
                  copy.pixels.begin() + static_cast<std::ptrdiff_t>(y) * picture.width);
    }
    return copy;
}

// The picture at half its size, each pixel the mean of four.
Layer Halved(const GreyPixels& picture) {
    Layer half{picture.width / 2, picture.height / 2, {}};
    half.pixels.resize(static_cast<std::size_t>(half.width) *
                       static_cast<std::size_t>(half.height));
    for (int y = 0; y < half.height; ++y) {
        const std::uint8_t* top =
            picture.data + static_cast<std::ptrdiff_t>(2 * y) * picture.rowBytes;
        const std::uint8_t* bottom = top + picture.rowBytes;
        for (int x = 0; x < half.width; ++x) {
            half.pixels[static_cast<std::size_t>(y * half.width + x)] = static_cast<std::uint8_t>(
                (top[2 * x] + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1] + 2) / 4);
        }
    }
    return half;
}

// Whites out the code found at `where`, so that the next reading finds the next code. A linear
// code is found on some of its rows only: its bars are blanked well above and below them.
void Blank(Layer& layer, const ZXing::Position& where, bool linear) {
    const auto point = [&where](int i) {
        return std::pair<double, double>(where[static_cast<std::size_t>(i)].x,
                                         where[static_cast<std::size_t>(i)].y);
    };
    double cx = 0;
    double cy = 0;
    for (int i = 0; i < 4; ++i) {
        cx += point(i).first / 4;
        cy += point(i).second / 4;
    }
    // Along the code: from the left edge to the right one.
    double ux = point(1).first + point(2).first - point(0).first - point(3).first;
    double uy = point(1).second + point(2).second - point(0).second - point(3).second;
    const double length = std::max(std::hypot(ux, uy) / 2, 1.0);
    ux /= 2 * length;
    uy /= 2 * length;
    double across = 0;
    for (int i = 0; i < 4; ++i) {
        across =
            std::max(across, std::abs(-(point(i).first - cx) * uy + (point(i).second - cy) * ux));
    }
    const double along = length / 2 * 1.15 + 4;
    across += (linear ? 0.8 * length : 0.1 * length) + 4;
    const double reach = along + across;
    const int left = std::max(0, static_cast<int>(cx - reach));
    const int right = std::min(layer.width - 1, static_cast<int>(cx + reach));
    const int top = std::max(0, static_cast<int>(cy - reach));
    const int bottom = std::min(layer.height - 1, static_cast<int>(cy + reach));
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const double dx = x - cx;
            const double dy = y - cy;
            if (std::abs(dx * ux + dy * uy) <= along && std::abs(-dx * uy + dy * ux) <= across) {
                layer.pixels[static_cast<std::size_t>(y * layer.width + x)] = 255;
            }
        }
    }
}

// A code read, and where its middle stands on the whole picture.
struct Found {
    ReadCode code;
    double x = 0;
    double y = 0;
};

// Reads the layer's codes one at a time, blanking each out before the next reading. ZXing 1.4
// merges the codes of one reading with an assertion that a code found twice on several lines
// fails, which would end the program: one code a reading never merges anything. `scale` is the
// whole picture's size to the layer's.
void ReadLayer(Layer& layer, ZXing::Binarizer binarizer, double scale, std::vector<Found>& found) {
    ZXing::DecodeHints hints;
    hints.setFormats(kKinds);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    hints.setTryDownscale(false);
    hints.setBinarizer(binarizer);
    for (int reading = 0; reading < kMostCodes; ++reading) {
        const ZXing::Result result = ZXing::ReadBarcode(layer.View(), hints);
        if (!result.isValid()) {
            return;
        }
        const ReadCode code{result.text(), result.format() == ZXing::BarcodeFormat::EAN13};
        if (std::none_of(found.begin(), found.end(), [&code](const Found& known) {
                return known.code.text == code.text && known.code.ean13 == code.ean13;
            })) {
            const ZXing::Position& where = result.position();
            found.push_back({code, scale * (where[0].x + where[1].x + where[2].x + where[3].x) / 4,
                             scale * (where[0].y + where[1].y + where[2].y + where[3].y) / 4});
        }
        Blank(layer, result.position(),
              result.format() != ZXing::BarcodeFormat::QRCode &&
                  result.format() != ZXing::BarcodeFormat::DataMatrix);
    }
}

} // namespace

std::vector<ReadCode> ReadBarcodes(const GreyPixels& picture) {
    std::vector<Found> found;
    if (!picture.data || picture.width <= 0 || picture.height <= 0) {
        return {};
    }
    Layer layer = CopyOf(picture);
    ReadLayer(layer, ZXing::Binarizer::LocalAverage, 1, found);
    // A blurred photo's thin bars fade into grey that a local threshold takes for white; the
    // middle grey still tells them apart.
    ReadLayer(layer, ZXing::Binarizer::FixedThreshold, 1, found);
    // A photo's code may be too large or too blurred at full size; smaller copies read it (each
    // made from the whole picture, none blanked).
    GreyPixels source = picture;
    Layer half;
    double scale = 1;
    while (std::min(source.width, source.height) >= 2 * kSmallestLayer) {
        half = Halved(source); // read whole before the last half's pixels go
        Layer blanked = half;
        scale *= 2;
        ReadLayer(blanked, ZXing::Binarizer::LocalAverage, scale, found);
        source = {half.pixels.data(), half.width, half.height, half.width};
    }
    // As they stand on the picture, top to bottom, then left to right.
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    std::vector<ReadCode> codes;
    for (const Found& one : found) {
        codes.push_back(one.code);
    }
    return codes;
}

PictureIsbns IsbnsOf(const std::vector<ReadCode>& codes) {
    PictureIsbns found;
    for (const ReadCode& code : codes) {
        const std::string isbn = IsbnOfCode(code);
        if (isbn.empty()) {
            AddOnce(found.refused, code.text);
        } else {
            AddOnce(found.isbns, isbn);
        }
    }
    return found;
}

PictureIsbns ReadIsbns(const GreyPixels& picture) {
    return IsbnsOf(ReadBarcodes(picture));
}
