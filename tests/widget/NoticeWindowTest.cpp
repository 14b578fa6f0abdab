// The notice window on the Qt back end: the real widgets behind the form,
// the keys and clicks that reach the OK button, resizing, and closing from
// outside. Runs on the offscreen platform, where no window manager adds a
// frame of its own.
#include "NoticeLines.h"
#include "QtBackend.h"
#include "UTarvik.h"

#include <vcl/Forms.h>
#include <vcl/Shell.h>
#include <vcl/WinApi.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Every path handed to the desktop's opener since the test began.
std::vector<std::string> &OpenRequests()
{
    static std::vector<std::string> requests;
    return requests;
}

// The notice as the window must show it.
QString ExpectedNotice()
{
    QStringList lines;
    for (const char *line : tarvik::test::kNoticeLines)
        lines << QString::fromUtf8(line);
    return lines.join('\n');
}

// The design geometry: the window's outer bounds, and its client area inside
// the classic frame (a 4-pixel border and a 19-pixel caption over the top
// border), which holds while no window manager reports a frame of its own.
const QRect kOuterBounds(284, 304, 500, 373);
const QMargins kClassicFrame(4, 23, 4, 4);
const QRect kClientArea(288, 327, 492, 346);
const QRect kButtonBounds(190, 290, 105, 33);

// A key held down as X11 delivers it: the first press, then auto-repeated
// release and press pairs, then the real release.
void HoldDown(QWidget *widget, Qt::Key key, const QString &text)
{
    QTest::keyPress(widget, key);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text, true);
        QApplication::sendEvent(widget, &release);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text, true);
        QApplication::sendEvent(widget, &press);
    }
    QTest::keyRelease(widget, key);
}

void Settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}

// How a test acts on the OK button.
enum class Action {
    DoubleClick,
    DoubleClickThroughTheWindow,
    TwoReturnClicks,
    ReturnHeldDown,
    ClickThenReturn,
    TwoSpaceClicks,
    SpaceHeldDown,
};

} // namespace

Q_DECLARE_METATYPE(Qt::Key)
Q_DECLARE_METATYPE(Qt::KeyboardModifiers)
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Qt::MouseButton)

class NoticeWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void titleIsTheCaptionAlone();
    void clientAreaSitsInsideTheClassicFrame();
    void outerBoundsAreKeptWhateverTheFrame();
    void windowMenuIsRemovedAndTheFrameKept();

    void headingLabel();
    void headingIsAccessibleAsStaticText();
    void noticeTextIsExact();
    void noticeLabelIsPlainUnwrappedAndSizedToItsText();

    void okButton();
    void okButtonHasTheFocusOnceShown();
    void keysSentToTheWindowReachTheButton_data();
    void keysSentToTheWindowReachTheButton();
    void accessiblePressOpensTheWorkbookAndCloses();
    void onlyTheButtonTakesTheTabFocus();

    void activatingKeysOpenTheWorkbookAndClose_data();
    void activatingKeysOpenTheWorkbookAndClose();
    void otherKeysNeitherOpenNorClose_data();
    void otherKeysNeitherOpenNorClose();
    void keyHeldFromBeforeTheWindowOpensNothing_data();
    void keyHeldFromBeforeTheWindowOpensNothing();
    void clickOpensTheWorkbookAndCloses();
    void otherMouseButtonsDoNothing_data();
    void otherMouseButtonsDoNothing();
    void repeatedActivationOpensOnce_data();
    void repeatedActivationOpensOnce();
    void clickWithoutAWorkbookClosesWithoutARequest_data();
    void clickWithoutAWorkbookClosesWithoutARequest();

    void smallWindowScrollsAndKeepsTheControls();
    void largerWindowNeverMovesOrGrowsTheControls_data();
    void largerWindowNeverMovesOrGrowsTheControls();

    void closeFromOutsideIsTheNormalClose_data();
    void closeFromOutsideIsTheNormalClose();

private:
    QWidget *Window() const { return vcl::qt::WidgetOf(*form_); }
    QWidget *Client() const { return vcl::qt::ClientOf(*form_); }
    QPushButton *Button() const
    {
        return qobject_cast<QPushButton *>(vcl::qt::WidgetOf(*form_->BtnOK));
    }
    QLabel *Heading() const { return qobject_cast<QLabel *>(vcl::qt::WidgetOf(*form_->Label1)); }
    QLabel *Notice() const { return qobject_cast<QLabel *>(vcl::qt::WidgetOf(*form_->Label2)); }
    QScrollArea *Scroll() const { return Window()->findChild<QScrollArea *>(); }
    std::string WorkbookPath() const
    {
        return QDir::current().absoluteFilePath("DemoLathmere.xls").toStdString();
    }
    void VerifyControlsAtDesignPlaces();

    std::unique_ptr<vcl::TApplication> application_;
    vcl::TApplication *previousApplication_ = nullptr;
    TFTarvik *form_ = nullptr;
    QRect geometryAsCreated_;
    std::unique_ptr<QTemporaryDir> directory_;
    QString previousDirectory_;
};

void NoticeWindowTest::initTestCase()
{
    // Requests are recorded, never handed to the desktop.
    vcl::SetDesktopOpener([](const vcl::String &path) {
        OpenRequests().push_back(path);
        return SE_OK;
    });
}

void NoticeWindowTest::init()
{
    OpenRequests().clear();

    // The workbook sits in the working directory, as next to the program.
    previousDirectory_ = QDir::currentPath();
    directory_ = std::make_unique<QTemporaryDir>();
    QVERIFY(directory_->isValid());
    QVERIFY(QDir::setCurrent(directory_->path()));
    QFile workbook(QDir::current().absoluteFilePath("DemoLathmere.xls"));
    QVERIFY(workbook.open(QIODevice::WriteOnly));
    workbook.close();

    // A fresh application object per test, set up as the program does.
    previousApplication_ = vcl::Application;
    application_ = std::make_unique<vcl::TApplication>();
    vcl::Application = application_.get();
    vcl::Application->Initialize();
    vcl::Application->Title = "Tarvik";
    form_ = nullptr;
    vcl::Application->CreateForm(&form_);
    QVERIFY(form_ != nullptr);
    QVERIFY(Window() != nullptr);
    geometryAsCreated_ = Window()->geometry();

    form_->Show(SW_SHOWNORMAL);
    QVERIFY(QTest::qWaitForWindowExposed(Window()));
    Settle();
}

void NoticeWindowTest::cleanup()
{
    if (application_)
        application_->DestroyComponents();
    vcl::Application = previousApplication_;
    application_.reset();
    form_ = nullptr;
    QDir::setCurrent(previousDirectory_);
    directory_.reset();
    Settle();
}

// ------------------------------------------------------------ the window

void NoticeWindowTest::titleIsTheCaptionAlone()
{
    QCOMPARE(Window()->windowTitle(), QStringLiteral("Lathmere"));
    QVERIFY(Window()->windowHandle() != nullptr);
    QCOMPARE(Window()->windowHandle()->title(), QStringLiteral("Lathmere"));
    QVERIFY(Window()->isWindow());
}

void NoticeWindowTest::clientAreaSitsInsideTheClassicFrame()
{
    if (!Window()->windowHandle()->frameMargins().isNull())
        QSKIP("the platform reports a window frame of its own");
    QCOMPARE(geometryAsCreated_, kClientArea);
    QCOMPARE(Window()->geometry(), kClientArea);
    QCOMPARE(Window()->windowHandle()->geometry(), kClientArea);
    QCOMPARE(Window()->frameGeometry(), kClientArea);
}

void NoticeWindowTest::outerBoundsAreKeptWhateverTheFrame()
{
    // A frame reported once the window is shown replaces the classic one;
    // the outer bounds stay those of the design.
    const QMargins reported = Window()->windowHandle()->frameMargins();
    const QMargins frame = reported.isNull() ? kClassicFrame : reported;
    QCOMPARE(Window()->geometry().marginsAdded(frame), kOuterBounds);
    if (!reported.isNull())
        QCOMPARE(Window()->frameGeometry(), kOuterBounds);

    // The controls' area fills the whole client area.
    QCOMPARE(Scroll()->geometry(), QRect(QPoint(0, 0), Window()->size()));
    QCOMPARE(Client()->mapTo(Window(), QPoint(0, 0)), QPoint(0, 0));
}

void NoticeWindowTest::windowMenuIsRemovedAndTheFrameKept()
{
    const LONG style = GetWindowLongA(form_->Handle, GWL_STYLE);
    QCOMPARE(style & WS_SYSMENU, 0);
    QCOMPARE(style & WS_THICKFRAME, WS_THICKFRAME);
    QCOMPARE(style & WS_CAPTION, WS_CAPTION);

    // What the toolkit is told: a title, but no window menu and hence no
    // close, minimise or maximise button.
    const Qt::WindowFlags flags = Window()->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(Window()->isVisible());
}

// ------------------------------------------------------------ the labels

void NoticeWindowTest::headingLabel()
{
    QLabel *heading = Heading();
    QVERIFY(heading != nullptr);
    QCOMPARE(heading->parentWidget(), Client());
    QCOMPARE(heading->text(), QStringLiteral("Important information to read"));
    QCOMPARE(heading->pos(), QPoint(10, 10));
    QVERIFY(heading->isVisible());
    QVERIFY(heading->font().bold());
    QCOMPARE(heading->font().pixelSize(), 17);
    QCOMPARE(heading->palette().color(QPalette::WindowText), QColor(0xff, 0x00, 0x00));
    QCOMPARE(heading->foregroundRole(), QPalette::WindowText);
    const QSize needed = heading->sizeHint();
    QVERIFY(needed.width() <= heading->width() && needed.height() <= heading->height());
}

void NoticeWindowTest::headingIsAccessibleAsStaticText()
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(Heading());
    QVERIFY(accessible != nullptr);
    QCOMPARE(accessible->role(), QAccessible::StaticText);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Important information to read"));

    QAccessibleInterface *notice = QAccessible::queryAccessibleInterface(Notice());
    QVERIFY(notice != nullptr);
    QCOMPARE(notice->role(), QAccessible::StaticText);
    QCOMPARE(notice->text(QAccessible::Name), ExpectedNotice());
}

void NoticeWindowTest::noticeTextIsExact()
{
    const QString text = Notice()->text();
    QCOMPARE(text, ExpectedNotice());
    QCOMPARE(text.count('\n'), 13);
    QVERIFY(!text.contains('\r'));
    const QStringList lines = text.split('\n');
    QCOMPARE(lines.size(), 14);
    QVERIFY(lines.at(2).isEmpty());
    QVERIFY(lines.at(12).isEmpty());
    QVERIFY(lines.first().startsWith("Lathmere is an Excel application."));
    QCOMPARE(lines.last(), QStringLiteral("You can get this information again in the tab "
                                          "'Help', section 'What if the application is "
                                          "damaged'."));
}

void NoticeWindowTest::noticeLabelIsPlainUnwrappedAndSizedToItsText()
{
    QLabel *notice = Notice();
    QVERIFY(notice != nullptr);
    QCOMPARE(notice->parentWidget(), Client());
    QCOMPARE(notice->pos(), QPoint(10, 48));
    QCOMPARE(notice->font().pixelSize(), 11);
    QVERIFY(!notice->font().bold());
    QCOMPARE(notice->textFormat(), Qt::PlainText);
    QVERIFY(!notice->wordWrap());
    QVERIFY(notice->isVisible());

    // Every line shows whole: the label is as large as the text's bounds
    // in its own font.
    const QFontMetrics metrics(notice->font());
    const QSize bounds = metrics
                             .boundingRect(QRect(0, 0, 1 << 20, 1 << 20),
                                           Qt::AlignLeft | Qt::AlignTop, ExpectedNotice())
                             .size();
    QCOMPARE(notice->size(), bounds);
    QVERIFY(bounds.height() >= 14 * metrics.height());
    // The label itself needs no more room than it has: nothing is cut off.
    const QSize needed = notice->sizeHint();
    QVERIFY2(needed.width() <= notice->width() && needed.height() <= notice->height(),
             qPrintable(QStringLiteral("needs %1x%2, has %3x%4")
                            .arg(needed.width())
                            .arg(needed.height())
                            .arg(notice->width())
                            .arg(notice->height())));
    // The core's idea of the label's size is the widget's.
    QCOMPARE(QSize(form_->Label2->GetWidth(), form_->Label2->GetHeight()), notice->size());
}

// ------------------------------------------------------------ the button

void NoticeWindowTest::okButton()
{
    QPushButton *button = Button();
    QVERIFY(button != nullptr);
    QCOMPARE(button->parentWidget(), Client());
    QCOMPARE(button->text(), QStringLiteral("OK"));
    QCOMPARE(button->geometry(), kButtonBounds);
    QVERIFY(button->font().bold());
    QCOMPARE(button->font().pixelSize(), 11);
    QVERIFY(button->isVisible());
    QVERIFY(button->isEnabled());
}

void NoticeWindowTest::okButtonHasTheFocusOnceShown()
{
    // The window's own idea of its focus does not depend on activation.
    QCOMPARE(Window()->focusWidget(), static_cast<QWidget *>(Button()));

    Window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Window()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(Button()));
    QVERIFY(Button()->hasFocus());

    // Tab has nowhere else to go.
    QTest::keyClick(Button(), Qt::Key_Tab);
    QTest::keyClick(Button(), Qt::Key_Backtab, Qt::ShiftModifier);
    Settle();
    QVERIFY(Button()->hasFocus());
    QVERIFY(OpenRequests().empty());
    QVERIFY(Window()->isVisible());
}

void NoticeWindowTest::keysSentToTheWindowReachTheButton_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("opens");

    QTest::newRow("Return") << Qt::Key_Return << Qt::KeyboardModifiers() << true;
    QTest::newRow("Enter on the keypad")
        << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier) << true;
    QTest::newRow("Space") << Qt::Key_Space << Qt::KeyboardModifiers() << true;
    QTest::newRow("Shift+Return") << Qt::Key_Return << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                  << false;
    QTest::newRow("Escape") << Qt::Key_Escape << Qt::KeyboardModifiers() << false;
}

void NoticeWindowTest::keysSentToTheWindowReachTheButton()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, opens);

    // Through the platform's own event path, as the user's keys arrive.
    Window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Window()));
    QTest::keyClick(Window()->windowHandle(), key, modifiers);
    Settle();

    if (opens) {
        QCOMPARE(OpenRequests(), std::vector<std::string>{WorkbookPath()});
        QVERIFY(!Window()->isVisible());
        QVERIFY(vcl::Application->GetTerminated());
    } else {
        QVERIFY(OpenRequests().empty());
        QVERIFY(Window()->isVisible());
        QVERIFY(!vcl::Application->GetTerminated());
    }
}

void NoticeWindowTest::accessiblePressOpensTheWorkbookAndCloses()
{
    // What a screen reader sees, and what its "press" does.
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(Button());
    QVERIFY(accessible != nullptr);
    QCOMPARE(accessible->role(), QAccessible::Button);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("OK"));
    QAccessibleActionInterface *actions = accessible->actionInterface();
    QVERIFY(actions != nullptr);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    // The toolkit animates the press: the click comes from a timer. An
    // earlier test's close has asked the application to quit, which ends
    // any nested event loop at once, so events are processed directly.
    QSignalSpy clicked(Button(), &QAbstractButton::clicked);
    actions->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(QTest::qWaitFor([&clicked] { return clicked.count() > 0; }));
    Settle();
    QCOMPARE(clicked.count(), 1);

    QCOMPARE(OpenRequests(), std::vector<std::string>{WorkbookPath()});
    QVERIFY(!Window()->isVisible());
    QVERIFY(vcl::Application->GetTerminated());
}

void NoticeWindowTest::onlyTheButtonTakesTheTabFocus()
{
    QList<QWidget *> tabStops;
    if (Window()->focusPolicy() & Qt::TabFocus)
        tabStops << Window();
    for (QWidget *widget : Window()->findChildren<QWidget *>())
        if (widget->focusPolicy() & Qt::TabFocus)
            tabStops << widget;
    QCOMPARE(tabStops, QList<QWidget *>{Button()});
}

void NoticeWindowTest::activatingKeysOpenTheWorkbookAndClose_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");

    QTest::newRow("Return") << Qt::Key_Return << Qt::KeyboardModifiers();
    QTest::newRow("Enter on the keypad") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier);
    QTest::newRow("Enter without the keypad bit") << Qt::Key_Enter << Qt::KeyboardModifiers();
    QTest::newRow("Space") << Qt::Key_Space << Qt::KeyboardModifiers();
}

void NoticeWindowTest::activatingKeysOpenTheWorkbookAndClose()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    QTest::keyClick(Button(), key, modifiers);
    Settle();

    QCOMPARE(OpenRequests(), std::vector<std::string>{WorkbookPath()});
    QVERIFY(form_->IsClosed());
    QVERIFY(!Window()->isVisible());
    QVERIFY(vcl::Application->GetTerminated());
}

void NoticeWindowTest::otherKeysNeitherOpenNorClose_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");

    QTest::newRow("Shift+Return") << Qt::Key_Return << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("Ctrl+Return") << Qt::Key_Return << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("Alt+Return") << Qt::Key_Return << Qt::KeyboardModifiers(Qt::AltModifier);
    QTest::newRow("Meta+Return") << Qt::Key_Return << Qt::KeyboardModifiers(Qt::MetaModifier);
    QTest::newRow("Ctrl+Enter on the keypad")
        << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::KeypadModifier);
    QTest::newRow("Escape") << Qt::Key_Escape << Qt::KeyboardModifiers();
    QTest::newRow("letter O") << Qt::Key_O << Qt::KeyboardModifiers();
    QTest::newRow("Alt+F4") << Qt::Key_F4 << Qt::KeyboardModifiers(Qt::AltModifier);
}

void NoticeWindowTest::otherKeysNeitherOpenNorClose()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    QTest::keyClick(Button(), key, modifiers);
    Settle();

    QVERIFY(OpenRequests().empty());
    QVERIFY(!form_->IsClosed());
    QVERIFY(Window()->isVisible());
    QVERIFY(!vcl::Application->GetTerminated());
    QVERIFY(!Button()->isDown());

    // The button still works afterwards.
    QTest::keyClick(Button(), Qt::Key_Return);
    Settle();
    QCOMPARE(OpenRequests(), std::vector<std::string>{WorkbookPath()});
}

void NoticeWindowTest::keyHeldFromBeforeTheWindowOpensNothing_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("text");

    QTest::newRow("Return") << Qt::Key_Return << Qt::KeyboardModifiers() << "\r";
    QTest::newRow("Enter on the keypad")
        << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier) << "\r";
    QTest::newRow("Space") << Qt::Key_Space << Qt::KeyboardModifiers() << " ";
}

void NoticeWindowTest::keyHeldFromBeforeTheWindowOpensNothing()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, text);

    // The key that started the program is still held down when the window
    // appears: only its repeats and its release arrive. The notice must not
    // be dismissed unread.
    for (int i = 0; i < 3; ++i) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text, true);
        QApplication::sendEvent(Button(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text, true);
        QApplication::sendEvent(Button(), &release);
    }
    QTest::keyRelease(Button(), key, modifiers);
    Settle();

    QVERIFY(OpenRequests().empty());
    QVERIFY(Window()->isVisible());
    QVERIFY(!vcl::Application->GetTerminated());

    // A fresh press still works.
    QTest::keyClick(Button(), key, modifiers);
    Settle();
    QCOMPARE(OpenRequests(), std::vector<std::string>{WorkbookPath()});
}

void NoticeWindowTest::clickOpensTheWorkbookAndCloses()
{
    QTest::mouseClick(Button(), Qt::LeftButton);
    Settle();

    QCOMPARE(OpenRequests(), std::vector<std::string>{WorkbookPath()});
    QVERIFY(!Window()->isVisible());
    QVERIFY(vcl::Application->GetTerminated());
}

void NoticeWindowTest::otherMouseButtonsDoNothing_data()
{
    QTest::addColumn<Qt::MouseButton>("button");

    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void NoticeWindowTest::otherMouseButtonsDoNothing()
{
    QFETCH(Qt::MouseButton, button);

    QTest::mouseClick(Button(), button);
    Settle();

    QVERIFY(OpenRequests().empty());
    QVERIFY(Window()->isVisible());
    QVERIFY(!vcl::Application->GetTerminated());
}

void NoticeWindowTest::repeatedActivationOpensOnce_data()
{
    QTest::addColumn<Action>("action");

    QTest::newRow("double click") << Action::DoubleClick;
    QTest::newRow("double click through the window") << Action::DoubleClickThroughTheWindow;
    QTest::newRow("Return twice quickly") << Action::TwoReturnClicks;
    QTest::newRow("Return held down (auto-repeat)") << Action::ReturnHeldDown;
    QTest::newRow("click, then Return") << Action::ClickThenReturn;
    QTest::newRow("Space twice quickly") << Action::TwoSpaceClicks;
    QTest::newRow("Space held down (auto-repeat)") << Action::SpaceHeldDown;
}

void NoticeWindowTest::repeatedActivationOpensOnce()
{
    QFETCH(Action, action);
    QPushButton *button = Button();

    switch (action) {
    case Action::DoubleClick:
        // What a widget receives for a double click: press, release, the
        // second press as a double-click event, release.
        QTest::mousePress(button, Qt::LeftButton);
        QTest::mouseRelease(button, Qt::LeftButton);
        QTest::mouseDClick(button, Qt::LeftButton);
        QTest::mouseRelease(button, Qt::LeftButton);
        break;
    case Action::DoubleClickThroughTheWindow: {
        // The platform's path: two presses and releases, from which the
        // toolkit makes the double-click event itself.
        QWindow *window = Window()->windowHandle();
        const QPoint centre = button->mapTo(Window(), button->rect().center());
        QTest::mouseDClick(window, Qt::LeftButton, Qt::KeyboardModifiers(), centre);
        break;
    }
    case Action::TwoReturnClicks:
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Return);
        break;
    case Action::ReturnHeldDown:
        HoldDown(button, Qt::Key_Return, QStringLiteral("\r"));
        break;
    case Action::SpaceHeldDown:
        HoldDown(button, Qt::Key_Space, QStringLiteral(" "));
        break;
    case Action::ClickThenReturn:
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(button, Qt::Key_Return);
        break;
    case Action::TwoSpaceClicks:
        QTest::keyClick(button, Qt::Key_Space);
        QTest::keyClick(button, Qt::Key_Space);
        break;
    }
    Settle();

    QCOMPARE(OpenRequests(), std::vector<std::string>{WorkbookPath()});
    QVERIFY(!Window()->isVisible());
    QVERIFY(vcl::Application->GetTerminated());
}

void NoticeWindowTest::clickWithoutAWorkbookClosesWithoutARequest_data()
{
    QTest::addColumn<QString>("replacement");

    QTest::newRow("missing") << QString();
    QTest::newRow("a named pipe") << QStringLiteral("fifo");
    QTest::newRow("a dangling link") << QStringLiteral("dangling link");
}

void NoticeWindowTest::clickWithoutAWorkbookClosesWithoutARequest()
{
    QFETCH(QString, replacement);

    const QByteArray path = QDir::current().absoluteFilePath("DemoLathmere.xls").toLocal8Bit();
    QVERIFY(QFile::remove(QString::fromLocal8Bit(path)));
    if (replacement == "fifo")
        QCOMPARE(mkfifo(path.constData(), 0600), 0);
    else if (replacement == "dangling link")
        QCOMPARE(symlink("nowhere.xls", path.constData()), 0);

    QTest::mouseClick(Button(), Qt::LeftButton);
    Settle();

    QVERIFY(OpenRequests().empty());
    QVERIFY(form_->IsClosed());
    QVERIFY(!Window()->isVisible());
    QVERIFY(vcl::Application->GetTerminated());
}

// ------------------------------------------------------------ resizing

void NoticeWindowTest::VerifyControlsAtDesignPlaces()
{
    QCOMPARE(Heading()->pos(), QPoint(10, 10));
    QCOMPARE(Notice()->pos(), QPoint(10, 48));
    QCOMPARE(Button()->geometry(), kButtonBounds);
    QCOMPARE(QSize(form_->Label2->GetWidth(), form_->Label2->GetHeight()), Notice()->size());
    QCOMPARE(QSize(form_->Label1->GetWidth(), form_->Label1->GetHeight()), Heading()->size());
}

void NoticeWindowTest::smallWindowScrollsAndKeepsTheControls()
{
    QScrollArea *scroll = Scroll();
    QVERIFY(scroll != nullptr);
    QVERIFY(!scroll->horizontalScrollBar()->isVisible());
    QVERIFY(!scroll->verticalScrollBar()->isVisible());
    const QSize headingSize = Heading()->size();
    const QSize noticeSize = Notice()->size();

    Window()->resize(200, 150);
    Settle();
    QCOMPARE(Window()->size(), QSize(200, 150));
    QVERIFY(scroll->horizontalScrollBar()->isVisible());
    QVERIFY(scroll->verticalScrollBar()->isVisible());
    VerifyControlsAtDesignPlaces();
    QCOMPARE(Heading()->size(), headingSize);
    QCOMPARE(Notice()->size(), noticeSize);

    // The scroll range reaches the far edges of the controls, no further.
    int right = 0;
    int bottom = 0;
    for (const QWidget *control : {static_cast<QWidget *>(Heading()),
                                   static_cast<QWidget *>(Notice()),
                                   static_cast<QWidget *>(Button())}) {
        right = std::max(right, control->geometry().right() + 1);
        bottom = std::max(bottom, control->geometry().bottom() + 1);
    }
    QCOMPARE(scroll->horizontalScrollBar()->maximum() + scroll->viewport()->width(), right);
    QCOMPARE(scroll->verticalScrollBar()->maximum() + scroll->viewport()->height(), bottom);

    // Scrolled to it, the button can be seen whole.
    scroll->ensureWidgetVisible(Button(), 0, 0);
    Settle();
    const QRect inViewport(Button()->mapTo(scroll->viewport(), QPoint(0, 0)), Button()->size());
    QVERIFY2(scroll->viewport()->rect().contains(inViewport),
             qPrintable(QStringLiteral("button at %1,%2 %3x%4 in a %5x%6 viewport")
                            .arg(inViewport.x())
                            .arg(inViewport.y())
                            .arg(inViewport.width())
                            .arg(inViewport.height())
                            .arg(scroll->viewport()->width())
                            .arg(scroll->viewport()->height())));
    VerifyControlsAtDesignPlaces();

    Window()->resize(kClientArea.size());
    Settle();
    QVERIFY(!scroll->horizontalScrollBar()->isVisible());
    QVERIFY(!scroll->verticalScrollBar()->isVisible());
    VerifyControlsAtDesignPlaces();
    QCOMPARE(Client()->mapTo(Window(), QPoint(0, 0)), QPoint(0, 0));
}

void NoticeWindowTest::largerWindowNeverMovesOrGrowsTheControls_data()
{
    QTest::addColumn<QSize>("size");

    QTest::newRow("one pixel more") << kClientArea.size() + QSize(1, 1);
    QTest::newRow("wider only") << QSize(900, kClientArea.height());
    QTest::newRow("taller only") << QSize(kClientArea.width(), 700);
    QTest::newRow("much larger") << QSize(1400, 1000);
}

void NoticeWindowTest::largerWindowNeverMovesOrGrowsTheControls()
{
    QFETCH(QSize, size);
    const QSize headingSize = Heading()->size();
    const QSize noticeSize = Notice()->size();

    Window()->resize(size);
    Settle();
    QCOMPARE(Window()->size(), size);
    QVERIFY(!Scroll()->horizontalScrollBar()->isVisible());
    QVERIFY(!Scroll()->verticalScrollBar()->isVisible());
    VerifyControlsAtDesignPlaces();
    QCOMPARE(Heading()->size(), headingSize);
    QCOMPARE(Notice()->size(), noticeSize);
    // Nothing is centred or stretched: the controls keep their places in
    // the window itself, not only in their parent.
    QCOMPARE(Button()->mapTo(Window(), QPoint(0, 0)), kButtonBounds.topLeft());
    QCOMPARE(Heading()->mapTo(Window(), QPoint(0, 0)), QPoint(10, 10));
}

// ------------------------------------------------------------ closing

void NoticeWindowTest::closeFromOutsideIsTheNormalClose_data()
{
    QTest::addColumn<int>("how");

    QTest::newRow("QWidget::close") << 0;
    QTest::newRow("a close event") << 1;
    QTest::newRow("QWindow::close") << 2;
}

void NoticeWindowTest::closeFromOutsideIsTheNormalClose()
{
    QFETCH(int, how);

    switch (how) {
    case 0:
        Window()->close();
        break;
    case 1: {
        QCloseEvent event;
        QApplication::sendEvent(Window(), &event);
        break;
    }
    case 2:
        Window()->windowHandle()->close();
        break;
    }
    Settle();

    QVERIFY(form_->IsClosed());
    QVERIFY(vcl::Application->GetTerminated());
    QVERIFY(!Window()->isVisible());
    QVERIFY(OpenRequests().empty());

    // The form's own widgets are still there for the layer to destroy.
    QVERIFY(Button() != nullptr);
    // A closed form's button opens nothing.
    QTest::keyClick(Button(), Qt::Key_Return);
    Settle();
    QVERIFY(OpenRequests().empty());
}

int main(int argc, char **argv)
{
    // The layer makes the toolkit's application object itself.
    vcl::qt::EnsureApplication();
    NoticeWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "NoticeWindowTest.moc"
