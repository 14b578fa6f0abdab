#include "vcl/WindowStyle.h"

namespace vcl {

TMotifHints MotifHintsForStyle(LONG style)
{
    TMotifHints hints;
    hints.flags = TMotifHints::HintFunctions | TMotifHints::HintDecorations;
    const bool caption = (style & WS_CAPTION) == WS_CAPTION;
    const bool sizeable = (style & WS_THICKFRAME) != 0;
    const bool menu = (style & WS_SYSMENU) != 0;
    if (caption || sizeable || (style & WS_BORDER) != 0)
        hints.decorations |= TMotifHints::DecorBorder;
    if (caption) {
        hints.decorations |= TMotifHints::DecorTitle;
        hints.functions |= TMotifHints::FuncMove;
    }
    if (sizeable) {
        hints.decorations |= TMotifHints::DecorResizeH;
        hints.functions |= TMotifHints::FuncResize;
    }
    if (menu) {
        hints.decorations |= TMotifHints::DecorMenu;
        hints.functions |= TMotifHints::FuncClose;
        if ((style & WS_MINIMIZEBOX) != 0) {
            hints.decorations |= TMotifHints::DecorMinimize;
            hints.functions |= TMotifHints::FuncMinimize;
        }
        if ((style & WS_MAXIMIZEBOX) != 0) {
            hints.decorations |= TMotifHints::DecorMaximize;
            hints.functions |= TMotifHints::FuncMaximize;
        }
    }
    return hints;
}

} // namespace vcl
