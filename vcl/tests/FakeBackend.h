// A back end with no toolkit behind it, for the core's tests: it records
// what the core asks of it and measures text by a fixed rule.
#pragma once

#include "vcl/Backend.h"

#include <functional>
#include <memory>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vcl::test {

// What every fake native control records.
template <class Base>
struct FakeCommon : Base {
    int left = 0, top = 0, width = 0, height = 0;
    String text;
    TFontData font;
    TColor color = 0;

    void SetBounds(int l, int t, int w, int h) override
    {
        left = l;
        top = t;
        width = w;
        height = h;
    }
    void SetText(const String &value) override { text = value; }
    void SetFont(const TFontData &value) override { font = value; }
    void SetColor(TColor value) override { color = value; }
    void SetFocus() override;
};

using FakeControl = FakeCommon<backend::NativeControl>;

struct FakeForm : FakeCommon<backend::NativeForm> {
    ~FakeForm() override;
    HWND Handle() const override { return reinterpret_cast<HWND>(const_cast<FakeForm *>(this)); }
    void SetIcon(const TIconImage &value) override { icon = value; }
    void SetScrollExtent(int w, int h) override { extent = {w, h}; }
    void Show(int command) override
    {
        visible = true;
        showCommand = command;
    }
    void Hide() override { visible = false; }
    bool IsVisible() const override { return visible; }
    LONG Style() const override { return style; }
    void SetStyle(LONG value) override { style = value; }
    void RedrawFrame() override { ++frameRedraws; }

    TIconImage icon;
    TSize extent;
    bool visible = false;
    int showCommand = -1;
    LONG style = WS_OVERLAPPEDWINDOW;
    int frameRedraws = 0;
};

class FakeBackend : public backend::Backend {
public:
    static FakeBackend &Get();

    // Back to a fresh state; resources and measures as given.
    void Reset();

    void SetApplicationTitle(const String &title) override { this->title = title; }
    std::unique_ptr<backend::NativeForm> CreateForm(TForm &) override;
    std::unique_ptr<backend::NativeControl> CreateLabel(TLabel &, backend::NativeForm &) override
    {
        return std::make_unique<FakeControl>();
    }
    std::unique_ptr<backend::NativeControl> CreateButton(TButton &, backend::NativeForm &) override
    {
        return std::make_unique<FakeControl>();
    }
    // Each character 6 pixels wide, each line one text height high.
    TSize TextExtent(const TFontData &font, const String &text) override;
    int TextHeight(const TFontData &font) override { return textHeightOf(font.Height); }
    int ScreenPixelsPerInch() override { return pixelsPerInch; }
    int StartupShowCommand() override { return startupShowCommand; }
    void RunMessageLoop() override
    {
        ++loopsRun;
        if (duringLoop)
            duringLoop();
    }
    void Quit() override { ++quits; }
    void ShowErrorBox(const String &caption, const String &message) override
    {
        errorBoxes.emplace_back(caption, message);
    }
    std::optional<String> ResourceText(const String &name) override;
    backend::NativeForm *FromHandle(HWND handle) override
    {
        auto *form = reinterpret_cast<FakeForm *>(handle);
        return forms.count(form) != 0 ? form : nullptr;
    }

    String title;
    std::map<String, String> resources;
    std::function<int(int fontHeight)> textHeightOf;
    int pixelsPerInch = 96;
    int startupShowCommand = SW_SHOWNORMAL;
    int loopsRun = 0;
    int quits = 0;
    std::function<void()> duringLoop;
    std::vector<std::pair<String, String>> errorBoxes;
    std::set<FakeForm *> forms;
    // The native control that last took the focus.
    const backend::NativeControl *focused = nullptr;
};

} // namespace vcl::test
