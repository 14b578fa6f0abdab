// The program's form and entry on the fake back end: the shipped
// description, the notice text, and the entry's run and exit status.
#include "FakeBackend.h"
#include "NoticeLines.h"
#include "UTarvik.h"

#ifndef _WIN32
#include "vcl/Shell.h"
#endif

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using vcl::test::FakeBackend;
using vcl::test::FakeForm;

String ReadFile(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class TarvikTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeBackend::Get().Reset();
        FakeBackend::Get().resources["TFTARVIK"] = ReadFile(TARVIK_DFM);
        ASSERT_FALSE(FakeBackend::Get().resources["TFTARVIK"].empty());
        previous_ = Application;
        Application = &application_;
        FTarvik = nullptr;
#ifndef _WIN32
        vcl::SetDesktopOpener([this](const String &path) {
            requests_.push_back(path);
            return 42;
        });
#endif
    }
    void TearDown() override
    {
#ifndef _WIN32
        vcl::SetDesktopOpener(nullptr);
#endif
        application_.DestroyComponents();
        Application = previous_;
        FTarvik = nullptr;
    }

    TApplication application_;
    TApplication *previous_ = nullptr;
    std::vector<String> requests_;
};

TEST_F(TarvikTest, TheDescriptionBuildsTheWindowWithItsDesignSettings)
{
    Application->CreateForm(&FTarvik);
    ASSERT_NE(FTarvik, nullptr);
    EXPECT_EQ(FTarvik->GetName(), "FTarvik");
    EXPECT_EQ(FTarvik->GetLeft(), 284);
    EXPECT_EQ(FTarvik->GetTop(), 304);
    EXPECT_EQ(FTarvik->GetWidth(), 500);
    EXPECT_EQ(FTarvik->GetHeight(), 373);
    EXPECT_EQ(FTarvik->GetCaption(), "Lathmere");
    EXPECT_EQ(FTarvik->GetColor(), vcl::clBtnFace);
    EXPECT_EQ(FTarvik->GetFont(), (vcl::TFontData{"MS Sans Serif", -11, 1, vcl::clWindowText, 0}));
    EXPECT_EQ(FTarvik->GetPixelsPerInch(), 96);
    EXPECT_EQ(FTarvik->GetDesignTextHeight(), 13);
    EXPECT_FALSE(FTarvik->GetOldCreateOrder());

    const struct {
        vcl::TControl *control;
        int left, top;
        vcl::TFontData font;
    } controls[] = {
        {FTarvik->Label1, 10, 10, {"MS Sans Serif", -17, 1, vcl::clRed, vcl::fsBold}},
        {FTarvik->Label2, 10, 48, {"MS Sans Serif", -11, 1, vcl::clWindowText, 0}},
        {FTarvik->BtnOK, 190, 290, {"MS Sans Serif", -11, 1, vcl::clWindowText, vcl::fsBold}},
    };
    for (const auto &c : controls) {
        EXPECT_EQ(c.control->GetLeft(), c.left) << c.control->GetName();
        EXPECT_EQ(c.control->GetTop(), c.top) << c.control->GetName();
        EXPECT_EQ(c.control->GetFont(), c.font) << c.control->GetName();
    }
    EXPECT_EQ(FTarvik->BtnOK->GetWidth(), 105);
    EXPECT_EQ(FTarvik->BtnOK->GetHeight(), 33);
    EXPECT_EQ(FTarvik->BtnOK->GetCaption(), "OK");
    EXPECT_EQ(FTarvik->BtnOK->GetTabOrder(), 0);
    EXPECT_TRUE(FTarvik->Label2->GetParentFont());
}

TEST_F(TarvikTest, TheWindowsIconIsTheProgramsIcon)
{
    Application->CreateForm(&FTarvik);
    const String ico = ReadFile(TARVIK_ICO);
    EXPECT_EQ(FTarvik->GetIcon().Data, std::vector<std::uint8_t>(ico.begin(), ico.end()));
    const vcl::TIconImage image = vcl::DecodeIcon(FTarvik->GetIcon().Data);
    EXPECT_EQ(image.Width, 32);
    EXPECT_EQ(image.Height, 32);
}

TEST_F(TarvikTest, CreationTakesTheWindowMenuOffAndFillsInTheTexts)
{
    Application->CreateForm(&FTarvik);
    auto &native = static_cast<FakeForm &>(*FTarvik->NativeForm());
#ifndef _WIN32
    // On Windows these are the system's calls, checked on real windows.
    EXPECT_EQ(native.style, WS_OVERLAPPEDWINDOW & ~WS_SYSMENU);
    EXPECT_EQ(native.frameRedraws, 1);
#endif
    EXPECT_FALSE(native.visible) << "not shown before the loop runs";
    EXPECT_EQ(native.text, "Lathmere");
    EXPECT_EQ(FTarvik->Label1->GetCaption(), "Important information to read");
}

TEST_F(TarvikTest, TheNoticeTextIsExactlyTheFourteenLines)
{
    Application->CreateForm(&FTarvik);
    const String notice = FTarvik->Label2->Caption;
    String expected;
    for (const char *line : tarvik::test::kNoticeLines)
        expected += (line == tarvik::test::kNoticeLines[0] ? "" : "\n") + String(line);
    EXPECT_EQ(notice, expected);
    EXPECT_EQ(std::count(notice.begin(), notice.end(), '\n'), 13);
    EXPECT_EQ(notice.find('\r'), String::npos);
    // The label is as large as its text: 14 lines of 13 pixels here.
    EXPECT_EQ(FTarvik->Label2->GetHeight(), 14 * 13);
}

// A fresh folder made the working directory for the test's length.
class TemporaryFolder {
public:
    TemporaryFolder()
    {
        namespace fs = std::filesystem;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = fs::temp_directory_path() / ("tarvik-form-" + std::to_string(stamp));
        fs::create_directories(path_);
        previous_ = fs::current_path();
        fs::current_path(path_);
    }
    ~TemporaryFolder()
    {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(path_);
    }
    void Touch(const char *name) { std::ofstream(path_ / name) << "x"; }
    // The absolute path the shell is handed for `name` in this folder.
    String PathOf(const char *name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

// Elsewhere the open request goes through the layer's own ShellExecuteA,
// which a test can watch; on Windows it is the system's (see tests/wine).
#ifndef _WIN32
TEST_F(TarvikTest, OkOpensTheWorkbookInTheWorkingFolderOnceAndEnds)
{
    TemporaryFolder folder;
    folder.Touch("DemoLathmere.xls");
    Application->CreateForm(&FTarvik);
    FakeBackend::Get().duringLoop = [] {
        FTarvik->BtnOK->Click();
        FTarvik->BtnOK->Click(); // a second activation queued behind the first
    };
    Application->Run();
    EXPECT_EQ(requests_, std::vector<String>{folder.PathOf("DemoLathmere.xls")});
    EXPECT_TRUE(Application->GetTerminated());
}

TEST_F(TarvikTest, WithoutTheWorkbookOkEndsSilently)
{
    TemporaryFolder folder;
    Application->CreateForm(&FTarvik);
    FakeBackend::Get().duringLoop = [] { FTarvik->BtnOK->Click(); };
    Application->Run();
    EXPECT_TRUE(requests_.empty());
    EXPECT_TRUE(FakeBackend::Get().errorBoxes.empty());
    EXPECT_TRUE(Application->GetTerminated());
}

#endif

TEST_F(TarvikTest, TheEntryRunsTheWindowAndReturnsZero)
{
    FakeBackend::Get().duringLoop = [] { FTarvik->BtnOK->Click(); };
    char noCommandLine[] = "";
    EXPECT_EQ(WinMain(nullptr, nullptr, noCommandLine, SW_SHOWNORMAL), 0);
    EXPECT_EQ(FakeBackend::Get().title, "Tarvik");
    EXPECT_EQ(FakeBackend::Get().loopsRun, 1);
    EXPECT_TRUE(FakeBackend::Get().errorBoxes.empty());
    EXPECT_EQ(FakeBackend::Get().focused, FTarvik->BtnOK->Native());
}

TEST_F(TarvikTest, WhenTheDescriptionCannotBeReadTheEntryReportsOnceAndReturnsOne)
{
    const String good = FakeBackend::Get().resources["TFTARVIK"];
    const auto handlerAt = good.find("BtnOKClick");
    const String handlerLine =
        std::to_string(std::count(good.begin(), good.begin() + handlerAt, '\n') + 1);
    const String badHandler =
        "Erreur de lecture de la ressource TFTarvik : méthode BtnOkClik introuvable dans "
        "TFTarvik, ligne " + handlerLine + ", colonne 15.";
    const struct {
        std::optional<String> description;
        const char *message;
    } cases[] = {
        {std::nullopt, "Ressource TFTarvik introuvable."},
        {String("object FTarvik: TFTarvik\n  Left = 284\n"),
         "Erreur de lecture de la ressource TFTarvik : propriété, « object » ou « end » "
         "attendus, fin de la description trouvée, ligne 3, colonne 1."},
        {String(good).replace(handlerAt, 10, "BtnOkClik"), badHandler.c_str()},
    };
    for (const auto &c : cases) {
        TearDown();
        SetUp();
        if (c.description)
            FakeBackend::Get().resources["TFTARVIK"] = *c.description;
        else
            FakeBackend::Get().resources.clear();
        char noCommandLine[] = "";
        EXPECT_EQ(WinMain(nullptr, nullptr, noCommandLine, SW_SHOWNORMAL), 1);
        EXPECT_EQ(FakeBackend::Get().errorBoxes,
                  (std::vector<std::pair<String, String>>{{"Tarvik", c.message}}));
        EXPECT_EQ(FakeBackend::Get().loopsRun, 0);
        EXPECT_TRUE(Application->Components().empty()) << "no window is left";
    }
}

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
