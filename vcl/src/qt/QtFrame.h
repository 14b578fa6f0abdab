// The window frame the back end draws itself where the toolkit's own
// decorations cannot follow the window style: on Wayland, Qt's title bar
// always carries minimise, maximise and close buttons, so a window without
// a window menu gets this frame instead: a border and a caption with the
// title, and no buttons.
#pragma once

#include "vcl/WinApi.h"

#include <QMargins>
#include <QPalette>
#include <QRect>
#include <QString>

class QPainter;

namespace vcl::qt {

// True when the window for `style` gets the drawn frame on the platform
// plugin named `platform`: on Wayland, a style with a caption or a border
// but no window menu.
bool DrawsOwnFrame(const QString &platform, LONG style);

// The drawn frame's widths at `scale` (screen density / 96): a sizeable
// border of 4 pixels, or 1 for a thin one, and a caption of 19 pixels below
// the top border. A maximised or full-screen window keeps its caption only.
QMargins DrawnFrameMargins(LONG style, bool maximised, qreal scale);

// What a point of the window is, for the mouse: the client area (or
// outside), the caption (moves the window) or a border edge or corner
// (resizes it). A corner reaches `grip` pixels along each of its two edges.
struct FrameHit {
    bool caption = false;
    Qt::Edges edges;
    bool operator==(const FrameHit &other) const
    {
        return caption == other.caption && edges == other.edges;
    }
};
FrameHit HitTestFrame(const QSize &size, const QMargins &frame, bool sizeable, int grip,
                      const QPoint &point);

// Paints the frame of a `size` window: the border in the window colour with
// a darker outline, the caption in the highlight colour when active (a
// darker window colour otherwise) and the title in bold, left-aligned,
// elided when it does not fit.
void PaintDrawnFrame(QPainter &painter, const QSize &size, const QMargins &frame,
                     const QPalette &palette, bool active, const QString &title, qreal scale);

} // namespace vcl::qt
