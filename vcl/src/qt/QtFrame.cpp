#include "QtFrame.h"

#include "QtBackend.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>

#include <cmath>

namespace vcl::qt {
namespace {

int Scaled(int pixels, qreal scale)
{
    return std::max(1, static_cast<int>(std::lround(pixels * scale)));
}

bool HasCaption(LONG style)
{
    return (style & WS_CAPTION) == WS_CAPTION;
}

} // namespace

bool DrawsOwnFrame(const QString &platform, LONG style)
{
    if (!platform.startsWith(QLatin1String("wayland")))
        return false;
    return (style & WS_SYSMENU) == 0 && (style & (WS_CAPTION | WS_THICKFRAME)) != 0;
}

QMargins DrawnFrameMargins(LONG style, bool maximised, qreal scale)
{
    int border = 0;
    if (!maximised) {
        if ((style & WS_THICKFRAME) != 0)
            border = Scaled(4, scale);
        else if ((style & WS_DLGFRAME) != 0)
            border = Scaled(3, scale);
        else if ((style & WS_BORDER) != 0)
            border = 1;
    }
    const int caption = HasCaption(style) ? Scaled(19, scale) : 0;
    return QMargins(border, border + caption, border, border);
}

FrameHit HitTestFrame(const QSize &size, const QMargins &frame, bool sizeable, int grip,
                      const QPoint &point)
{
    const int x = point.x();
    const int y = point.y();
    const int width = size.width();
    const int height = size.height();
    if (x < 0 || y < 0 || x >= width || y >= height)
        return {};
    const int border = frame.left();
    if (sizeable && border > 0) {
        bool left = x < border;
        bool right = x >= width - border;
        bool top = y < border;
        bool bottom = y >= height - border;
        if (left || right) {
            top = top || y < grip;
            bottom = bottom || y >= height - grip;
        }
        if (top || bottom) {
            left = left || x < grip;
            right = right || x >= width - grip;
        }
        Qt::Edges edges;
        edges.setFlag(Qt::LeftEdge, left);
        edges.setFlag(Qt::RightEdge, right && !left);
        edges.setFlag(Qt::TopEdge, top);
        edges.setFlag(Qt::BottomEdge, bottom && !top);
        if (edges)
            return {false, edges};
    }
    const int captionTop = border;
    if (frame.top() > captionTop && y >= captionTop && y < frame.top() && x >= frame.left() &&
        x < width - frame.right())
        return {true, {}};
    return {};
}

void PaintDrawnFrame(QPainter &painter, const QSize &size, const QMargins &frame,
                     const QPalette &palette, bool active, const QString &title, qreal scale)
{
    const QRect outer(QPoint(0, 0), size);
    const QRect client = outer.marginsRemoved(frame);
    const QColor face = palette.color(QPalette::Window);

    painter.save();
    // The border: window colour, outlined so the window stands out from
    // whatever lies behind it.
    painter.setClipRegion(QRegion(outer) - QRegion(client));
    painter.fillRect(outer, face);
    if (frame.left() > 0) {
        painter.setPen(face.darker(160));
        painter.drawRect(outer.adjusted(0, 0, -1, -1));
    }
    painter.setClipping(false);

    const int border = frame.left();
    const QRect caption(frame.left(), border, size.width() - frame.left() - frame.right(),
                        frame.top() - border);
    if (!caption.isEmpty()) {
        painter.fillRect(caption, active ? palette.color(QPalette::Active, QPalette::Highlight)
                                         : face.darker(115));
        TFontData data;
        data.Height = -Scaled(11, scale);
        data.Style = fsBold;
        const QFont font = ToQFont(data);
        const int padding = Scaled(3, scale);
        const QRect text = caption.adjusted(padding, 0, -padding, 0);
        painter.setFont(font);
        painter.setPen(active ? palette.color(QPalette::Active, QPalette::HighlightedText)
                              : palette.color(QPalette::Inactive, QPalette::WindowText));
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         QFontMetrics(font).elidedText(title, Qt::ElideRight, text.width()));
    }
    painter.restore();
}

} // namespace vcl::qt
