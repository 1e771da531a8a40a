#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture as rows of grey values, 0 black to 255 white; `rowBytes` may exceed `width`.
struct GreyPixels {
    const std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int rowBytes = 0;
};

// One barcode read from a picture: its text, and whether it is an EAN-13 (the only kind whose
// 13 digits may be an ISBN).
struct ReadCode {
    std::string text;
    bool ean13 = false;
};

// Every barcode ZXing finds in the picture (EAN-13, Code 128, Code 39, QR, Data Matrix), upright,
// turned or tilted, each once, as they stand on it: top to bottom, then left to right.
std::vector<ReadCode> ReadBarcodes(const GreyPixels& picture);

// What the codes of one picture give as ISBNs.
struct PictureIsbns {
    std::vector<std::string> isbns;   // ISBN-13s, each once, as they stand on the picture
    std::vector<std::string> refused; // codes read that are no ISBN, as read (a 977 ISSN)
};

// Only an EAN-13 starting 978 or 979, or another code whose text is an ISBN-10 (with or without
// "ISBN", hyphens or spaces), is taken; a price code or an ISSN is refused, not taken. An ISBN-10
// is given as the ISBN-13 it stands for.
PictureIsbns IsbnsOf(const std::vector<ReadCode>& codes);

// The two together.
PictureIsbns ReadIsbns(const GreyPixels& picture);
