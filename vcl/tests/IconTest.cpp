// Icons decoded from .ico bytes, and malformed ones refused.
#include "vcl/Graphics.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vcl {
namespace {

// A 2x2, 4-bit icon: red, white / transparent, black (rows stored bottom up).
std::vector<std::uint8_t> TinyIcon()
{
    std::vector<std::uint8_t> ico = {0, 0, 1, 0, 1, 0,
                                     2, 2, 16, 0, 1, 0, 4, 0, 0, 0, 0, 0, 22, 0, 0, 0};
    const std::uint8_t header[40] = {40, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 1, 0, 4, 0};
    ico.insert(ico.end(), header, header + 40);
    for (int i = 0; i < 16; ++i) {
        const std::uint8_t colours[16][3] = {{0, 0, 0}, {0, 0, 255}, {255, 255, 255}};
        ico.insert(ico.end(), {colours[i][0], colours[i][1], colours[i][2], 0});
    }
    // Bottom row: (transparent), black; top row: red, white. 4-byte rows.
    ico.insert(ico.end(), {0x00, 0, 0, 0, 0x12, 0, 0, 0});
    // Mask rows, bottom first: the first pixel of the bottom row is clear.
    ico.insert(ico.end(), {0x80, 0, 0, 0, 0x00, 0, 0, 0});
    const auto size = static_cast<std::uint32_t>(ico.size() - 22);
    std::memcpy(&ico[14], &size, 4);
    return ico;
}

TEST(DecodeIcon, DecodesPaletteImagesWithTheirMask)
{
    const TIconImage image = DecodeIcon(TinyIcon());
    ASSERT_EQ(image.Width, 2);
    ASSERT_EQ(image.Height, 2);
    EXPECT_EQ(image.Pixels, (std::vector<std::uint32_t>{0xFFFF0000u, 0xFFFFFFFFu, 0, 0xFF000000u}));
}

TEST(DecodeIcon, RefusesMalformedIconsWithoutReadingPastTheEnd)
{
    const std::vector<std::uint8_t> good = TinyIcon();
    std::vector<std::vector<std::uint8_t>> bad;
    bad.push_back({});
    bad.push_back({0, 0, 2, 0, 1, 0}); // a cursor, not an icon
    for (std::size_t length : {std::size_t{6}, std::size_t{21}, std::size_t{40}, std::size_t{80}, good.size() - 1})
        bad.emplace_back(good.begin(), good.begin() + static_cast<long>(length));
    auto hugeOffset = good;
    hugeOffset[18] = 0xFF;
    hugeOffset[21] = 0x7F;
    bad.push_back(hugeOffset);
    auto badDepth = good;
    badDepth[22 + 14] = 3;
    bad.push_back(badDepth);
    auto compressed = good;
    compressed[22 + 16] = 1;
    bad.push_back(compressed);
    auto outsidePalette = good;
    outsidePalette[22 + 32] = 2; // two colours only, pixel index 2 used
    bad.push_back(outsidePalette);
    for (const auto &ico : bad)
        EXPECT_THROW(DecodeIcon(ico), EReadError) << ico.size() << " bytes";
}

} // namespace
} // namespace vcl
