// The pure rules: the error report's full stop, MulDiv, the density rule and
// the window style's decoration hints.
#include "vcl/Scaling.h"
#include "vcl/SysUtils.h"
#include "vcl/WindowStyle.h"

#include <gtest/gtest.h>

namespace vcl {
namespace {

TEST(ErrorReportText, AppendsAFullStopOnlyAfterCharactersThatSortAfterIt)
{
    const struct {
        const char *message;
        const char *shown;
    } cases[] = {
        {"", ""},
        {"Ressource TFTarvik introuvable", "Ressource TFTarvik introuvable."},
        {"colonne 12", "colonne 12."},
        {"Done.", "Done."},
        {"Why?", "Why?."},     // by character order, not by meaning
        {"(see above)", "(see above)"},
        {"a-", "a-"},
        {"a/", "a/."},         // '/' is the character right after '.'
        {"x ", "x "},
        {"Fin\n", "Fin\n"},
        {"trouvée", "trouvée."}, // a non-ASCII last byte sorts after '.'
    };
    for (const auto &c : cases)
        EXPECT_EQ(ErrorReportText(c.message), c.shown) << '"' << c.message << '"';
}

TEST(MulDiv, RoundsHalfAwayFromZeroWithoutOverflow)
{
    const struct {
        int number, numerator, denominator, result;
    } cases[] = {
        {-11, 144, 96, -17},  {-11, 120, 96, -14}, {-17, 144, 96, -26},
        {10, 20, 13, 15},     {290, 20, 13, 446},  {5, 1, 2, 3},
        {-5, 1, 2, -3},       {7, 3, 0, -1},       {2000000000, 3, 2, -1},
        {2000000000, 2, 4, 1000000000},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.result)
            << c.number << '*' << c.numerator << '/' << c.denominator;
}

TEST(ComputeScaling, RescalesFontOnOtherDensitiesAndControlsWhenTextHeightChanges)
{
    // A font whose text height is 13/11 of its pixel height, rounded.
    const auto heightOf = [](int fontHeight) { return MulDiv(-fontHeight, 13, 11); };
    const struct {
        int screen;
        int fontHeight, multiplier, divisor;
    } cases[] = {
        {96, -11, 1, 1},   // the design density: nothing changes
        {120, -14, 17, 13}, {144, -17, 20, 13}, {192, -22, 26, 13}, {72, -8, 9, 13},
    };
    for (const auto &c : cases) {
        const TScaling scaling = ComputeScaling(96, 13, -11, c.screen, heightOf);
        EXPECT_EQ(scaling.FontHeight, c.fontHeight) << c.screen;
        EXPECT_EQ(scaling.Multiplier, c.multiplier) << c.screen;
        EXPECT_EQ(scaling.Divisor, c.divisor) << c.screen;
    }
}

TEST(ComputeScaling, KeepsControlsWhenTheRescaledFontHasTheDesignTextHeight)
{
    const TScaling scaling = ComputeScaling(96, 13, -11, 100, [](int) { return 13; });
    EXPECT_EQ(scaling.FontHeight, -11);
    EXPECT_FALSE(scaling.ScalesControls());
}

TEST(ComputeScaling, NeverMeasuresOnTheDesignDensityEvenWhenTheFaceDiffers)
{
    bool measured = false;
    const TScaling scaling = ComputeScaling(96, 13, -11, 96, [&](int) {
        measured = true;
        return 15;
    });
    EXPECT_FALSE(measured);
    EXPECT_FALSE(scaling.ScalesControls());
}

TEST(MotifHintsForStyle, TheWindowMenuBitCarriesTheButtonsAndClosing)
{
    using H = TMotifHints;
    const struct {
        LONG style;
        std::uint32_t functions, decorations;
    } cases[] = {
        {WS_OVERLAPPEDWINDOW,
         H::FuncMove | H::FuncResize | H::FuncClose | H::FuncMinimize | H::FuncMaximize,
         H::DecorBorder | H::DecorTitle | H::DecorResizeH | H::DecorMenu | H::DecorMinimize |
             H::DecorMaximize},
        {WS_OVERLAPPEDWINDOW & ~WS_SYSMENU, H::FuncMove | H::FuncResize,
         H::DecorBorder | H::DecorTitle | H::DecorResizeH},
        {WS_CAPTION | WS_SYSMENU, H::FuncMove | H::FuncClose,
         H::DecorBorder | H::DecorTitle | H::DecorMenu},
        {WS_CAPTION | WS_MINIMIZEBOX, H::FuncMove, H::DecorBorder | H::DecorTitle},
        {0, 0, 0},
    };
    for (const auto &c : cases) {
        const TMotifHints hints = MotifHintsForStyle(c.style);
        EXPECT_EQ(hints.flags, H::HintFunctions | H::HintDecorations);
        EXPECT_EQ(hints.functions, c.functions) << std::hex << c.style;
        EXPECT_EQ(hints.decorations, c.decorations) << std::hex << c.style;
    }
}

} // namespace
} // namespace vcl
