#include "FakeBackend.h"

#include "vcl/DfmReader.h"

#include <algorithm>
#include <cstdlib>

namespace vcl::test {

template <class Base>
void FakeCommon<Base>::SetFocus()
{
    FakeBackend::Get().focused = this;
}

template struct FakeCommon<backend::NativeControl>;
template struct FakeCommon<backend::NativeForm>;

FakeForm::~FakeForm()
{
    FakeBackend::Get().forms.erase(this);
    if (FakeBackend::Get().focused == this)
        FakeBackend::Get().focused = nullptr;
}

FakeBackend &FakeBackend::Get()
{
    static auto *backend = new FakeBackend;
    return *backend;
}

void FakeBackend::Reset()
{
    title.clear();
    resources.clear();
    // At 96 dpi an 11-pixel font is 13 pixels high; heights grow with it.
    textHeightOf = [](int fontHeight) { return MulDiv(std::abs(fontHeight), 13, 11); };
    pixelsPerInch = 96;
    startupShowCommand = SW_SHOWNORMAL;
    loopsRun = 0;
    quits = 0;
    duringLoop = nullptr;
    errorBoxes.clear();
    focused = nullptr;
}

std::unique_ptr<backend::NativeForm> FakeBackend::CreateForm(TForm &)
{
    auto form = std::make_unique<FakeForm>();
    forms.insert(form.get());
    return form;
}

TSize FakeBackend::TextExtent(const TFontData &font, const String &text)
{
    int lines = 1;
    int widest = 0;
    int current = 0;
    for (char c : text) {
        if (c == '\n') {
            ++lines;
            current = 0;
        } else {
            widest = std::max(widest, ++current);
        }
    }
    return {widest * 6, lines * textHeightOf(font.Height)};
}

std::optional<String> FakeBackend::ResourceText(const String &name)
{
    for (const auto &[key, value] : resources)
        if (SameText(key, name))
            return value;
    return std::nullopt;
}

} // namespace vcl::test

namespace vcl::backend {
Backend &Instance()
{
    return vcl::test::FakeBackend::Get();
}
} // namespace vcl::backend
