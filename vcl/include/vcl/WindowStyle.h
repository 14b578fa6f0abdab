// The window style word translated to the Motif window-manager hints that
// X11 window managers read (_MOTIF_WM_HINTS).
#pragma once

#include "vcl/WinApi.h"

#include <cstdint>

namespace vcl {

struct TMotifHints {
    static constexpr std::uint32_t HintFunctions = 1;
    static constexpr std::uint32_t HintDecorations = 2;

    static constexpr std::uint32_t FuncAll = 1;
    static constexpr std::uint32_t FuncResize = 2;
    static constexpr std::uint32_t FuncMove = 4;
    static constexpr std::uint32_t FuncMinimize = 8;
    static constexpr std::uint32_t FuncMaximize = 16;
    static constexpr std::uint32_t FuncClose = 32;

    static constexpr std::uint32_t DecorAll = 1;
    static constexpr std::uint32_t DecorBorder = 2;
    static constexpr std::uint32_t DecorResizeH = 4;
    static constexpr std::uint32_t DecorTitle = 8;
    static constexpr std::uint32_t DecorMenu = 16;
    static constexpr std::uint32_t DecorMinimize = 32;
    static constexpr std::uint32_t DecorMaximize = 64;

    std::uint32_t flags = 0;
    std::uint32_t functions = 0;
    std::uint32_t decorations = 0;
    std::int32_t inputMode = 0;
    std::uint32_t status = 0;
};

// A caption gives a title and moving; a sizeable frame a resize handle and
// resizing; the window menu (WS_SYSMENU) the menu and closing, and, with it,
// the minimise and maximise boxes their buttons.
TMotifHints MotifHintsForStyle(LONG style);

} // namespace vcl
