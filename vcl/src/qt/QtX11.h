// The few X11 properties Qt has no API for.
#pragma once

#include "vcl/WindowStyle.h"

#include <QString>

class QWidget;

namespace vcl::qt {

// True when the application runs on the X11 platform plugin.
bool OnX11();
// Writes _MOTIF_WM_HINTS (functions and decorations) on the window.
void WriteMotifHints(QWidget &window, const TMotifHints &hints);
// Writes WM_ICON_NAME (Latin-1) on the window.
void WriteIconName(QWidget &window, const QString &name);

} // namespace vcl::qt
