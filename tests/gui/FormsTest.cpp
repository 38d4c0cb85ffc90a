// The window side of the framework: failure reports, help requests, form creation, the
// edit field's key-press event, speed buttons, timers, alignment and the German texts.
#include "vcl/Forms.h"

#include "GuiTestSupport.h"
#include "vcl/Buttons.h"
#include "vcl/ExtCtrls.h"
#include "vcl/StdCtrls.h"
#include "vcl/SysUtils.h"

#include <QAction>
#include <QEventLoop>
#include <QTimer>
#include <QImage>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

// --- failure reports ---

TEST(DispatchEventTest, ReportsTheMessageOfAFailureAndGoesOn) {
    TMessageBoxRecorder Recorder;
    EXPECT_FALSE(
        DispatchEvent([] { throw Exception("Zwischenablage kann nicht geöffnet werden"); }));
    EXPECT_FALSE(DispatchEvent([] { throw std::runtime_error("kaputt"); }));
    bool Ran = false;
    EXPECT_TRUE(DispatchEvent([&] { Ran = true; }));
    EXPECT_TRUE(Ran);
    ASSERT_EQ(Recorder.Boxes.size(), 2u);
    EXPECT_EQ(Recorder.Boxes[0].Text, "Zwischenablage kann nicht geöffnet werden");
    EXPECT_EQ(Recorder.Boxes[0].Caption, Application->Title());
    EXPECT_EQ(Recorder.Boxes[0].Flags, os::MbOk | os::MbIconError);
    EXPECT_EQ(Recorder.Boxes[1].Text, "kaputt");
}

TEST(DispatchEventTest, AFailureWhileAReportIsOpenIsNotReportedAgain) {
    int Boxes = 0;
    const os::MessageBoxHandler Previous =
        os::SetMessageBoxHandler([&](QWidget*, const std::string&, const std::string&, unsigned) {
            ++Boxes;
            // A timer tick served by the box's own loop fails again.
            DispatchEvent([] { throw Exception("noch einmal"); });
            return os::IdOk;
        });
    DispatchEvent([] { throw Exception("einmal"); });
    DispatchEvent([] { throw Exception("später"); });
    os::SetMessageBoxHandler(Previous);
    EXPECT_EQ(Boxes, 2);
}

// --- help requests ---

TEST(HelpContextTest, WithoutAHandlerARequestDoesNothing) {
    EXPECT_FALSE(Application->HelpContext(1));
}

TEST(HelpContextTest, AHandlerTakesOverAndGivesThePreviousOneBack) {
    std::vector<int> First, Second;
    const THelpHandler None = Application->SetHelpHandler([&](int C) {
        First.push_back(C);
        return true;
    });
    EXPECT_FALSE(None);
    const THelpHandler Replaced = Application->SetHelpHandler([&](int C) {
        Second.push_back(C);
        return false;
    });
    EXPECT_FALSE(Application->HelpContext(7));
    Application->SetHelpHandler(Replaced);
    EXPECT_TRUE(Application->HelpContext(1));
    Application->SetHelpHandler(nullptr);
    EXPECT_EQ(First, std::vector<int>{1});
    EXPECT_EQ(Second, std::vector<int>{7});
}

TEST(HelpFileTest, HoldsWhatIsSet) {
    Application->SetHelpFile("/opt/tiv/Zeitrechner.chm");
    EXPECT_EQ(Application->HelpFile(), "/opt/tiv/Zeitrechner.chm");
}

// --- forms ---

class TProbeForm : public TForm {
public:
    explicit TProbeForm(TComponent* AOwner) : TForm(AOwner) {
        OnCreate = [this](TObject* Sender) {
            SeenByCreate = Reference;
            CreateSender = Sender;
        };
    }
    static TProbeForm* Reference;
    TProbeForm* SeenByCreate = nullptr;
    TObject* CreateSender = nullptr;
};
TProbeForm* TProbeForm::Reference = nullptr;

TEST(CreateFormTest, StoresTheReferenceBeforeOnCreateAndMakesTheFirstFormTheMainForm) {
    ASSERT_EQ(Application->MainForm(), nullptr);
    Application->CreateForm(TProbeForm::Reference);
    TProbeForm* Form = TProbeForm::Reference;
    EXPECT_EQ(Form->SeenByCreate, Form);
    EXPECT_EQ(Form->CreateSender, Form);
    EXPECT_EQ(Form->Owner(), Application);
    EXPECT_EQ(Application->MainForm(), Form);

    TProbeForm* Second = nullptr;
    Application->CreateForm(Second);
    EXPECT_EQ(Application->MainForm(), Form);
    delete Second;
    delete Form;
    EXPECT_EQ(Application->MainForm(), nullptr);
    EXPECT_EQ(Application->ComponentCount(), 0);
}

TEST(CreateFormTest, ADataModuleIsOwnedButIsNoForm) {
    TDataModule* Module = nullptr;
    Application->CreateForm(Module);
    EXPECT_EQ(Module->Owner(), Application);
    EXPECT_EQ(Application->MainForm(), nullptr);
    delete Module;
}

TEST(FormTest, AlignedControlsKeepTheFullWidthAtTheirEdge) {
    TForm Form(nullptr);
    auto* Client = new QWidget;
    Client->setMinimumSize(200, 100);
    Client->setMaximumSize(300, 150);
    Form.setCentralWidget(Client);
    auto* Top = new QWidget(Client);
    Top->setGeometry(0, 0, 50, 30);
    Top->setProperty("Align", QStringLiteral("alTop"));
    auto* Bottom = new QWidget(Client);
    Bottom->setGeometry(0, 80, 50, 20);
    Bottom->setProperty("Align", QStringLiteral("alBottom"));
    auto* Free = new QWidget(Client);
    Free->setGeometry(10, 40, 20, 20);
    Form.show();
    for (const QSize Size : {QSize(300, 150), QSize(200, 100)}) {
        Form.resize(Size);
        QCoreApplication::processEvents();
        EXPECT_EQ(Top->geometry(), QRect(0, 0, Size.width(), 30));
        EXPECT_EQ(Bottom->geometry(), QRect(0, Size.height() - 20, Size.width(), 20));
        EXPECT_EQ(Free->geometry(), QRect(10, 40, 20, 20));
    }
}

TEST(FormTest, AFailingResizeHandlerIsReported) {
    TMessageBoxRecorder Recorder;
    TForm Form(nullptr);
    Form.OnResize = [](TObject*) { throw Exception("Größe"); };
    Form.show();
    Form.resize(Form.width() + 10, Form.height());
    QCoreApplication::processEvents();
    ASSERT_FALSE(Recorder.Boxes.empty());
    EXPECT_EQ(Recorder.Boxes.front().Text, "Größe");
}

// --- German texts from Qt's translations ---

TEST(TranslationTest, KeyNamesAndEditMenusAreGerman) {
    EXPECT_EQ(QKeySequence(QStringLiteral("Ctrl+C")).toString(QKeySequence::NativeText),
              QStringLiteral("Strg+C"));
    EXPECT_EQ(QKeySequence(QStringLiteral("Ctrl+F1")).toString(QKeySequence::NativeText),
              QStringLiteral("Strg+F1"));
    QLineEdit Edit;
    const std::unique_ptr<QMenu> Menu(Edit.createStandardContextMenu());
    // Undo, Redo, a line, Cut, Copy, Paste: the sixth item pastes.
    ASSERT_GT(Menu->actions().size(), 5);
    EXPECT_EQ(Menu->actions().at(5)->text(), QStringLiteral("Einf&ügen\tStrg+V"));
}

// --- the edit field's key-press event ---

struct KeyCase {
    const char* Name;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    char SeenKey;     // what the handler receives; 0: not called
    QString Expected; // the field afterwards, starting from "ab"
};

void PrintTo(const KeyCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class TEditKeyTest : public ::testing::TestWithParam<KeyCase> {};

// The handler refuses "x" and Ctrl+V, turns "." into "," and lets everything else through.
TEST_P(TEditKeyTest, TheHandlerSeesTheTypedCharacter) {
    const KeyCase& Case = GetParam();
    TEdit Edit;
    Edit.setText(QStringLiteral("ab"));
    std::vector<char> Seen;
    std::vector<TObject*> Senders;
    Edit.OnKeyPress = [&](TObject* Sender, char& Key) {
        Seen.push_back(Key);
        Senders.push_back(Sender);
        if (Key == 'x' || Key == '\x16')
            Key = 0;
        else if (Key == '.')
            Key = ',';
    };
    Edit.show();
    QTest::keyClick(&Edit, Case.Key, Case.Modifiers);
    if (Case.SeenKey == 0) {
        EXPECT_TRUE(Seen.empty());
    } else {
        EXPECT_EQ(Seen, std::vector<char>{Case.SeenKey});
        EXPECT_EQ(Senders, std::vector<TObject*>{&Edit});
    }
    EXPECT_EQ(Edit.text(), Case.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TEditKeyTest,
    ::testing::Values(KeyCase{"Digit", Qt::Key_5, Qt::NoModifier, '5', "ab5"},
                      KeyCase{"Refused", Qt::Key_X, Qt::NoModifier, 'x', "ab"},
                      KeyCase{"Replaced", Qt::Key_Period, Qt::NoModifier, '.', "ab,"},
                      KeyCase{"Backspace", Qt::Key_Backspace, Qt::NoModifier, '\b', "a"},
                      KeyCase{"Enter", Qt::Key_Return, Qt::NoModifier, '\r', "ab"},
                      KeyCase{"Escape", Qt::Key_Escape, Qt::NoModifier, '\x1b', "ab"},
                      KeyCase{"CtrlV", Qt::Key_V, Qt::ControlModifier, '\x16', "ab"},
                      KeyCase{"Left", Qt::Key_Left, Qt::NoModifier, 0, "ab"},
                      KeyCase{"Delete", Qt::Key_Delete, Qt::NoModifier, 0, "ab"}),
    [](const ::testing::TestParamInfo<KeyCase>& Info) { return std::string(Info.param.Name); });

TEST(TEditTest, ACharacterBeyondEightBitsIsRefusedWithoutAsking) {
    TEdit Edit;
    int Calls = 0;
    Edit.OnKeyPress = [&](TObject*, char&) { ++Calls; };
    Edit.show();
    QKeyEvent Euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("€"));
    QCoreApplication::sendEvent(&Edit, &Euro);
    EXPECT_EQ(Calls, 0);
    EXPECT_EQ(Edit.text(), QString());
}

TEST(TEditTest, DeleteTypesNothingEvenWhereTheKeyCarriesTheDeleteCharacter) {
    TEdit Edit;
    Edit.setText(QStringLiteral("12"));
    int Calls = 0;
    Edit.OnKeyPress = [&](TObject*, char& Key) {
        ++Calls;
        Key = 0;
    };
    Edit.show();
    Edit.setCursorPosition(0);
    QKeyEvent Delete(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
    QCoreApplication::sendEvent(&Edit, &Delete);
    EXPECT_EQ(Calls, 0);
    EXPECT_EQ(Edit.text(), QStringLiteral("2"));
}

TEST(TEditTest, AFailingHandlerIsReportedAndTheKeyDropped) {
    TMessageBoxRecorder Recorder;
    TEdit Edit;
    Edit.OnKeyPress = [](TObject*, char&) { throw Exception("Taste"); };
    Edit.show();
    QTest::keyClicks(&Edit, QStringLiteral("1"));
    EXPECT_EQ(Edit.text(), QString());
    ASSERT_EQ(Recorder.Boxes.size(), 1u);
    EXPECT_EQ(Recorder.Boxes[0].Text, "Taste");
}

// --- speed buttons ---

TEST(TSpeedButtonTest, TakesNoFocusAndReportsClicksWithItselfAsSender) {
    TSpeedButton Button;
    EXPECT_EQ(Button.focusPolicy(), Qt::NoFocus);
    std::vector<TObject*> Senders;
    Button.OnClick = [&](TObject* Sender) { Senders.push_back(Sender); };
    Button.resize(25, 25);
    Button.show();
    QTest::mouseClick(&Button, Qt::LeftButton);
    EXPECT_EQ(Senders, std::vector<TObject*>{&Button});
    EXPECT_FALSE(Button.hasFocus());
}

TEST(TSpeedButtonTest, TheBottomLeftColourOfTheGlyphIsTransparent) {
    QTemporaryDir Dir;
    QImage Image(16, 16, QImage::Format_RGB888);
    Image.fill(Qt::white);
    Image.setPixel(3, 4, qRgb(0, 0, 128));
    Image.setPixel(15, 0, qRgb(254, 255, 255)); // nearly white stays
    const QString File = Dir.filePath(QStringLiteral("glyph.bmp"));
    ASSERT_TRUE(Image.save(File));

    TSpeedButton Button;
    Button.SetGlyph(File);
    EXPECT_EQ(Button.Glyph(), File);
    EXPECT_EQ(Button.iconSize(), QSize(16, 16));
    const QImage Shown =
        Button.icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(Shown.pixel(0, 15)), 0);
    EXPECT_EQ(qAlpha(Shown.pixel(8, 8)), 0);
    EXPECT_EQ(Shown.pixel(3, 4), qRgba(0, 0, 128, 255));
    EXPECT_EQ(qAlpha(Shown.pixel(15, 0)), 255);
}

TEST(TSpeedButtonTest, AGlyphThatCannotBeReadLeavesNoIcon) {
    TSpeedButton Button;
    Button.SetGlyph(QStringLiteral("/nonexistent/glyph.bmp"));
    EXPECT_TRUE(Button.icon().isNull());
}

// --- timers ---

TEST(TTimerTest, TicksWithItselfAsSenderAndIsOwned) {
    TComponent Owner(nullptr);
    auto* Timer = new TTimer(&Owner);
    EXPECT_TRUE(Timer->Enabled());
    EXPECT_EQ(Timer->Interval(), 1000);
    Timer->SetInterval(10);
    std::vector<TObject*> Senders;
    Timer->OnTimer = [&](TObject* Sender) { Senders.push_back(Sender); };
    EXPECT_TRUE(QTest::qWaitFor([&] { return Senders.size() >= 2; }, 10000));
    EXPECT_EQ(Senders.front(), Timer);
    EXPECT_EQ(Owner.ComponentCount(), 1);
}

} // namespace

// --- closing, idle and the top-most layer ---

namespace {

struct TCloseCase {
    const char* Name;
    bool Grant;
    bool Raise;
    TCloseAction Action;
    bool Closes;
    int Closed; // how often OnClose ran
};

TEST(FormCloseTest, TheCloseQueryAndTheCloseActionDecide) {
    const std::vector<TCloseCase> Cases = {
        {"granted", true, false, caHide, true, 1},
        {"refused", false, false, caHide, false, 0},
        {"query raises", true, true, caHide, false, 0},
        {"kept open by the close handler", true, false, caNone, false, 1},
    };
    for (const TCloseCase& Case : Cases) {
        TMessageBoxRecorder Boxes;
        TForm Form(nullptr);
        Form.show();
        int Closed = 0;
        Form.OnCloseQuery = [&](TObject*, bool& CanClose) {
            if (Case.Raise)
                throw Exception("RegOpenKey failed!");
            CanClose = Case.Grant;
        };
        Form.OnClose = [&](TObject*, TCloseAction& Action) {
            ++Closed;
            Action = Case.Action;
        };
        EXPECT_EQ(Form.close(), Case.Closes) << Case.Name;
        EXPECT_EQ(Closed, Case.Closed) << Case.Name;
        EXPECT_EQ(Boxes.Boxes.size(), Case.Raise ? 1u : 0u) << Case.Name;
    }
}

bool StaysOnTop(const QWidget& Window) {
    return Window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
}

TEST(TopMostTest, LoweredWindowsComeBackWhenTheLastLevelIsUndone) {
    QWidget OnTop(nullptr, Qt::WindowStaysOnTopHint);
    QWidget Plain;
    OnTop.show();
    Plain.show();
    ASSERT_TRUE(StaysOnTop(OnTop));
    Application->NormalizeTopMosts();
    Application->NormalizeTopMosts();
    EXPECT_FALSE(StaysOnTop(OnTop));
    EXPECT_EQ(Application->TopMostLevel(), 2);
    Application->RestoreTopMosts();
    EXPECT_FALSE(StaysOnTop(OnTop));
    Application->RestoreTopMosts();
    EXPECT_TRUE(StaysOnTop(OnTop));
    EXPECT_FALSE(StaysOnTop(Plain));
    EXPECT_TRUE(OnTop.isVisible());
    // With nothing lowered a restore does nothing.
    Application->RestoreTopMosts();
    EXPECT_EQ(Application->TopMostLevel(), 0);
    EXPECT_TRUE(StaysOnTop(OnTop));
}

// A running message loop, not merely processed events, is what waits for the next event.
TEST(IdleTest, RunsWhenTheQueueRunsEmptyAndAgainAtOnceWhenNotDone) {
    QEventLoop Loop;
    int Calls = 0;
    Application->OnIdle = [&](TObject* Sender, bool& Done) {
        EXPECT_EQ(Sender, Application);
        Done = ++Calls >= 3;
        if (Done)
            Loop.quit();
    };
    QTimer::singleShot(5000, &Loop, &QEventLoop::quit);
    Loop.exec();
    Application->OnIdle = nullptr;
    EXPECT_GE(Calls, 3);
}

} // namespace
