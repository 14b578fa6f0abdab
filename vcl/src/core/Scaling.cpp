#include "vcl/Scaling.h"

#include "vcl/SysUtils.h"

namespace vcl {

TScaling ComputeScaling(int designPixelsPerInch, int designTextHeight, int fontHeight,
                        int screenPixelsPerInch, const std::function<int(int)> &textHeightOf)
{
    TScaling scaling;
    scaling.FontHeight = fontHeight;
    if (designPixelsPerInch <= 0 || screenPixelsPerInch <= 0 ||
        designPixelsPerInch == screenPixelsPerInch)
        return scaling;
    scaling.FontHeight = MulDiv(fontHeight, screenPixelsPerInch, designPixelsPerInch);
    if (designTextHeight <= 0)
        return scaling;
    const int newTextHeight = textHeightOf(scaling.FontHeight);
    if (newTextHeight > 0 && newTextHeight != designTextHeight) {
        scaling.Multiplier = newTextHeight;
        scaling.Divisor = designTextHeight;
    }
    return scaling;
}

} // namespace vcl
