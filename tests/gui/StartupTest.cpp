// The main window's start and close: what its creation sets, the one start tick, the idle
// handler, and the last-used stamp written at every close query, also when it fails.
#include "DataModule.h"
#include "GuiTestSupport.h"
#include "Main.h"
#include "Regstry.h"
#include "os/Module.h"
#include "rtl/DateUtils.h"
#include "rtl/FileNames.h"

#include <QApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

const std::string StampKey = "Software\\Tiv\\test_gui\\Main";

class StartupTest : public ::testing::Test {
protected:
    // Each test starts with an empty store of its own and no idle handler.
    void SetUp() override {
        FConfigHome = std::getenv("XDG_CONFIG_HOME");
        const std::string Own = FConfigHome + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        setenv("XDG_CONFIG_HOME", Own.c_str(), 1);
        Application->OnIdle = nullptr;
        Application->CreateForm(FormMain);
        Application->CreateForm(DModule);
        FormMain->show();
    }
    void TearDown() override {
        delete DModule;
        DModule = nullptr;
        delete FormMain;
        FormMain = nullptr;
        Application->OnIdle = nullptr;
        setenv("XDG_CONFIG_HOME", FConfigHome.c_str(), 1);
    }
    static bool StartTickDone() {
        return QTest::qWaitFor([] { return FormMain->StartTimer == nullptr; }, 5000);
    }
    static int Timers() {
        int Count = 0;
        for (int I = 0; I < FormMain->ComponentCount(); ++I)
            Count += dynamic_cast<TTimer*>(FormMain->Components(I)) != nullptr;
        return Count;
    }
    // What the close query left in the store, read through a registry component of its own.
    static std::string StoredStamp() {
        TRegstry Registry(nullptr);
        return Registry.ReadValueDef(StampKey, "LastUsed", "<none>");
    }

    TMessageBoxRecorder Boxes;
    std::string FConfigHome;
};

TEST_F(StartupTest, CreationSetsFormatsCaptionHelpAndTheStartTimer) {
    EXPECT_EQ(rtl::FormatSettings().ShortDateFormat, "dd.mm.yyyy");
    EXPECT_EQ(rtl::FormatSettings().ShortTimeFormat, "hh:nn");
    EXPECT_EQ(FormMain->windowTitle(), QStringLiteral("test_gui"));
    EXPECT_EQ(Application->HelpFile(), rtl::ChangeFileExt(os::ModuleFileName(), ".chm"));
    EXPECT_NE(HelpSystemHook, nullptr);
    ASSERT_NE(FormMain->StartTimer, nullptr);
    EXPECT_EQ(FormMain->StartTimer->Interval(), 100);
    EXPECT_TRUE(FormMain->StartTimer->Enabled());
    EXPECT_EQ(Timers(), 2);
    EXPECT_FALSE(Application->OnIdle);
}

TEST_F(StartupTest, TheStartTickRunsOnceCreatesTheKeyAndMovesTheWindow) {
    ASSERT_TRUE(StartTickDone());
    QTest::qWait(50);
    EXPECT_EQ(Timers(), 1);
    EXPECT_TRUE(Application->OnIdle);
    // The key exists now, the value not yet.
    EXPECT_EQ(StoredStamp(), "<none>");
    // The offscreen platform has one screen and draws no frame.
    const QRect Screen = QGuiApplication::primaryScreen()->geometry();
    const QRect Frame = FormMain->frameGeometry();
    EXPECT_EQ(Frame.left(), Screen.left() + 18);
    EXPECT_EQ(Frame.top(), Screen.top() + Screen.height() - Frame.height() - 20);
}

TEST_F(StartupTest, TheIdleHandlerUndoesOneLevelOfLoweredTopMostWindowsPerCall) {
    ASSERT_TRUE(StartTickDone());
    Application->NormalizeTopMosts();
    Application->NormalizeTopMosts();
    bool Done = false;
    FormMain->ApplicationOnIdle(Application, Done);
    EXPECT_TRUE(Done);
    EXPECT_EQ(Application->TopMostLevel(), 1);
    FormMain->ApplicationOnIdle(Application, Done);
    EXPECT_EQ(Application->TopMostLevel(), 0);
    FormMain->ApplicationOnIdle(Application, Done);
    EXPECT_EQ(Application->TopMostLevel(), 0);
}

TEST_F(StartupTest, ClosingWritesTheStampAndEndsHelp) {
    ASSERT_TRUE(StartTickDone());
    const std::string Today = rtl::DateToStr(rtl::Now());
    EXPECT_TRUE(FormMain->close());
    const QString Stamp = QString::fromStdString(StoredStamp());
    EXPECT_TRUE(QRegularExpression("^\\d\\d\\.\\d\\d\\.\\d{4}( \\d\\d:\\d\\d:\\d\\d)?$").match(Stamp).hasMatch())
        << Stamp.toStdString();
    EXPECT_TRUE(Stamp.startsWith(QString::fromStdString(Today)) ||
                Stamp.startsWith(QString::fromStdString(rtl::DateToStr(rtl::Now()))));
    EXPECT_EQ(HelpSystemHook, nullptr);
    EXPECT_FALSE(Application->HelpContext(1));
    EXPECT_TRUE(Boxes.Boxes.empty());
}

// A stamp that cannot be written keeps the window open with its help; the next close
// request tries again.
TEST_F(StartupTest, AFailedStampWriteAbandonsTheCloseUntilTheNextRequest) {
    ASSERT_TRUE(StartTickDone());
    const std::string Own = std::getenv("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", "/dev/null/config", 1);
    EXPECT_FALSE(FormMain->close());
    setenv("XDG_CONFIG_HOME", Own.c_str(), 1);
    ASSERT_EQ(Boxes.Boxes.size(), 1u);
    EXPECT_EQ(Boxes.Boxes[0].Text, "RegOpenKey failed!");
    EXPECT_TRUE(FormMain->isVisible());
    EXPECT_NE(HelpSystemHook, nullptr);

    EXPECT_TRUE(FormMain->close());
    EXPECT_EQ(Boxes.Boxes.size(), 1u);
    EXPECT_NE(StoredStamp(), "<none>");
    EXPECT_EQ(HelpSystemHook, nullptr);
}

// The desktop session asks before it logs out: the stamp is written, the window stays.
TEST_F(StartupTest, TheSessionsEndQueryWritesTheStamp) {
    ASSERT_TRUE(StartTickDone());
    EXPECT_TRUE(Application->QueryEndSession());
    EXPECT_NE(StoredStamp(), "<none>");
    EXPECT_TRUE(FormMain->isVisible());
}

struct TPlacementCase {
    const char* Name;
    std::vector<QRect> Monitors;
    QRect Frame;
    QPoint Expected;
};

TEST(BottomLeftPosition, TheMonitorThatHoldsMostOfTheWindow) {
    const QRect Single(0, 0, 1024, 768);
    const QRect Left(QPoint(-1280, -200), QPoint(-1, 823));
    const std::vector<TPlacementCase> Cases = {
        {"single monitor", {Single}, QRect(300, 200, 397, 148), QPoint(18, 600)},
        {"second monitor on the left", {Single, Left}, QRect(-900, 100, 397, 148), QPoint(-1262, 656)},
        {"mostly on the first", {Single, Left}, QRect(-100, 100, 397, 148), QPoint(18, 600)},
        {"on none: the nearest", {Single, Left}, QRect(2000, 100, 397, 148), QPoint(18, 600)},
        {"below both: the nearest", {Single, Left}, QRect(-700, 2000, 397, 148), QPoint(-1262, 656)},
    };
    for (const TPlacementCase& Case : Cases)
        EXPECT_EQ(BottomLeftPosition(Case.Monitors, Case.Frame), Case.Expected) << Case.Name;
}

} // namespace
