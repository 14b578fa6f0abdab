#include "QtBackend.h"

#include "QtFrame.h"
#include "QtX11.h"
#include "vcl/Forms.h"
#include "vcl/Resources.h"
#include "vcl/StartupTrace.h"
#include "vcl/WindowStyle.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QWindow>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace vcl::qt {
namespace {

QString FromText(const String &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The classic sizeable frame, used while the window manager reports none:
// a 4-pixel border and a 19-pixel caption.
constexpr QMargins kClassicFrame(4, 23, 4, 4);

// ------------------------------------------------------------ the form

class FormWindow;

class FormWidget : public QWidget {
public:
    FormWidget(TForm &form, FormWindow &owner) : form_(form), owner_(owner)
    {
        setAttribute(Qt::WA_DeleteOnClose, false);
        scroll_ = new QScrollArea(this);
        scroll_->setFrameShape(QFrame::NoFrame);
        scroll_->setWidgetResizable(true);
        scroll_->setFocusPolicy(Qt::NoFocus);
        client_ = new QWidget;
        client_->setAutoFillBackground(true);
        scroll_->setWidget(client_);
    }

    QWidget *Client() const { return client_; }
    QScrollArea *Scroll() const { return scroll_; }
    TForm &Form() const { return form_; }

    // Draws the frame for `style` inside the window from now on, or, with
    // drawn false, leaves the frame to the window manager.
    void SetDrawnFrame(bool drawn, LONG style)
    {
        drawn_ = drawn;
        drawnStyle_ = style;
        setMouseTracking(drawn);
        if (!drawn)
            unsetCursor();
        Layout();
        update();
    }
    bool DrawsFrame() const { return drawn_; }
    QMargins DrawnMargins() const
    {
        if (!drawn_)
            return {};
        const bool maximised = (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
        return DrawnFrameMargins(drawnStyle_, maximised, FrameScale());
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        Layout();
        QWidget::resizeEvent(event);
    }
    void paintEvent(QPaintEvent *event) override
    {
        if (!drawn_) {
            QWidget::paintEvent(event);
            return;
        }
        QPainter painter(this);
        PaintDrawnFrame(painter, size(), DrawnMargins(), palette(), isActiveWindow(),
                        windowTitle(), FrameScale());
    }
    void changeEvent(QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::WindowStateChange:
            Layout();
            update();
            break;
        case QEvent::ActivationChange:
        case QEvent::WindowTitleChange:
        case QEvent::PaletteChange:
            update();
            break;
        default:
            break;
        }
        QWidget::changeEvent(event);
    }
    // On the drawn frame the caption moves the window and the border
    // resizes it, both done by the compositor.
    void mousePressEvent(QMouseEvent *event) override
    {
        const FrameHit hit = Hit(event->position().toPoint());
        QWindow *window = windowHandle();
        if (event->button() == Qt::LeftButton && window != nullptr) {
            if (hit.edges)
                window->startSystemResize(hit.edges);
            else if (hit.caption)
                window->startSystemMove();
        }
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (drawn_ && event->buttons() == Qt::NoButton)
            setCursor(CursorFor(Hit(event->position().toPoint()).edges));
        event->accept();
    }
    // The window manager's frame is known only once it has framed the
    // window: look again whenever the native window is exposed or moved.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override
    {
        // A close from outside (the window manager, the task bar) goes
        // through the form's normal close; ours has already hidden it.
        event->ignore();
        if (!form_.IsClosed())
            form_.CloseRequested();
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        // Escape, and any key no control took, does nothing.
        event->accept();
    }

private:
    void Layout() { scroll_->setGeometry(rect().marginsRemoved(DrawnMargins())); }

    qreal FrameScale() const
    {
        const QScreen *on = screen();
        const int ppi = on != nullptr ? qRound(on->logicalDotsPerInchY()) : 96;
        return ppi > 0 ? ppi / 96.0 : 1.0;
    }

    FrameHit Hit(const QPoint &point) const
    {
        if (!drawn_)
            return {};
        const QMargins frame = DrawnMargins();
        return HitTestFrame(size(), frame, (drawnStyle_ & WS_THICKFRAME) != 0, frame.top(),
                            point);
    }

    static Qt::CursorShape CursorFor(Qt::Edges edges)
    {
        const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
        const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
        if (horizontal && vertical) {
            const bool falling = edges == (Qt::TopEdge | Qt::LeftEdge) ||
                                 edges == (Qt::BottomEdge | Qt::RightEdge);
            return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
        }
        if (horizontal)
            return Qt::SizeHorCursor;
        if (vertical)
            return Qt::SizeVerCursor;
        return Qt::ArrowCursor;
    }

    TForm &form_;
    FormWindow &owner_;
    QScrollArea *scroll_ = nullptr;
    QWidget *client_ = nullptr;
    bool drawn_ = false;
    LONG drawnStyle_ = 0;
};

class Backend;

class FormWindow : public backend::NativeForm {
public:
    FormWindow(Backend &backend, TForm &form);
    ~FormWindow() override;

    HWND Handle() const override { return reinterpret_cast<HWND>(const_cast<FormWindow *>(this)); }

    void SetBounds(int left, int top, int width, int height) override
    {
        outer_ = QRect(left, top, width, height);
        ApplyGeometry();
    }
    void SetText(const String &text) override { widget_->setWindowTitle(FromText(text)); }
    void SetFont(const TFontData &font) override { widget_->setFont(ToQFont(font)); }
    void SetColor(TColor color) override
    {
        QPalette palette = widget_->Client()->palette();
        palette.setColor(QPalette::Window, ToQColor(color));
        widget_->Client()->setPalette(palette);
        widget_->Scroll()->viewport()->setPalette(palette);
        widget_->setPalette(palette);
    }
    void SetFocus() override { widget_->setFocus(); }
    void SetIcon(const TIconImage &icon) override
    {
        QImage image(icon.Width, icon.Height, QImage::Format_ARGB32);
        for (int y = 0; y < icon.Height; ++y)
            for (int x = 0; x < icon.Width; ++x)
                image.setPixel(x, y, icon.Pixels[static_cast<std::size_t>(y) * icon.Width + x]);
        widget_->setWindowIcon(QIcon(QPixmap::fromImage(image)));
    }
    void SetScrollExtent(int width, int height) override
    {
        widget_->Client()->setMinimumSize(width, height);
    }
    void Show(int showCommand) override
    {
        switch (showCommand) {
        case SW_SHOWMAXIMIZED:
            widget_->showMaximized();
            break;
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
            widget_->showMinimized();
            break;
        default:
            widget_->show();
            break;
        }
        ApplyStyle();
        if (showCommand != SW_SHOWMINNOACTIVE)
            widget_->activateWindow();
    }
    void Hide() override { widget_->hide(); }
    bool IsVisible() const override { return widget_->isVisible(); }
    LONG Style() const override { return style_; }
    void SetStyle(LONG style) override
    {
        style_ = style;
        ApplyStyle();
    }
    void RedrawFrame() override
    {
        ApplyStyle();
        widget_->repaint();
    }

    FormWidget *Widget() const { return widget_.get(); }

    // The window manager told us its frame: keep the outer size.
    void FrameKnown()
    {
        const QWindow *window = widget_->windowHandle();
        if (window == nullptr)
            return;
        const QMargins margins = window->frameMargins();
        if (margins.isNull() || margins == frame_)
            return;
        frame_ = margins;
        ApplyGeometry();
    }

private:
    void ApplyGeometry()
    {
        if (outer_.isNull())
            return;
        const QRect client = outer_.marginsRemoved(frame_);
        widget_->setGeometry(client.x(), client.y(), std::max(client.width(), 1),
                             std::max(client.height(), 1));
    }

    void ApplyStyle()
    {
        if (OnX11()) {
            WriteMotifHints(*widget_, MotifHintsForStyle(style_));
            WriteIconName(*widget_, QApplication::applicationName());
            return;
        }
        // Elsewhere the toolkit's own hints are all there is; changing them
        // on a visible window would hide it, so only before it is shown.
        // Where the toolkit's decorations would show buttons the style does
        // not have, the window draws its own frame instead.
        const bool drawn = DrawsOwnFrame(QGuiApplication::platformName(), style_);
        if (widget_->isVisible()) {
            if (drawn && widget_->DrawsFrame())
                widget_->SetDrawnFrame(true, style_);
            return;
        }
        if (drawn != widget_->DrawsFrame()) {
            frame_ = drawn ? QMargins() : kClassicFrame;
            widget_->SetDrawnFrame(drawn, style_);
            ApplyGeometry();
        } else if (drawn) {
            widget_->SetDrawnFrame(true, style_);
        }
        if (drawn) {
            widget_->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
            return;
        }
        Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
        if ((style_ & WS_CAPTION) == WS_CAPTION)
            flags |= Qt::WindowTitleHint;
        if ((style_ & WS_SYSMENU) != 0) {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            if ((style_ & WS_MINIMIZEBOX) != 0)
                flags |= Qt::WindowMinimizeButtonHint;
            if ((style_ & WS_MAXIMIZEBOX) != 0)
                flags |= Qt::WindowMaximizeButtonHint;
        }
        widget_->setWindowFlags(flags);
    }

    Backend &backend_;
    std::unique_ptr<FormWidget> widget_;
    QRect outer_;
    QMargins frame_ = kClassicFrame;
    LONG style_ = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
};

bool FormWidget::eventFilter(QObject *watched, QEvent *event)
{
#ifdef VCL_STARTUP_TRACE
    static bool painted = false;
    if (event->type() == QEvent::Expose && !painted) {
        painted = true;
        VCL_TRACE("exposed");
    }
#endif
    if (event->type() == QEvent::Expose || event->type() == QEvent::Move)
        owner_.FrameKnown();
    return QWidget::eventFilter(watched, event);
}

// --------------------------------------------------------- the controls

template <class Widget>
class ControlWindow : public backend::NativeControl {
public:
    explicit ControlWindow(Widget *widget) : widget_(widget) {}
    ~ControlWindow() override { delete widget_.data(); }

    void SetBounds(int left, int top, int width, int height) override
    {
        widget_->setGeometry(left, top, width, height);
    }
    void SetText(const String &text) override { widget_->setText(FromText(text)); }
    void SetFont(const TFontData &font) override
    {
        widget_->setFont(ToQFont(font));
        QPalette palette = widget_->palette();
        palette.setColor(QPalette::WindowText, ToQColor(font.Color));
        palette.setColor(QPalette::ButtonText, ToQColor(font.Color));
        widget_->setPalette(palette);
    }
    void SetColor(TColor) override {}
    void SetFocus() override { widget_->setFocus(Qt::OtherFocusReason); }

    Widget *Get() const { return widget_.data(); }

private:
    QPointer<Widget> widget_;
};

class Label : public QLabel {
public:
    Label(TLabel &label, QWidget *parent) : QLabel(parent), label_(label)
    {
        setTextFormat(Qt::PlainText);
        setWordWrap(false);
        setMargin(0);
        setIndent(0);
        setContentsMargins(0, 0, 0, 0);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setFocusPolicy(Qt::NoFocus);
        show();
    }
    TLabel &label_;
};

class Button : public QPushButton {
public:
    Button(TButton &button, QWidget *parent) : QPushButton(parent), button_(button)
    {
        setAutoDefault(false);
        setFocusPolicy(Qt::StrongFocus);
        connect(this, &QPushButton::clicked, this, [this] { button_.Click(); });
        show();
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const auto key = event->key();
        const auto modifiers =
            event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier |
                                  Qt::MetaModifier);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && modifiers == 0) {
            event->accept();
            if (!event->isAutoRepeat())
                click();
            return;
        }
        if (key == Qt::Key_Escape) {
            event->accept();
            return;
        }
        QPushButton::keyPressEvent(event);
    }

private:
    TButton &button_;
};

// ------------------------------------------------------------ the back end

void QuietStartupMessages(QtMsgType type, const QMessageLogContext &context,
                          const QString &message);
Backend &TheBackend();

class Backend : public backend::Backend {
public:
    void SetApplicationTitle(const String &title) override
    {
        title_ = title;
        if (app_)
            QApplication::setApplicationName(FromText(title));
    }

    std::unique_ptr<backend::NativeForm> CreateForm(TForm &form) override
    {
        EnsureApp();
        auto window = std::make_unique<FormWindow>(*this, form);
        forms_.insert(window.get());
        return window;
    }

    std::unique_ptr<backend::NativeControl> CreateLabel(TLabel &label,
                                                        backend::NativeForm &parent) override
    {
        auto &form = static_cast<FormWindow &>(parent);
        return std::make_unique<ControlWindow<QLabel>>(new Label(label, form.Widget()->Client()));
    }

    std::unique_ptr<backend::NativeControl> CreateButton(TButton &button,
                                                         backend::NativeForm &parent) override
    {
        auto &form = static_cast<FormWindow &>(parent);
        return std::make_unique<ControlWindow<QPushButton>>(
            new Button(button, form.Widget()->Client()));
    }

    TSize TextExtent(const TFontData &font, const String &text) override
    {
        EnsureApp();
#ifdef VCL_STARTUP_TRACE
        static bool first = true;
        if (first)
            VCL_TRACE("fonts");
#endif
        const QFontMetrics metrics(ToQFont(font));
        const QRect bounds = metrics.boundingRect(QRect(0, 0, 1 << 20, 1 << 20),
                                                  Qt::AlignLeft | Qt::AlignTop, FromText(text));
#ifdef VCL_STARTUP_TRACE
        if (first)
            VCL_TRACE("fonts-done");
        first = false;
#endif
        return {bounds.width(), bounds.height()};
    }

    int TextHeight(const TFontData &font) override
    {
        EnsureApp();
        return QFontMetrics(ToQFont(font)).height();
    }

    int ScreenPixelsPerInch() override
    {
        EnsureApp();
        const QScreen *screen = QGuiApplication::primaryScreen();
        return screen != nullptr ? qRound(screen->logicalDotsPerInchY()) : 96;
    }

    int StartupShowCommand() override { return SW_SHOWNORMAL; }

    void RunMessageLoop() override
    {
        EnsureApp();
        VCL_TRACE("loop");
        looping_ = true;
        QApplication::exec();
        looping_ = false;
    }

    void Quit() override
    {
        // Only a running loop is told to end: told outside one, Qt would
        // end every later local loop (an error box's) at once.
        if (looping_)
            QCoreApplication::exit(0);
    }

    void ShowErrorBox(const String &caption, const String &message) override
    {
        EnsureApp();
        QMessageBox box(QMessageBox::Critical, FromText(caption), FromText(message),
                        QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        box.setWindowTitle(FromText(caption));
        box.exec();
    }

    std::optional<String> ResourceText(const String &name) override
    {
        return FindRegisteredResource(name);
    }

    backend::NativeForm *FromHandle(HWND handle) override
    {
        auto *candidate = reinterpret_cast<FormWindow *>(handle);
        return forms_.count(candidate) != 0 ? candidate : nullptr;
    }

    void Shutdown() override { app_.reset(); }

    void Forget(FormWindow *window) { forms_.erase(window); }

    void EnsureApp()
    {
        if (app_)
            return;
        if (QCoreApplication::instance() != nullptr) {
            // Someone else (a test) made the application object.
            return;
        }
        PrepareEnvironment();
        program_ = ProgramName();
        argv_[0] = program_.data();
        argv_[1] = nullptr;
        argc_ = 1;
        const QtMessageHandler previous = qInstallMessageHandler(QuietStartupMessages);
        // The toolkit sees the program's name alone, never the real
        // arguments: none of its own options can change the program.
        VCL_TRACE("application");
        app_ = std::make_unique<QApplication>(argc_, argv_);
        VCL_TRACE("application-done");
        qInstallMessageHandler(previous);
        // The toolkit ends the process with exit(1) from inside its loop
        // when the display connection breaks (the X server died). Running
        // the program's destructors then would tear widgets down under the
        // toolkit's feet: end at once, with that status, instead.
        std::atexit([] {
            if (TheBackend().looping_) {
                std::fflush(stderr);
                _exit(1);
            }
        });
        QApplication::setQuitOnLastWindowClosed(false);
        QApplication::setApplicationName(FromText(title_.empty() ? program_ : title_));
        QApplication::setDesktopFileName(FromText(program_));
    }

private:
    // The window class's instance name: the application title in lower
    // case ("tarvik"), or the executable's name.
    String ProgramName() const
    {
        if (!title_.empty()) {
            String lower = title_;
            for (char &c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return lower;
        }
        char path[4096];
        const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
        if (length <= 0)
            return "vcl";
        path[length] = '\0';
        const char *slash = std::strrchr(path, '/');
        return slash != nullptr ? slash + 1 : path;
    }

    static void PrepareEnvironment()
    {
        // The layer applies the density rule itself; the toolkit's own
        // scaling would scale a second time.
        setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
        unsetenv("QT_SCALE_FACTOR");
        unsetenv("QT_SCREEN_SCALE_FACTORS");
        // Without a session bus, the accessibility bridge's first call
        // would start a bus daemon that outlives us. A running screen
        // reader always comes with a session bus, so nothing is lost.
        const char *bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        if (bus == nullptr || *bus == '\0') {
            const char *runtime = std::getenv("XDG_RUNTIME_DIR");
            struct stat status {};
            const bool socket = runtime != nullptr && *runtime != '\0' &&
                                stat((String(runtime) + "/bus").c_str(), &status) == 0 &&
                                S_ISSOCK(status.st_mode);
            if (!socket)
                setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
        }
    }

    std::unique_ptr<QApplication> app_;
    String title_;
    String program_;
    int argc_ = 1;
    char *argv_[2] = {nullptr, nullptr};
    std::set<FormWindow *> forms_;
    bool looping_ = false;
};

Backend &TheBackend()
{
    // Never destroyed: forms destroyed late can still reach it.
    static auto *backend = new Backend;
    return *backend;
}

// Installed only while the application object is being made: the
// toolkit's start-up chatter is not shown; if it cannot start (no display),
// one line says so and the process ends with status 1 instead of aborting.
void QuietStartupMessages(QtMsgType type, const QMessageLogContext &, const QString &)
{
    if (type != QtFatalMsg)
        return;
    const char *display = std::getenv("DISPLAY");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    String where;
    if (display != nullptr && *display != '\0')
        where = String(" (DISPLAY=") + display + ")";
    else if (wayland != nullptr && *wayland != '\0')
        where = String(" (WAYLAND_DISPLAY=") + wayland + ")";
    else
        where = " (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    std::fprintf(stderr, "%s: cannot open the display%s\n",
                 program_invocation_short_name, where.c_str());
    std::fflush(stderr);
    _exit(1);
}

FormWindow::FormWindow(Backend &backend, TForm &form)
    : backend_(backend), widget_(std::make_unique<FormWidget>(form, *this))
{
    widget_->setAttribute(Qt::WA_NativeWindow);
    widget_->setWindowIconText(QApplication::applicationName());
    widget_->winId(); // the native window exists from now on, still hidden
    if (QWindow *window = widget_->windowHandle())
        window->installEventFilter(widget_.get());
}

FormWindow::~FormWindow()
{
    backend_.Forget(this);
}

} // namespace

QFont ToQFont(const TFontData &data)
{
    QFont font;
    // "MS Sans Serif" and its kin are not on this system: the nearest
    // sans-serif face of the same pixel height stands in for them.
    font.setFamilies({FromText(data.Name), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, data.Height < 0 ? -data.Height : data.Height));
    font.setBold((data.Style & fsBold) != 0);
    font.setItalic((data.Style & fsItalic) != 0);
    font.setUnderline((data.Style & fsUnderline) != 0);
    font.setStrikeOut((data.Style & fsStrikeOut) != 0);
    return font;
}

QColor ToQColor(TColor color)
{
    if (IsSystemColor(color)) {
        const QPalette palette = QApplication::palette();
        switch (color) {
        case clWindowText:
            return palette.color(QPalette::WindowText);
        case clBtnText:
            return palette.color(QPalette::ButtonText);
        case clWindow:
            return palette.color(QPalette::Base);
        case clBtnFace:
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

QWidget *WidgetOf(const TControl &control)
{
    if (const auto *form = dynamic_cast<const TForm *>(&control)) {
        auto *window = static_cast<FormWindow *>(form->NativeForm());
        return window != nullptr ? window->Widget() : nullptr;
    }
    if (auto *label = dynamic_cast<ControlWindow<QLabel> *>(control.Native()))
        return label->Get();
    if (auto *button = dynamic_cast<ControlWindow<QPushButton> *>(control.Native()))
        return button->Get();
    return nullptr;
}

QWidget *ClientOf(const TForm &form)
{
    auto *window = static_cast<FormWindow *>(form.NativeForm());
    return window != nullptr ? window->Widget()->Client() : nullptr;
}

void EnsureApplication()
{
    TheBackend().EnsureApp();
}

} // namespace vcl::qt

namespace vcl::backend {

Backend &Instance()
{
    return vcl::qt::TheBackend();
}

} // namespace vcl::backend
