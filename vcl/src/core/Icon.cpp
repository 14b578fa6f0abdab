#include "vcl/Graphics.h"

#include <cstdlib>
#include <limits>

namespace vcl {
namespace {

[[noreturn]] void Malformed(const char *what)
{
    throw EReadError(String("Icône non valide : ") + what);
}

class Bytes {
public:
    explicit Bytes(const std::vector<std::uint8_t> &data) : data_(data) {}

    std::uint32_t U8(std::size_t at) const { return At(at, 1)[0]; }
    std::uint32_t U16(std::size_t at) const
    {
        const auto *p = At(at, 2);
        return p[0] | (p[1] << 8);
    }
    std::uint32_t U32(std::size_t at) const
    {
        const auto *p = At(at, 4);
        return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
    const std::uint8_t *At(std::size_t at, std::size_t count) const
    {
        if (at > data_.size() || count > data_.size() - at)
            Malformed("données tronquées");
        return data_.data() + at;
    }

private:
    const std::vector<std::uint8_t> &data_;
};

std::size_t RowBytes(std::uint32_t width, std::uint32_t bits)
{
    return ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
}

} // namespace

TIconImage DecodeIcon(const std::vector<std::uint8_t> &ico, int size)
{
    const Bytes bytes(ico);
    if (bytes.U16(0) != 0 || bytes.U16(2) != 1)
        Malformed("en-tête inconnu");
    const std::uint32_t count = bytes.U16(4);
    if (count == 0)
        Malformed("aucune image");

    // The entry whose width is nearest to the size asked for; among equals,
    // the one with more colours.
    std::size_t best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    std::uint32_t bestBits = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * static_cast<std::size_t>(i);
        const long width = bytes.U8(entry) == 0 ? 256 : bytes.U8(entry);
        const std::uint32_t bits = bytes.U16(entry + 6);
        const long distance = std::labs(width - size);
        if (distance < bestDistance || (distance == bestDistance && bits > bestBits)) {
            best = entry;
            bestDistance = distance;
            bestBits = bits;
        }
    }

    const std::size_t offset = bytes.U32(best + 12);
    const std::size_t length = bytes.U32(best + 8);
    bytes.At(offset, length);
    if (length >= 4 && bytes.U32(offset) == 0x474E5089u)
        Malformed("image PNG non prise en charge");
    if (bytes.U32(offset) != 40)
        Malformed("en-tête d'image inconnu");
    const auto width = static_cast<std::int32_t>(bytes.U32(offset + 4));
    const auto doubledHeight = static_cast<std::int32_t>(bytes.U32(offset + 8));
    const std::uint32_t bits = bytes.U16(offset + 14);
    const std::uint32_t compression = bytes.U32(offset + 16);
    std::uint32_t colours = bytes.U32(offset + 32);
    if (width <= 0 || width > 256 || doubledHeight <= 0 || doubledHeight > 512 ||
        doubledHeight % 2 != 0)
        Malformed("dimensions non valides");
    if (compression != 0)
        Malformed("image compressée non prise en charge");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        Malformed("profondeur de couleur non prise en charge");
    const std::int32_t height = doubledHeight / 2;
    if (bits <= 8 && colours == 0)
        colours = 1u << bits;
    if (bits > 8)
        colours = 0;
    if (colours > 256)
        Malformed("palette trop grande");

    const std::size_t palette = offset + 40;
    const std::size_t xorStart = palette + 4 * static_cast<std::size_t>(colours);
    const std::size_t xorRow = RowBytes(width, bits);
    const std::size_t andStart = xorStart + xorRow * height;
    const std::size_t andRow = RowBytes(width, 1);
    bytes.At(xorStart, xorRow * height);
    const bool hasMask = bits != 32;
    if (hasMask)
        bytes.At(andStart, andRow * height);

    TIconImage image;
    image.Width = width;
    image.Height = height;
    image.Pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::int32_t y = 0; y < height; ++y) {
        // Rows are stored bottom to top.
        const std::uint8_t *row = bytes.At(xorStart + xorRow * (height - 1 - y), xorRow);
        const std::uint8_t *mask =
            hasMask ? bytes.At(andStart + andRow * (height - 1 - y), andRow) : nullptr;
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint32_t argb = 0;
            if (bits <= 8) {
                const std::size_t bit = static_cast<std::size_t>(x) * bits;
                const std::uint32_t index =
                    (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index >= colours)
                    Malformed("indice de couleur hors palette");
                const std::uint8_t *bgr = bytes.At(palette + 4 * index, 4);
                argb = 0xFF000000u | (bgr[2] << 16) | (bgr[1] << 8) | bgr[0];
            } else {
                const std::uint8_t *p = row + static_cast<std::size_t>(x) * (bits / 8);
                const std::uint32_t alpha = bits == 32 ? p[3] : 0xFF;
                argb = (alpha << 24) | (p[2] << 16) | (p[1] << 8) | p[0];
            }
            if (mask != nullptr && ((mask[x / 8] >> (7 - x % 8)) & 1) != 0)
                argb = 0;
            image.Pixels[static_cast<std::size_t>(y) * width + x] = argb;
        }
    }
    return image;
}

} // namespace vcl
