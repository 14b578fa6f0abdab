// Colours, fonts and icons as plain data.
#pragma once

#include "vcl/SysUtils.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vcl {

// A colour is 0x00BBGGRR, or a system colour: 0x80000000 | index.
using TColor = std::int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clWhite = 0xFFFFFF;

inline bool IsSystemColor(TColor color) { return (color & clSystemColor) != 0; }

constexpr int DEFAULT_CHARSET_VALUE = 1;

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font as the layer describes it. Height below zero is the character
// height in pixels (the em size); above zero the cell height.
struct TFontData {
    String Name = "MS Sans Serif";
    int Height = -11;
    int Charset = DEFAULT_CHARSET_VALUE;
    TColor Color = clWindowText;
    unsigned Style = 0;

    bool operator==(const TFontData &other) const
    {
        return Name == other.Name && Height == other.Height && Charset == other.Charset &&
               Color == other.Color && Style == other.Style;
    }
    bool operator!=(const TFontData &other) const { return !(*this == other); }
};

// One decoded icon image: width x height pixels, rows top to bottom, each
// pixel 0xAARRGGBB.
struct TIconImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;
};

// The bytes of an .ico file, and the images decoded from it.
struct TIcon {
    std::vector<std::uint8_t> Data;
    bool Empty() const { return Data.empty(); }
};

// Decodes the image of an .ico file that is nearest to `size` pixels square
// (uncompressed BMP entries of 1, 4, 8, 24 or 32 bits per pixel). Raises
// EReadError for anything malformed.
TIconImage DecodeIcon(const std::vector<std::uint8_t> &ico, int size = 32);

} // namespace vcl
