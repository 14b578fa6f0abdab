// Forms read from descriptions and bound to their class by name, and the
// application object's run, on the fake back end.
#include "FakeBackend.h"

#include "vcl/Forms.h"

#include <gtest/gtest.h>

namespace vcl {

class TTestForm : public TForm {
public:
    TButton *Button = nullptr;
    TLabel *Text = nullptr;
    void FormCreate(TObject *) { ++created; if (onCreate) onCreate(); }
    void ButtonClick(TObject *) { ++clicks; if (onClick) onClick(); }

    explicit TTestForm(TComponent *Owner) : TForm(Owner) {}
    int created = 0;
    int clicks = 0;
    std::function<void()> onCreate;
    std::function<void()> onClick;
};

template <>
const TClassInfo &ClassInfoOf<TTestForm>()
{
    static const TClassInfo info("TTestForm", {
        Publish("Button", &TTestForm::Button),
        Publish("Text", &TTestForm::Text),
        Publish("FormCreate", &TTestForm::FormCreate),
        Publish("ButtonClick", &TTestForm::ButtonClick),
    });
    return info;
}

namespace {

using test::FakeBackend;
using test::FakeForm;

const char *const kGoodForm = "object TestForm: TTestForm\n"
                              "  Left = 10\n"
                              "  Top = 20\n"
                              "  Width = 300\n"
                              "  Height = 200\n"
                              "  Caption = 'Test'\n"
                              "  Font.Height = -11\n"
                              "  OnCreate = FormCreate\n"
                              "  PixelsPerInch = 96\n"
                              "  TextHeight = 13\n"
                              "  object Text: TLabel\n"
                              "    Left = 10\n"
                              "    Top = 48\n"
                              "    Width = 32\n"
                              "    Height = 13\n"
                              "    Caption = 'ab'#10'cdef'\n"
                              "  end\n"
                              "  object Button: TButton\n"
                              "    Left = 190\n"
                              "    Top = 150\n"
                              "    Width = 105\n"
                              "    Height = 33\n"
                              "    Caption = 'OK'\n"
                              "    Font.Height = -11\n"
                              "    Font.Style = [fsBold]\n"
                              "    ParentFont = False\n"
                              "    TabOrder = 0\n"
                              "    OnClick = ButtonClick\n"
                              "  end\n"
                              "end\n";

class FormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeBackend::Get().Reset();
        FakeBackend::Get().resources["TTESTFORM"] = kGoodForm;
        previous_ = Application;
        Application = &application_;
    }
    void TearDown() override
    {
        application_.DestroyComponents();
        Application = previous_;
    }

    TTestForm *Create()
    {
        TTestForm *form = nullptr;
        Application->CreateForm(&form);
        return form;
    }

    static FakeForm &Native(TForm &form) { return static_cast<FakeForm &>(*form.NativeForm()); }

    TApplication application_;
    TApplication *previous_ = nullptr;
};

TEST_F(FormTest, BuildsTheFormAndBindsMembersAndHandlersByName)
{
    TTestForm *form = Create();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetName(), "TestForm");
    EXPECT_STREQ(form->ClassName(), "TTestForm");
    EXPECT_EQ(form->created, 1);
    ASSERT_NE(form->Button, nullptr);
    ASSERT_NE(form->Text, nullptr);
    EXPECT_EQ(form->Button->GetCaption(), "OK");
    EXPECT_EQ(form->Button->GetFont().Style, unsigned(fsBold));
    EXPECT_FALSE(form->Button->GetParentFont());
    EXPECT_TRUE(form->Text->GetParentFont());
    form->Button->Click();
    EXPECT_EQ(form->clicks, 1);
    EXPECT_EQ(Application->GetMainForm(), form);
}

TEST_F(FormTest, LabelsSizeThemselvesToTheirText)
{
    TTestForm *form = Create();
    // Widest line 4 characters of 6 pixels, two lines of 13.
    EXPECT_EQ(form->Text->GetWidth(), 24);
    EXPECT_EQ(form->Text->GetHeight(), 26);
    form->Text->Caption = "one\ntwo\nthree";
    EXPECT_EQ(form->Text->GetWidth(), 30);
    EXPECT_EQ(form->Text->GetHeight(), 39);
}

TEST_F(FormTest, TheNativeWindowGetsEverySettingAndTheControlsExtent)
{
    TTestForm *form = Create();
    HWND handle = form->Handle;
    ASSERT_NE(handle, nullptr);
    FakeForm &native = Native(*form);
    EXPECT_EQ(native.text, "Test");
    EXPECT_EQ(native.left, 10);
    EXPECT_EQ(native.top, 20);
    EXPECT_EQ(native.width, 300);
    EXPECT_EQ(native.height, 200);
    EXPECT_EQ(native.extent, (TSize{295, 183}));
    form->Button->SetBounds(190, 400, 105, 33);
    EXPECT_EQ(native.extent, (TSize{295, 433}));
}

TEST_F(FormTest, TheWindowMenuBitGoesThroughTheWindowsNames)
{
#ifdef _WIN32
    GTEST_SKIP() << "on Windows these are the system's own calls, on real windows only";
#endif
    TTestForm *form = Create();
    HWND handle = form->Handle;
    const LONG style = GetWindowLongA(handle, GWL_STYLE);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(SetWindowLongA(handle, GWL_STYLE, style & ~WS_SYSMENU), style);
    EXPECT_EQ(GetWindowLongA(handle, GWL_STYLE), style & ~WS_SYSMENU);
    EXPECT_TRUE(RedrawWindow(handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW));
    EXPECT_EQ(Native(*form).frameRedraws, 1);
    // A handle that is no window changes nothing and fails.
    EXPECT_EQ(GetWindowLongA(nullptr, GWL_STYLE), 0);
    EXPECT_EQ(SetWindowLongA(reinterpret_cast<HWND>(form), GWL_STYLE, 0), 0);
    EXPECT_FALSE(RedrawWindow(nullptr, nullptr, nullptr, RDW_FRAME));
}

TEST_F(FormTest, RefusesDescriptionsThatDoNotMatchTheClass)
{
    const auto replace = [](String text, const String &from, const String &to) {
        const auto at = text.find(from);
        EXPECT_NE(at, String::npos) << from;
        return text.replace(at, from.size(), to);
    };
    const String good = kGoodForm;
    const struct {
        String text;
        const char *message;
    } cases[] = {
        {replace(good, "TestForm: TTestForm", "TestForm: TOther"),
         "la description est celle de la classe TOther et non de TTestForm, ligne 1, colonne 1"},
        {replace(good, "Text: TLabel", "Text: TMemo"), "classe TMemo introuvable, ligne 11, colonne 3"},
        {replace(good, "Text: TLabel", "Text: TButton"),
         "le composant Text n'est pas de la classe attendue, TButton trouvée, ligne 11, colonne 3"},
        {replace(good, "object Text: TLabel", "object Other: TLabel"),
         "le composant Other n'est pas publié par TTestForm, ligne 11, colonne 3"},
        {replace(good, "object Text: TLabel", "object FormCreate: TLabel"),
         "le composant FormCreate n'est pas publié par TTestForm, ligne 11, colonne 3"},
        {replace(good, "object Button: TButton", "object Text: TLabel"),
         "composant Text en double, ligne 18, colonne 3"},
        {replace(good, "    Caption = 'OK'", "    Caption = 'OK'\n    Colour = clRed"),
         "la propriété Colour n'existe pas pour TButton, ligne 24, colonne 5"},
        {replace(good, "OnClick = ButtonClick", "OnClick = ButtonClik"),
         "méthode ButtonClik introuvable dans TTestForm, ligne 28, colonne 15"},
        {replace(good, "OnClick = ButtonClick", "OnClick = Button"),
         "méthode Button introuvable dans TTestForm, ligne 28, colonne 15"},
        {replace(good, "OnClick = ButtonClick", "OnClick = 'ButtonClick'"),
         "nom de méthode attendu, ligne 28, colonne 15"},
        {replace(good, "Width = 105", "Width = 'wide'"), "nombre entier attendu, ligne 21, colonne 13"},
        {replace(good, "Caption = 'OK'", "Caption = OK"), "chaîne attendue, ligne 23, colonne 15"},
        {replace(good, "ParentFont = False", "ParentFont = No"), "True ou False attendu, ligne 26, colonne 18"},
        {replace(good, "[fsBold]", "[fsHeavy]"), "style de police fsHeavy inconnu, ligne 25, colonne 18"},
        {replace(good, "  Font.Height = -11\n  OnCreate", "  Color = clPink\n  OnCreate"),
         "couleur clPink inconnue, ligne 7, colonne 11"},
        {replace(good, "  Left = 10\n  Top = 20", "  Left = 10\n  Left = 20"),
         "propriété Left en double, ligne 3, colonne 3"},
        {replace(good, "  object Button: TButton\n    Left = 190",
                 "  object Button: TButton\n    object Inner: TLabel\n    end\n    Left = 190"),
         "propriété après un composant enfant, ligne 21, colonne 5"},
    };
    for (const auto &c : cases) {
        FakeBackend::Get().resources["TTESTFORM"] = c.text;
        TTestForm *form = reinterpret_cast<TTestForm *>(1);
        try {
            Application->CreateForm(&form);
            ADD_FAILURE() << "accepted:\n" << c.text;
        } catch (const EReadError &error) {
            EXPECT_EQ(error.Message(), String("Erreur de lecture de la ressource TTestForm : ") +
                                           c.message);
        }
        EXPECT_EQ(form, nullptr) << "the reference is cleared when creation fails";
    }
    EXPECT_EQ(Application->GetMainForm(), nullptr);
    EXPECT_TRUE(Application->Components().empty()) << "a form that failed is not kept";
}

TEST_F(FormTest, RefusesADescriptionThatLeavesAPublishedMemberUnbound)
{
    String text = kGoodForm;
    const auto start = text.find("  object Button");
    text.erase(start, text.rfind("end\n") - start);
    FakeBackend::Get().resources["TTESTFORM"] = text;
    TTestForm *form = nullptr;
    try {
        Application->CreateForm(&form);
        ADD_FAILURE();
    } catch (const EReadError &error) {
        EXPECT_EQ(error.Message(), "Erreur de lecture de la ressource TTestForm : composant "
                                   "Button absent de la description");
    }
}

TEST_F(FormTest, AMissingDescriptionIsAResourceError)
{
    FakeBackend::Get().resources.clear();
    TTestForm *form = nullptr;
    try {
        Application->CreateForm(&form);
        ADD_FAILURE();
    } catch (const EResNotFound &error) {
        EXPECT_EQ(error.Message(), "Ressource TTestForm introuvable");
        EXPECT_EQ(ErrorReportText(error.Message()), "Ressource TTestForm introuvable.");
    }
    EXPECT_EQ(form, nullptr);
}

TEST_F(FormTest, OnAnotherDensityTheFontIsRescaledAndTheControlsFollowTheTextHeight)
{
    FakeBackend::Get().pixelsPerInch = 144;
    TTestForm *form = Create();
    EXPECT_EQ(form->GetFont().Height, -17);            // -11 * 144 / 96
    EXPECT_EQ(form->Text->GetFont().Height, -17);      // follows the form's font
    // The text height of -17 is 20 here, so the controls scale by 20/13.
    EXPECT_EQ(form->Button->GetLeft(), 292);
    EXPECT_EQ(form->Button->GetTop(), 231);
    EXPECT_EQ(form->Button->GetWidth(), 162);
    EXPECT_EQ(form->Button->GetHeight(), 51);
    EXPECT_EQ(form->Button->GetFont().Height, -17);    // its own font, scaled too
    EXPECT_EQ(form->Text->GetLeft(), 15);
    EXPECT_EQ(form->Text->GetTop(), 74);
    // The window's own position and outer size are never scaled.
    EXPECT_EQ(form->GetLeft(), 10);
    EXPECT_EQ(form->GetWidth(), 300);
    EXPECT_EQ(form->GetHeight(), 200);
}

TEST_F(FormTest, RunShowsTheMainFormInTheStartUpStateWithTheFocusOnItsButton)
{
    for (int command : {SW_SHOWNORMAL, SW_SHOWMAXIMIZED, SW_SHOWMINNOACTIVE}) {
        SetUp();
        FakeBackend::Get().startupShowCommand = command;
        TTestForm *form = Create();
        Application->Run();
        EXPECT_EQ(FakeBackend::Get().loopsRun, 1);
        EXPECT_EQ(Native(*form).showCommand, command);
        EXPECT_EQ(FakeBackend::Get().focused, form->Button->Native());
        TearDown();
    }
}

TEST_F(FormTest, ClosingTheMainFormEndsTheRunAndLaterClicksDoNothing)
{
    TTestForm *form = Create();
    form->onClick = [form] { form->Close(); };
    FakeBackend::Get().duringLoop = [form] {
        form->Button->Click();
        form->Button->Click(); // a second Enter queued behind the first
    };
    Application->Run();
    EXPECT_EQ(form->clicks, 1);
    EXPECT_TRUE(Application->GetTerminated());
    EXPECT_EQ(FakeBackend::Get().quits, 1);
    EXPECT_FALSE(Native(*form).visible);
}

TEST_F(FormTest, ACloseRequestFromOutsideIsTheNormalClose)
{
    TTestForm *form = Create();
    FakeBackend::Get().duringLoop = [form] { form->CloseRequested(); };
    Application->Run();
    EXPECT_TRUE(Application->GetTerminated());
    EXPECT_EQ(form->clicks, 0);
}

TEST_F(FormTest, AnExceptionInOnCreateIsReportedOnceAndStartUpGoesOn)
{
    Application->Title = "Tarvik";
    const struct {
        std::function<void()> raise;
        std::vector<std::pair<String, String>> boxes;
    } cases[] = {
        {[] { throw Exception("Échec de la création"); }, {{"Tarvik", "Échec de la création."}}},
        {[] { throw EAbort("silencieux"); }, {}},
        {[] { throw std::runtime_error("bad thing"); }, {{"Tarvik", "bad thing."}}},
        {[] { throw 42; }, {{"Tarvik", "Exception de type inconnu."}}},
    };
    for (const auto &c : cases) {
        FakeBackend::Get().errorBoxes.clear();
        application_.DestroyComponents();
        TTestForm *form = nullptr;
        Application->CreateForm(&form);
        EXPECT_TRUE(FakeBackend::Get().errorBoxes.empty());
        form->onCreate = c.raise;
        form->DoCreate();
        EXPECT_EQ(FakeBackend::Get().errorBoxes, c.boxes);
    }
}

TEST_F(FormTest, AnExceptionInAClickHandlerIsReportedAndTheLoopGoesOn)
{
    Application->Title = "Tarvik";
    TTestForm *form = Create();
    form->onClick = [] { throw Exception("Erreur 7"); };
    FakeBackend::Get().duringLoop = [form] {
        form->Button->Click();
        form->Button->Click();
    };
    Application->Run();
    EXPECT_EQ(form->clicks, 2);
    ASSERT_EQ(FakeBackend::Get().errorBoxes.size(), 2u);
    EXPECT_EQ(FakeBackend::Get().errorBoxes[0], (std::pair<String, String>{"Tarvik", "Erreur 7."}));
    EXPECT_FALSE(Application->GetTerminated());
}

} // namespace
} // namespace vcl
