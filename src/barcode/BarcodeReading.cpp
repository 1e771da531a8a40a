#include "barcode/BarcodeReading.h"

#include "isbn/IsbnCode.h"

#include <ZXing/ReadBarcode.h>
#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

// The kinds a book, a label or a phone's code may carry; ITF and Codabar, which a busy picture
// fakes now and then, are not asked for.
constexpr ZXing::BarcodeFormats kKinds =
    ZXing::BarcodeFormat::EAN13 | ZXing::BarcodeFormat::Code128 | ZXing::BarcodeFormat::Code39 |
    ZXing::BarcodeFormat::QRCode | ZXing::BarcodeFormat::DataMatrix;

// Smaller copies of a picture are read down to this many pixels on its shorter side.
constexpr int kSmallestLayer = 250;

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

// The picture at half its size, each pixel the mean of four.
std::vector<std::uint8_t> Halved(const GreyPixels& picture, GreyPixels& half) {
    half.width = picture.width / 2;
    half.height = picture.height / 2;
    half.rowBytes = half.width;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(half.width) *
                                     static_cast<std::size_t>(half.height));
    for (int y = 0; y < half.height; ++y) {
        const std::uint8_t* top =
            picture.data + static_cast<std::ptrdiff_t>(2 * y) * picture.rowBytes;
        const std::uint8_t* bottom = top + picture.rowBytes;
        for (int x = 0; x < half.width; ++x) {
            pixels[static_cast<std::size_t>(y * half.width + x)] = static_cast<std::uint8_t>(
                (top[2 * x] + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1] + 2) / 4);
        }
    }
    half.data = pixels.data();
    return pixels;
}

void ReadLayer(const GreyPixels& picture, ZXing::Binarizer binarizer,
               std::vector<ReadCode>& codes) {
    const ZXing::ImageView view(picture.data, picture.width, picture.height,
                                ZXing::ImageFormat::Lum, picture.rowBytes);
    ZXing::DecodeHints hints;
    hints.setFormats(kKinds);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    // ZXing 1.4 merges what its own smaller copies find with an assertion that a code read on
    // several lines fails, which ends the program: the copies are made and merged here.
    hints.setTryDownscale(false);
    hints.setBinarizer(binarizer);
    for (const ZXing::Result& result : ZXing::ReadBarcodes(view, hints)) {
        if (result.isValid()) {
            const ReadCode code{result.text(), result.format() == ZXing::BarcodeFormat::EAN13};
            if (std::none_of(codes.begin(), codes.end(), [&code](const ReadCode& known) {
                    return known.text == code.text && known.ean13 == code.ean13;
                })) {
                codes.push_back(code);
            }
        }
    }
}

} // namespace

std::vector<ReadCode> ReadBarcodes(const GreyPixels& picture) {
    std::vector<ReadCode> codes;
    if (!picture.data || picture.width <= 0 || picture.height <= 0) {
        return codes;
    }
    ReadLayer(picture, ZXing::Binarizer::LocalAverage, codes);
    // A blurred photo's thin bars fade into grey that a local threshold takes for white; the
    // middle grey still tells them apart.
    ReadLayer(picture, ZXing::Binarizer::FixedThreshold, codes);
    // A photo's code may be too large or too blurred at full size; smaller copies read it.
    GreyPixels layer = picture;
    std::vector<std::uint8_t> pixels;
    while (std::min(layer.width, layer.height) >= 2 * kSmallestLayer) {
        GreyPixels half;
        pixels = Halved(layer, half);
        layer = half;
        ReadLayer(layer, ZXing::Binarizer::LocalAverage, codes);
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
