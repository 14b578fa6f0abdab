// The frame the Qt back end draws itself on Wayland for a window without a
// window menu: when it is drawn, its widths, what the mouse does where, and
// what it paints (the title, and no buttons at the right of the caption).
#include "QtFrame.h"

#include <vcl/WinApi.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

// The notice window's style once its window menu is taken away.
constexpr LONG kNoMenu = WS_OVERLAPPEDWINDOW & ~WS_SYSMENU;
const QSize kOuter(500, 373);
const QMargins kClassic(4, 23, 4, 4);

} // namespace

Q_DECLARE_METATYPE(QMargins)
Q_DECLARE_METATYPE(vcl::qt::FrameHit)

class DrawnFrameTest : public QObject {
    Q_OBJECT

private slots:
    void drawnWhereTheToolkitWouldShowButtons_data();
    void drawnWhereTheToolkitWouldShowButtons();
    void marginsFollowTheStyleAndDensity_data();
    void marginsFollowTheStyleAndDensity();
    void mouseMovesOnTheCaptionAndResizesOnTheBorder_data();
    void mouseMovesOnTheCaptionAndResizesOnTheBorder();
    void paintsTheTitleAndNoButtons_data();
    void paintsTheTitleAndNoButtons();
    void longTitleIsElidedWithinTheCaption();
};

void DrawnFrameTest::drawnWhereTheToolkitWouldShowButtons_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<LONG>("style");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("wayland, no window menu") << "wayland" << kNoMenu << true;
    QTest::newRow("wayland-egl, no window menu") << "wayland-egl" << kNoMenu << true;
    QTest::newRow("wayland, window menu") << "wayland" << WS_OVERLAPPEDWINDOW << false;
    QTest::newRow("wayland, no frame at all") << "wayland" << LONG(0) << false;
    QTest::newRow("wayland, border only") << "wayland" << LONG(WS_THICKFRAME) << true;
    // X11 window managers read the Motif hints; elsewhere nothing to draw on.
    QTest::newRow("xcb") << "xcb" << kNoMenu << false;
    QTest::newRow("offscreen") << "offscreen" << kNoMenu << false;
}

void DrawnFrameTest::drawnWhereTheToolkitWouldShowButtons()
{
    QFETCH(QString, platform);
    QFETCH(LONG, style);
    QFETCH(bool, drawn);
    QCOMPARE(vcl::qt::DrawsOwnFrame(platform, style), drawn);
}

void DrawnFrameTest::marginsFollowTheStyleAndDensity_data()
{
    QTest::addColumn<LONG>("style");
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<QMargins>("margins");
    QTest::newRow("sizeable, 96 dpi") << kNoMenu << false << 1.0 << kClassic;
    QTest::newRow("sizeable, 144 dpi") << kNoMenu << false << 1.5 << QMargins(6, 35, 6, 6);
    QTest::newRow("sizeable, 192 dpi") << kNoMenu << false << 2.0 << QMargins(8, 46, 8, 8);
    QTest::newRow("maximised keeps the caption") << kNoMenu << true << 1.0 << QMargins(0, 19, 0, 0);
    QTest::newRow("fixed dialog frame") << LONG(WS_CAPTION) << false << 1.0 << QMargins(3, 22, 3, 3);
    QTest::newRow("thin border, no caption") << LONG(WS_BORDER) << false << 1.0 << QMargins(1, 1, 1, 1);
    QTest::newRow("thin border at 200%") << LONG(WS_BORDER) << false << 2.0 << QMargins(1, 1, 1, 1);
}

void DrawnFrameTest::marginsFollowTheStyleAndDensity()
{
    QFETCH(LONG, style);
    QFETCH(bool, maximised);
    QFETCH(qreal, scale);
    QFETCH(QMargins, margins);
    QCOMPARE(vcl::qt::DrawnFrameMargins(style, maximised, scale), margins);
}

void DrawnFrameTest::mouseMovesOnTheCaptionAndResizesOnTheBorder_data()
{
    using vcl::qt::FrameHit;
    QTest::addColumn<bool>("sizeable");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<FrameHit>("hit");
    const FrameHit caption{true, {}};
    const FrameHit client{};
    QTest::newRow("caption middle") << true << QPoint(250, 12) << caption;
    QTest::newRow("caption's right end, where buttons would be") << true << QPoint(480, 12)
                                                                 << caption;
    QTest::newRow("client area") << true << QPoint(250, 200) << client;
    QTest::newRow("first client row") << true << QPoint(250, 23) << client;
    QTest::newRow("outside") << true << QPoint(500, 10) << client;
    QTest::newRow("negative") << true << QPoint(-1, 10) << client;
    QTest::newRow("left edge") << true << QPoint(0, 200) << FrameHit{false, Qt::LeftEdge};
    QTest::newRow("right edge") << true << QPoint(499, 200) << FrameHit{false, Qt::RightEdge};
    QTest::newRow("top edge") << true << QPoint(250, 0) << FrameHit{false, Qt::TopEdge};
    QTest::newRow("bottom edge") << true << QPoint(250, 372) << FrameHit{false, Qt::BottomEdge};
    QTest::newRow("top-left corner") << true << QPoint(1, 1)
                                     << FrameHit{false, Qt::TopEdge | Qt::LeftEdge};
    // A corner reaches along its edges, as far as the caption is high.
    QTest::newRow("left edge near the top") << true << QPoint(2, 20)
                                            << FrameHit{false, Qt::TopEdge | Qt::LeftEdge};
    QTest::newRow("bottom edge near the right") << true << QPoint(480, 371)
                                                << FrameHit{false, Qt::BottomEdge | Qt::RightEdge};
    QTest::newRow("top edge near the right") << true << QPoint(490, 2)
                                             << FrameHit{false, Qt::TopEdge | Qt::RightEdge};
    // A fixed frame does not resize; its border is just a border.
    QTest::newRow("fixed frame's edge") << false << QPoint(0, 200) << client;
    QTest::newRow("fixed frame's caption") << false << QPoint(250, 12) << caption;
}

void DrawnFrameTest::mouseMovesOnTheCaptionAndResizesOnTheBorder()
{
    QFETCH(bool, sizeable);
    QFETCH(QPoint, point);
    QFETCH(vcl::qt::FrameHit, hit);
    const vcl::qt::FrameHit got = vcl::qt::HitTestFrame(kOuter, kClassic, sizeable, 23, point);
    QCOMPARE(got.caption, hit.caption);
    QCOMPARE(got.edges, hit.edges);
}

void DrawnFrameTest::paintsTheTitleAndNoButtons_data()
{
    QTest::addColumn<bool>("active");
    QTest::newRow("active") << true;
    QTest::newRow("inactive") << false;
}

// Distinct colours in a box of the image.
int Colours(const QImage &image, const QRect &box)
{
    QSet<QRgb> seen;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            seen.insert(image.pixel(x, y));
    return seen.size();
}

void DrawnFrameTest::paintsTheTitleAndNoButtons()
{
    QFETCH(bool, active);
    QImage image(kOuter, QImage::Format_RGB32);
    image.fill(Qt::magenta); // the client area, left untouched
    QPainter painter(&image);
    const QPalette palette = QApplication::palette();
    vcl::qt::PaintDrawnFrame(painter, kOuter, kClassic, palette, active,
                             QStringLiteral("Lathmere"), 1.0);
    painter.end();

    const QRect caption(4, 4, 492, 19);
    const QColor background = active ? palette.color(QPalette::Active, QPalette::Highlight)
                                     : palette.color(QPalette::Window).darker(115);
    // The caption's right end, where buttons would be: its colour alone.
    const QRect right(caption.right() - 150, caption.top(), 150, caption.height());
    QCOMPARE(Colours(image, right), 1);
    QCOMPARE(image.pixel(right.center()), background.rgb());
    // The title at the left, in the caption's text colour.
    const QColor ink = active ? palette.color(QPalette::Active, QPalette::HighlightedText)
                              : palette.color(QPalette::Inactive, QPalette::WindowText);
    bool inked = false;
    for (int y = caption.top(); y <= caption.bottom() && !inked; ++y)
        for (int x = caption.left(); x < caption.left() + 80 && !inked; ++x)
            inked = image.pixel(x, y) == ink.rgb();
    QVERIFY2(inked, "no title text in the caption");
    // The border is painted; the client area is not touched.
    QVERIFY(QColor(image.pixel(1, 200)) != QColor(Qt::magenta));
    QVERIFY(QColor(image.pixel(498, 371)) != QColor(Qt::magenta));
    QCOMPARE(Colours(image, QRect(4, 23, 492, 346)), 1);
    QCOMPARE(QColor(image.pixel(250, 200)), QColor(Qt::magenta));
}

void DrawnFrameTest::longTitleIsElidedWithinTheCaption()
{
    const QSize outer(120, 60);
    QImage image(outer, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    vcl::qt::PaintDrawnFrame(painter, outer, kClassic, QApplication::palette(), true,
                             QString(200, QLatin1Char('W')), 1.0);
    painter.end();
    // Nothing is drawn over the right border or the client area.
    const QColor border(image.pixel(117, 12));
    QCOMPARE(Colours(image, QRect(116, 4, 4, 19)), Colours(image, QRect(116, 30, 4, 19)));
    QCOMPARE(QColor(image.pixel(117, 40)), border);
    QCOMPARE(Colours(image, QRect(4, 23, 112, 33)), 1);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    DrawnFrameTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DrawnFrameTest.moc"
