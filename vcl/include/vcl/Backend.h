// The one interface between the layer's platform-neutral core and a
// platform's toolkit. A back end implements it once; the core never sees a
// toolkit type.
#pragma once

#include "vcl/Graphics.h"
#include "vcl/SysUtils.h"
#include "vcl/WinApi.h"

#include <memory>
#include <optional>

namespace vcl {

class TButton;
class TForm;
class TLabel;

struct TSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TSize &other) const
    {
        return Width == other.Width && Height == other.Height;
    }
};

namespace backend {

// A native control on a form: a label or a button. Bounds are in pixels,
// relative to the form's client area.
class NativeControl {
public:
    virtual ~NativeControl() = default;
    virtual void SetBounds(int left, int top, int width, int height) = 0;
    virtual void SetText(const String &text) = 0;
    virtual void SetFont(const TFontData &font) = 0;
    virtual void SetColor(TColor color) = 0;
    virtual void SetFocus() = 0;
};

// A form's native top-level window, created hidden. Its bounds are the outer
// bounds, frame and title bar included.
class NativeForm : public NativeControl {
public:
    virtual HWND Handle() const = 0;
    virtual void SetIcon(const TIconImage &icon) = 0;
    // The extent of the controls: where the client area is smaller, the
    // window shows a scroll bar for that direction.
    virtual void SetScrollExtent(int width, int height) = 0;
    virtual void Show(int showCommand) = 0;
    virtual void Hide() = 0;
    virtual bool IsVisible() const = 0;
    // The window style word (WS_*); changing it changes the decorations.
    virtual LONG Style() const = 0;
    virtual void SetStyle(LONG style) = 0;
    // Repaints the frame (and the client area) at once.
    virtual void RedrawFrame() = 0;
};

class Backend {
public:
    virtual ~Backend() = default;

    virtual void SetApplicationTitle(const String &title) = 0;
    virtual std::unique_ptr<NativeForm> CreateForm(TForm &form) = 0;
    virtual std::unique_ptr<NativeControl> CreateLabel(TLabel &label, NativeForm &parent) = 0;
    virtual std::unique_ptr<NativeControl> CreateButton(TButton &button, NativeForm &parent) = 0;
    // The size a label needs for `text` in `font`: the widest line and
    // the height of all lines.
    virtual TSize TextExtent(const TFontData &font, const String &text) = 0;
    // The height of one line of text in `font`.
    virtual int TextHeight(const TFontData &font) = 0;
    virtual int ScreenPixelsPerInch() = 0;
    // The show state the process was started with (SW_*).
    virtual int StartupShowCommand() = 0;
    // Dispatches events until Quit is called.
    virtual void RunMessageLoop() = 0;
    virtual void Quit() = 0;
    // A modal error report: error icon, OK button, `caption` as its title.
    virtual void ShowErrorBox(const String &caption, const String &message) = 0;
    // The resource the program carries under `name`, if any.
    virtual std::optional<String> ResourceText(const String &name) = 0;
    // The native form behind a window handle, or null.
    virtual NativeForm *FromHandle(HWND handle) = 0;
    // Releases the toolkit once the application's windows are gone.
    virtual void Shutdown() {}
};

// The back end linked into this program. It is never destroyed before the
// end of the process, so objects destroyed late can still reach it.
Backend &Instance();

} // namespace backend
} // namespace vcl
