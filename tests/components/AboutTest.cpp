// The about box and the about component, offscreen: the box's layout, what Execute puts
// into it, the names the system gives, how the box closes and what Execute returns.
#include "About.h"

#include "Aboutdlg.h"
#include "GuiTestSupport.h"
#include "os/UserInfo.h"

#include <QApplication>
#include <QFontInfo>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <climits>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <pwd.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// What happened around one Execute.
struct TRun {
    bool Result = true;    // what Execute returned
    bool Opened = false;   // the box was there while its modal loop ran
    bool LeftOpen = false; // the action left the box open, and the run closed it
};

// Calls Execute and, inside the box's modal loop, lets Act work on the open box. Whatever
// Act leaves open is closed afterwards, so that a failing test ends instead of waiting.
TRun RunExecute(TAboutBoxDlg& Dlg, const std::function<void(TAboutBox& Box)>& Act) {
    TRun Run;
    QTimer::singleShot(0, [&] {
        if (AboutBox == nullptr || !AboutBox->isVisible())
            return;
        Run.Opened = true;
        Act(*AboutBox);
        QCoreApplication::processEvents();
        if (AboutBox->isVisible()) {
            Run.LeftOpen = true;
            AboutBox->Button1->click();
        }
    });
    Run.Result = Dlg.Execute();
    return Run;
}

void ClickOk(TAboutBox& Box) {
    QTest::mouseClick(Box.Button1, Qt::LeftButton);
}

// Puts fixed answers in the system's place for as long as it lives; the answers can change.
class TNameSources {
public:
    TNameSources(std::optional<std::string> AUser, std::optional<std::string> AComputer)
        : User(std::move(AUser)), Computer(std::move(AComputer)),
          FPreviousUser(os::SetUserNameSource([this] { return User; })),
          FPreviousComputer(os::SetComputerNameSource([this] { return Computer; })) {}
    ~TNameSources() {
        os::SetUserNameSource(FPreviousUser);
        os::SetComputerNameSource(FPreviousComputer);
    }
    TNameSources(const TNameSources&) = delete;
    TNameSources& operator=(const TNameSources&) = delete;

    std::optional<std::string> User;
    std::optional<std::string> Computer;

private:
    os::NameSource FPreviousUser;
    os::NameSource FPreviousComputer;
};

// --- the form resource ---

struct TControlRow {
    const char* Name;
    const char* Kind;
    const char* Parent;
    QRect Geometry;
    const char* Caption;
    bool Bold;
    int PixelSize;
    int WordWrap; // 1 or 0 for labels, -1 where it does not apply
};

TEST(AboutBoxLayout, EveryControlSitsWhereTheFormResourcePutsIt) {
    const std::vector<TControlRow> Rows = {
        {"Panel1", "QFrame", "ClientArea", {10, 10, 351, 116}, nullptr, false, 0, -1},
        {"ProgramIcon", "QLabel", "Panel1", {10, 10, 40, 40}, nullptr, false, 0, -1},
        {"ProductName", "QLabel", "Panel1", {70, 10, 236, 16}, "Product Name", true, 13, 0},
        {"Version", "QLabel", "Panel1", {70, 35, 271, 16}, "Version", false, 13, 0},
        {"Copyright", "QLabel", "Panel1", {10, 65, 331, 16}, "Copyright", false, 13, 0},
        {"Comments", "QLabel", "Panel1", {10, 90, 331, 16}, "Comments", false, 13, 1},
        {"Label8", "QLabel", "ClientArea", {15, 140, 38, 16}, "User:", true, 13, 1},
        {"UserName", "QLabel", "ClientArea", {160, 140, 204, 16}, "", false, 13, 1},
        {"Label10", "QLabel", "ClientArea", {15, 160, 71, 16}, "Computer:", true, 13, 1},
        {"ComputerName", "QLabel", "ClientArea", {160, 160, 205, 16}, "", false, 13, 1},
        {"Button1", "QPushButton", "ClientArea", {140, 190, 77, 33}, "OK", true, 17, -1},
    };
    TAboutBox Box(nullptr);
    Box.ensurePolished();
    for (const TControlRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        auto* Control = Box.findChild<QWidget*>(QString::fromLatin1(Row.Name));
        ASSERT_NE(Control, nullptr);
        EXPECT_TRUE(Control->inherits(Row.Kind));
        EXPECT_EQ(Control->parentWidget()->objectName(), QString::fromLatin1(Row.Parent));
        EXPECT_EQ(Control->geometry(), Row.Geometry);
        if (Row.PixelSize > 0) {
            const QFont Font = Control->font();
            EXPECT_EQ(Font.family(), QStringLiteral("Liberation Sans"));
            EXPECT_EQ(Font.pixelSize(), Row.PixelSize);
            EXPECT_EQ(Font.bold(), Row.Bold);
            // The font is really there, not a fallback that happens to answer.
            EXPECT_EQ(QFontInfo(Font).family(), QStringLiteral("Liberation Sans"));
            EXPECT_EQ(Control->palette().color(QPalette::WindowText), QColor(Qt::black));
        }
        if (auto* Label = qobject_cast<QLabel*>(Control); Label != nullptr && Row.Caption) {
            EXPECT_EQ(Label->text(), QString::fromUtf8(Row.Caption));
            // Names and texts are shown as they are, never read as markup.
            EXPECT_EQ(Label->textFormat(), Qt::PlainText);
            EXPECT_EQ(Label->alignment(), Qt::AlignLeft | Qt::AlignTop);
            EXPECT_EQ(Label->wordWrap(), Row.WordWrap == 1);
        }
    }
    EXPECT_EQ(Box.Button1->text(), QStringLiteral("OK"));
}

TEST(AboutBoxLayout, TheFormIsAFixedDialogWithAnOkButtonOnly) {
    TAboutBox Box(nullptr);
    EXPECT_EQ(Box.objectName(), QStringLiteral("AboutBox"));
    EXPECT_EQ(Box.Caption(), "About");
    EXPECT_EQ(Box.minimumSize(), QSize(373, 234));
    EXPECT_EQ(Box.maximumSize(), QSize(373, 234));
    EXPECT_EQ(Box.centralWidget()->size(), QSize(373, 234));
    EXPECT_EQ(Box.windowType(), Qt::Dialog);
    const Qt::WindowFlags Flags = Box.windowFlags();
    EXPECT_TRUE(Flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(Flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(Flags.testFlag(Qt::WindowMaximizeButtonHint));

    // The panel's bevels: an outer lowered and an inner raised line.
    EXPECT_EQ(Box.Panel1->frameShape(), QFrame::Box);
    EXPECT_EQ(Box.Panel1->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(Box.Panel1->focusPolicy(), Qt::NoFocus);

    // The placeholder until Execute puts the program's icon there: 32 x 32, 16 colours.
    EXPECT_TRUE(Box.ProgramIcon->hasScaledContents());
    EXPECT_EQ(Box.ProgramIcon->pixmap().size(), QSize(32, 32));
    const QImage Placeholder(QStringLiteral(":/components/ProgramIcon.bmp"));
    EXPECT_EQ(Placeholder.size(), QSize(32, 32));
    EXPECT_EQ(Placeholder.colorCount(), 16);

    // OK is the default button and has the keyboard; nothing else takes it.
    EXPECT_TRUE(Box.Button1->isDefault());
    EXPECT_EQ(Box.focusWidget(), Box.Button1);
    for (const QWidget* Control : Box.findChildren<QWidget*>()) {
        if (Control != Box.Button1) {
            EXPECT_EQ(Control->focusPolicy() & Qt::TabFocus, 0)
                << Control->objectName().toStdString();
        }
    }
    EXPECT_EQ(Box.findChildren<QPushButton*>().size(), 1);
}

// --- Execute ---

class AboutExecuteTest : public ::testing::Test {
protected:
    TAboutBoxDlg* Dlg = new TAboutBoxDlg(Application);
    void TearDown() override { delete Dlg; }
};

TEST_F(AboutExecuteTest, ANewComponentHasNoTexts) {
    EXPECT_EQ(Dlg->Owner(), Application);
    EXPECT_EQ(Dlg->ProductName(), "");
    EXPECT_EQ(Dlg->Version(), "");
    EXPECT_EQ(Dlg->Copyright(), "");
    EXPECT_EQ(Dlg->Comments(), "");
    Dlg->SetProductName("Zeitrechner");
    Dlg->SetVersion("01.00 (2025-MAR-29; 18:34)");
    Dlg->SetCopyright("Copyright");
    Dlg->SetComments("Kommentar");
    EXPECT_EQ(Dlg->ProductName(), "Zeitrechner");
    EXPECT_EQ(Dlg->Version(), "01.00 (2025-MAR-29; 18:34)");
    EXPECT_EQ(Dlg->Copyright(), "Copyright");
    EXPECT_EQ(Dlg->Comments(), "Kommentar");
}

struct TTextsRow {
    const char* Name;
    std::string ProductName;
    std::string Version;
    std::string Copyright;
    std::string Comments;
    QString Title;
};

TEST_F(AboutExecuteTest, TheBoxShowsTheComponentsTextsUnderAboutAndTheProductName) {
    const std::vector<TTextsRow> Rows = {
        {"the program", "Zeitrechner", "01.00 (2025-MAR-29; 18:34)", "Copyright \xc2\xa9 2025 Tiv",
         "Rechenprogramm zur Manipulation von Zeiten", QStringLiteral("About Zeitrechner")},
        {"another executable name", "Calc", "1", "", "", QStringLiteral("About Calc")},
        {"no product name", "", "", "", "", QStringLiteral("About ")},
        {"markup is shown as typed", "<b>Calc</b>", "1 &amp; 2", "&copy;", "<i>x</i>",
         QStringLiteral("About <b>Calc</b>")},
    };
    for (const TTextsRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        Dlg->SetProductName(Row.ProductName);
        Dlg->SetVersion(Row.Version);
        Dlg->SetCopyright(Row.Copyright);
        Dlg->SetComments(Row.Comments);
        QString Title, ProductName, Version, Copyright, Comments;
        const TRun Run = RunExecute(*Dlg, [&](TAboutBox& Box) {
            Title = Box.windowTitle();
            ProductName = Box.ProductName->text();
            Version = Box.Version->text();
            Copyright = Box.Copyright->text();
            Comments = Box.Comments->text();
            ClickOk(Box);
        });
        ASSERT_TRUE(Run.Opened);
        EXPECT_EQ(Title, Row.Title);
        EXPECT_EQ(ProductName, QString::fromStdString(Row.ProductName));
        EXPECT_EQ(Version, QString::fromStdString(Row.Version));
        EXPECT_EQ(Copyright, QString::fromStdString(Row.Copyright));
        EXPECT_EQ(Comments, QString::fromStdString(Row.Comments));
    }
}

TEST_F(AboutExecuteTest, TheBoxShowsTheNamesTheSystemGives) {
    const passwd* Entry = getpwuid(geteuid());
    ASSERT_NE(Entry, nullptr);
    char Host[HOST_NAME_MAX + 1] = {};
    ASSERT_EQ(gethostname(Host, sizeof Host - 1), 0);
    QString UserName, ComputerName;
    RunExecute(*Dlg, [&](TAboutBox& Box) {
        UserName = Box.UserName->text();
        ComputerName = Box.ComputerName->text();
        ClickOk(Box);
    });
    EXPECT_EQ(UserName, QString::fromLocal8Bit(Entry->pw_name));
    EXPECT_EQ(ComputerName, QString::fromLocal8Bit(Host));
}

struct TNamesRow {
    const char* Name;
    std::optional<std::string> User;
    std::optional<std::string> Computer;
    QString UserShown;
    QString ComputerShown;
};

TEST_F(AboutExecuteTest, ANameTheSystemCannotSupplyShowsAsUnknown) {
    const std::vector<TNamesRow> Rows = {
        {"both names", "anna", "rechner1", QStringLiteral("anna"), QStringLiteral("rechner1")},
        {"no user name", std::nullopt, "rechner1", QStringLiteral("(unknown)"),
         QStringLiteral("rechner1")},
        // Not the user's name that the shared buffer still holds.
        {"no computer name", "anna", std::nullopt, QStringLiteral("anna"),
         QStringLiteral("(unknown)")},
        {"neither", std::nullopt, std::nullopt, QStringLiteral("(unknown)"),
         QStringLiteral("(unknown)")},
        {"a user name too long for the buffer", std::string(300, 'u'), "rechner1",
         QStringLiteral("(unknown)"), QStringLiteral("rechner1")},
        {"the longest name that fits", std::string(254, 'u'), "rechner1",
         QString(254, QLatin1Char('u')), QStringLiteral("rechner1")},
        {"a name beyond ASCII", "J\xc3\xb6rg", "b\xc3\xbcro", QStringLiteral("Jörg"),
         QStringLiteral("büro")},
    };
    for (const TNamesRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        const TNameSources Sources(Row.User, Row.Computer);
        QString UserName, ComputerName;
        RunExecute(*Dlg, [&](TAboutBox& Box) {
            UserName = Box.UserName->text();
            ComputerName = Box.ComputerName->text();
            ClickOk(Box);
        });
        EXPECT_EQ(UserName, Row.UserShown);
        EXPECT_EQ(ComputerName, Row.ComputerShown);
    }
}

TEST_F(AboutExecuteTest, EachCallCreatesItsOwnBoxWithTheNamesOfThatMoment) {
    TNameSources Sources("anna", "rechner1");
    const int Components = Application->ComponentCount();
    QPointer<TAboutBox> First, Second;
    QString FirstUser, SecondUser, SecondComputer;
    bool FirstGoneWhileSecondOpen = false;
    int ComponentsWhileOpen = 0;

    RunExecute(*Dlg, [&](TAboutBox& Box) {
        First = &Box;
        FirstUser = Box.UserName->text();
        EXPECT_EQ(Box.Owner(), Application);
        ComponentsWhileOpen = Application->ComponentCount();
        ClickOk(Box);
    });
    Sources.User = "bert";
    Sources.Computer = "rechner2";
    RunExecute(*Dlg, [&](TAboutBox& Box) {
        Second = &Box;
        FirstGoneWhileSecondOpen = First.isNull();
        SecondUser = Box.UserName->text();
        SecondComputer = Box.ComputerName->text();
        ClickOk(Box);
    });

    EXPECT_EQ(FirstUser, QStringLiteral("anna"));
    EXPECT_EQ(SecondUser, QStringLiteral("bert"));
    EXPECT_EQ(SecondComputer, QStringLiteral("rechner2"));
    // The application object owns each box while it is open; a closed box is released.
    EXPECT_EQ(ComponentsWhileOpen, Components + 1);
    EXPECT_TRUE(FirstGoneWhileSecondOpen);
    EXPECT_TRUE(Second.isNull());
    EXPECT_EQ(AboutBox, nullptr);
    EXPECT_EQ(Application->ComponentCount(), Components);
}

TEST_F(AboutExecuteTest, TheBoxIsModalCentredAndHasTheKeyboard) {
    bool Visible = false, ActiveModal = false;
    Qt::WindowModality Modality = Qt::NonModal;
    QRect Geometry, Frame;
    const QWidget* Focus = nullptr;
    const TRun Run = RunExecute(*Dlg, [&](TAboutBox& Box) {
        Visible = Box.isVisible();
        Modality = Box.windowModality();
        ActiveModal = QApplication::activeModalWidget() == &Box;
        Geometry = Box.geometry();
        Frame = Box.frameGeometry();
        Focus = Box.focusWidget();
        EXPECT_EQ(Focus, Box.Button1);
        ClickOk(Box);
    });
    EXPECT_TRUE(Visible);
    EXPECT_EQ(Modality, Qt::ApplicationModal);
    EXPECT_TRUE(ActiveModal);
    const QRect Screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(Geometry.size(), QSize(373, 234));
    // The window with its frame sits in the middle, to the pixel that halving leaves over.
    EXPECT_LE(std::abs(Frame.center().x() - Screen.center().x()), 1);
    EXPECT_LE(std::abs(Frame.center().y() - Screen.center().y()), 1);
    EXPECT_FALSE(Run.LeftOpen);
}

TEST_F(AboutExecuteTest, TheProgramIconIsStretchedToFortyPixels) {
    const QIcon Previous = QApplication::windowIcon();
    QPixmap Red(32, 32);
    Red.fill(Qt::red);
    QApplication::setWindowIcon(QIcon(Red));
    QPixmap Shown;
    QSize Area;
    bool Stretched = false;
    RunExecute(*Dlg, [&](TAboutBox& Box) {
        Shown = Box.ProgramIcon->pixmap();
        Area = Box.ProgramIcon->size();
        Stretched = Box.ProgramIcon->hasScaledContents();
        ClickOk(Box);
    });
    QApplication::setWindowIcon(Previous);
    ASSERT_FALSE(Shown.isNull());
    EXPECT_EQ(Shown.toImage().pixelColor(16, 16), QColor(Qt::red));
    EXPECT_EQ(Area, QSize(40, 40));
    EXPECT_TRUE(Stretched);
}

struct TCloseRow {
    const char* Name;
    std::function<void(TAboutBox&)> Close;
};

TEST_F(AboutExecuteTest, OkEnterAndTheCloseBoxCloseTheBoxAndExecuteReturnsFalse) {
    const std::vector<TCloseRow> Rows = {
        {"click on OK", ClickOk},
        {"Space on OK", [](TAboutBox& Box) { QTest::keyClick(Box.focusWidget(), Qt::Key_Space); }},
        {"Enter", [](TAboutBox& Box) { QTest::keyClick(Box.focusWidget(), Qt::Key_Return); }},
        {"Enter on the keypad",
         [](TAboutBox& Box) {
             QTest::keyClick(Box.focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
         }},
        {"Enter that reaches the form itself",
         [](TAboutBox& Box) { QTest::keyClick(&Box, Qt::Key_Return); }},
        {"the window's close box", [](TAboutBox& Box) { Box.close(); }},
    };
    for (const TCloseRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        const TRun Run = RunExecute(*Dlg, Row.Close);
        EXPECT_TRUE(Run.Opened);
        EXPECT_FALSE(Run.LeftOpen);
        EXPECT_FALSE(Run.Result);
        EXPECT_EQ(AboutBox, nullptr);
    }
}

TEST_F(AboutExecuteTest, EscapeLeavesTheBoxOpen) {
    bool OpenAfterEscape = false;
    const TRun Run = RunExecute(*Dlg, [&](TAboutBox& Box) {
        QTest::keyClick(Box.focusWidget(), Qt::Key_Escape);
        QTest::keyClick(&Box, Qt::Key_Escape);
        QCoreApplication::processEvents();
        OpenAfterEscape = Box.isVisible();
        ClickOk(Box);
    });
    EXPECT_TRUE(OpenAfterEscape);
    EXPECT_FALSE(Run.LeftOpen);
    EXPECT_FALSE(Run.Result);
}

TEST_F(AboutExecuteTest, ButtonOneClickClosesTheBoxWithTheModalResultCancel) {
    int Result = -1;
    RunExecute(*Dlg, [&](TAboutBox& Box) {
        Box.Button1Click(&Box);
        Result = Box.ModalResult();
    });
    EXPECT_EQ(Result, TAboutBox::mrCancel);
}

} // namespace
