// The density rule: a form laid out at one density, shown on another.
#pragma once

#include <functional>

namespace vcl {

struct TScaling {
    int FontHeight = 0;     // the form font's height to use
    int Multiplier = 1;     // controls are scaled by Multiplier / Divisor
    int Divisor = 1;
    bool ScalesControls() const { return Multiplier != Divisor; }
};

// On a screen whose density differs from the design density, the form's
// font height is rescaled by the ratio of the densities; when the text
// height of the rescaled font (textHeightOf) then differs from the design
// text height, the controls are scaled by the ratio of the new text height to
// the design one. On the design density nothing changes. The window's own
// position and outer size are never scaled.
TScaling ComputeScaling(int designPixelsPerInch, int designTextHeight, int fontHeight,
                        int screenPixelsPerInch, const std::function<int(int)> &textHeightOf);

} // namespace vcl
