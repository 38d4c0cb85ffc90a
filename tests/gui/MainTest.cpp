// The real main window, driven with keys and mouse clicks: layout, menu, the result that
// follows the inputs, the commands, the key filter and the help command.
#include "Main.h"

#include "Aboutdlg.h"

#include "Calculation.h"
#include "DataModule.h"
#include "GuiTestSupport.h"
#include "os/Module.h"
#include "rtl/Conversions.h"
#include "timecalc/TivTools.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Generous: the result follows within one tick of 300 ms.
constexpr int TickWait = 5000;

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->CreateForm(FormMain);
        Application->CreateForm(DModule);
        FormMain->show();
        QApplication::setActiveWindow(FormMain);
        ASSERT_TRUE(QTest::qWaitForWindowActive(FormMain));
    }
    void TearDown() override {
        delete DModule;
        DModule = nullptr;
        delete FormMain;
        FormMain = nullptr;
    }

    static QString Result() { return FormMain->EdResult->text(); }
    static bool ResultBecomes(const QString& Text) {
        return QTest::qWaitFor([&] { return Result() == Text; }, TickWait);
    }
    // Replaces an operand's text the way a user does: select all of it, type anew.
    static void Retype(TEdit* Edit, const QString& Text) {
        Edit->setFocus();
        QTest::keyClick(Edit, Qt::Key_End);
        QTest::keyClick(Edit, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClick(Edit, Qt::Key_Delete);
        QTest::keyClicks(Edit, Text);
    }
    static void ClickEquals() { QTest::mouseClick(FormMain->SpeedButton3, Qt::LeftButton); }

    TMessageBoxRecorder Boxes;
};

// --- the state every start shows ---

TEST_F(MainWindowTest, StartsWithTheInitialOperandsAndResult) {
    EXPECT_EQ(FormMain->EdMain->text(), QStringLiteral("8:14,54"));
    EXPECT_EQ(FormMain->EdCalc->text(), QStringLiteral("0,23"));
    EXPECT_EQ(FormMain->CBFunction->currentText(), QStringLiteral("+"));
    EXPECT_EQ(FormMain->CBResolution->currentText(), QStringLiteral("hh:mm:ss,tt"));
    EXPECT_FALSE(FormMain->CBRoundItIAAF->isChecked());
    EXPECT_EQ(Result(), QStringLiteral("8:14,77"));
    EXPECT_TRUE(FormMain->EdResult->isReadOnly());
    EXPECT_EQ(FormMain->TimerCalculate->Interval(), 300);
    EXPECT_TRUE(FormMain->TimerCalculate->Enabled());
    EXPECT_EQ(FormMain, Application->MainForm());
    EXPECT_EQ(DModule->TivTools->Owner(), DModule);
    // The keyboard starts in the first operand.
    EXPECT_EQ(QApplication::focusWidget(), FormMain->EdMain);
}

TEST_F(MainWindowTest, PickersHoldTheirItemsInOrder) {
    const auto Items = [](const QComboBox* Box) {
        QStringList List;
        for (int I = 0; I < Box->count(); ++I)
            List << Box->itemText(I);
        return List;
    };
    EXPECT_EQ(Items(FormMain->CBFunction), (QStringList{"+", "-", "*"}));
    EXPECT_EQ(Items(FormMain->CBResolution),
              (QStringList{"hh:mm:ss", "hh:mm:ss,t", "hh:mm:ss,tt", "hh:mm:ss,ttt"}));
    EXPECT_FALSE(FormMain->CBFunction->isEditable());
    EXPECT_FALSE(FormMain->CBResolution->isEditable());
}

TEST_F(MainWindowTest, CaptionIsTheExecutablesBaseName) {
    const std::string Expected = std::filesystem::path(os::ModuleFileName()).stem().string();
    EXPECT_EQ(FormMain->Caption(), Expected);
    EXPECT_EQ(Expected, "test_gui");
}

// --- layout ---

struct ControlCase {
    const char* Name;
    const char* Parent;
    QRect Geometry;
    QString Hint;
};

TEST_F(MainWindowTest, ControlsSitWhereTheLayoutPutsThem) {
    const ControlCase Cases[] = {
        {"PSButton", "ClientArea", {0, 0, 389, 33}, ""},
        {"Label1", "PSButton", {8, 8, 77, 14}, ""},
        {"CBResolution", "PSButton", {90, 6, 89, 22}, ""},
        {"CBRoundItIAAF", "PSButton", {191, 9, 138, 17}, ""},
        {"SBExit", "PSButton", {349, 4, 25, 25}, "Beenden"},
        {"EdMain", "ClientArea", {8, 40, 81, 24}, ""},
        {"CBFunction", "ClientArea", {94, 40, 41, 24}, ""},
        {"EdCalc", "ClientArea", {138, 40, 71, 24}, ""},
        {"SpeedButton3", "ClientArea", {213, 40, 25, 25}, ""},
        {"EdResult", "ClientArea", {241, 40, 74, 24}, ""},
        {"SBCopy", "ClientArea", {320, 40, 25, 25}, "in Zwischenablage"},
        {"SBToLeft", "ClientArea", {346, 40, 25, 25}, "nach links kopieren"},
        {"SBar", "ClientArea", {0, 74, 389, 23}, ""},
    };
    EXPECT_EQ(FormMain->ClientArea->size(), QSize(389, 97));
    for (const ControlCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        const auto* Control = FormMain->findChild<QWidget*>(QString::fromLatin1(Case.Name));
        ASSERT_NE(Control, nullptr);
        EXPECT_EQ(Control->parentWidget()->objectName(), QString::fromLatin1(Case.Parent));
        EXPECT_EQ(Control->geometry(), Case.Geometry);
        EXPECT_EQ(Control->toolTip(), Case.Hint);
        EXPECT_TRUE(Control->isVisible());
    }
}

TEST_F(MainWindowTest, FontsAreArialAndTheBigOnesBoldNavy) {
    struct FontCase {
        QWidget* Control;
        int PixelSize;
        bool Bold;
        bool Navy;
    };
    const FontCase Cases[] = {
        {FormMain->Label1, 11, false, false},      {FormMain->CBRoundItIAAF, 11, false, false},
        {FormMain->CBResolution, 11, false, true}, {FormMain->EdMain, 13, true, true},
        {FormMain->CBFunction, 13, true, true},    {FormMain->EdCalc, 13, true, true},
        {FormMain->SpeedButton3, 13, true, true},  {FormMain->EdResult, 13, true, true},
    };
    const QColor Navy(0, 0, 128);
    for (const FontCase& Case : Cases) {
        SCOPED_TRACE(Case.Control->objectName().toStdString());
        EXPECT_EQ(Case.Control->font().family(), QStringLiteral("Arial"));
        EXPECT_EQ(Case.Control->font().pixelSize(), Case.PixelSize);
        EXPECT_EQ(Case.Control->font().bold(), Case.Bold);
        const QPalette::ColorRole Role =
            qobject_cast<QLineEdit*>(Case.Control) ? QPalette::Text : QPalette::ButtonText;
        EXPECT_EQ(Case.Control->palette().color(Role) == Navy, Case.Navy);
    }
}

TEST_F(MainWindowTest, TabGoesThroughTheFieldsPickersAndBoxButNeverAButton) {
    FormMain->EdMain->setFocus();
    QStringList Order{QApplication::focusWidget()->objectName()};
    for (int I = 0; I < 6; ++I) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        Order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(Order, (QStringList{"EdMain", "CBFunction", "EdCalc", "EdResult", "CBResolution",
                                  "CBRoundItIAAF", "EdMain"}));
    for (const TSpeedButton* Button :
         {FormMain->SBExit, FormMain->SpeedButton3, FormMain->SBCopy, FormMain->SBToLeft})
        EXPECT_EQ(Button->focusPolicy(), Qt::NoFocus) << Button->objectName().toStdString();
}

TEST_F(MainWindowTest, GlyphsAreSixteenPixelsWithTransparentWhite) {
    for (const TSpeedButton* Button : {FormMain->SBExit, FormMain->SBCopy, FormMain->SBToLeft}) {
        SCOPED_TRACE(Button->objectName().toStdString());
        const QImage Glyph(Button->Glyph());
        ASSERT_EQ(Glyph.size(), QSize(16, 16));
        EXPECT_EQ(Glyph.depth(), 32); // read from a 24-bit file into 0xffRRGGBB
        EXPECT_EQ(Glyph.pixel(0, 15), qRgb(255, 255, 255));
        const QImage Shown = Button->icon().pixmap(16, 16).toImage();
        EXPECT_EQ(qAlpha(Shown.pixel(0, 15)), 0);
    }
    EXPECT_TRUE(FormMain->SpeedButton3->icon().isNull());
    EXPECT_FALSE(FormMain->windowIcon().isNull());
}

TEST_F(MainWindowTest, StatusBarHasTwoEmptyPanels) {
    const QList<QFrame*> Panels =
        FormMain->SBar->findChildren<QFrame*>(QString(), Qt::FindDirectChildrenOnly);
    QList<int> Widths;
    for (const QFrame* Panel : Panels)
        if (Panel->objectName().startsWith(QStringLiteral("SBarPanel")))
            Widths << Panel->width();
    EXPECT_EQ(Widths, (QList<int>{80, 50}));
    EXPECT_TRUE(FormMain->SBar->currentMessage().isEmpty());
}

// --- size ---

TEST_F(MainWindowTest, TheClientAreaGrowsBy23And22AndNeverShrinks) {
    const int Menu = FormMain->height() - FormMain->ClientArea->height();
    EXPECT_EQ(FormMain->minimumSize(), QSize(389, 97 + Menu));
    EXPECT_EQ(FormMain->maximumSize(), QSize(412, 119 + Menu));
    FormMain->resize(1000, 1000);
    QCoreApplication::processEvents();
    EXPECT_EQ(FormMain->ClientArea->size(), QSize(412, 119));
    FormMain->resize(10, 10);
    QCoreApplication::processEvents();
    EXPECT_EQ(FormMain->ClientArea->size(), QSize(389, 97));
}

TEST_F(MainWindowTest, TheExitButtonKeeps15PixelsToTheRightEdge) {
    struct SizeCase {
        int Width;
        int ExitLeft;
    };
    for (const SizeCase Case : {SizeCase{412, 372}, SizeCase{389, 349}, SizeCase{400, 360}}) {
        SCOPED_TRACE(Case.Width);
        FormMain->resize(Case.Width, FormMain->height());
        QCoreApplication::processEvents();
        EXPECT_EQ(FormMain->ClientWidth(), Case.Width);
        EXPECT_EQ(FormMain->SBExit->geometry(), QRect(Case.ExitLeft, 4, 25, 25));
        EXPECT_EQ(FormMain->PSButton->width(), Case.Width);
        EXPECT_EQ(FormMain->SBar->width(), Case.Width);
        // Nothing else moves.
        EXPECT_EQ(FormMain->SBToLeft->geometry(), QRect(346, 40, 25, 25));
    }
    FormMain->resize(FormMain->width(), FormMain->maximumHeight());
    QCoreApplication::processEvents();
    EXPECT_EQ(FormMain->SBar->geometry().bottom(), FormMain->ClientArea->height() - 1);
}

// --- the menu ---

TEST_F(MainWindowTest, MenuShowsItsCaptionsShortcutsAndSeparators) {
    struct ItemCase {
        QMenu* Menu;
        QList<QAction*> Items;
    };
    const QList<QString> Titles{"&Datei", "Bearbeiten", "&Hilfe"};
    QList<QString> ShownTitles;
    for (const QAction* Action : FormMain->MainMenu1->actions())
        ShownTitles << Action->text();
    EXPECT_EQ(ShownTitles, Titles);

    struct Row {
        QAction* Item;
        const char* Caption;
        const char* Shortcut; // as the menu shows it
    };
    const Row Rows[] = {
        {FormMain->N2, "", ""},
        {FormMain->Beenden1, "&Beenden", ""},
        {FormMain->Konfiguration2, "Ergebnis->Zwischenablage", "Strg+C"},
        {FormMain->ErgebnisalsParameter11, "Ergebnis als Parameter 1", "Strg+B"},
        {FormMain->N3, "", ""},
        {FormMain->Addition1, "Addition", "F5"},
        {FormMain->Subtraktion1, "Subtraktion", "F6"},
        {FormMain->MultiplikationmitFloatFaktor1, "Multiplikation mit Float- Faktor", "F7"},
        {FormMain->Hilfe2, "&Hilfe", "F1"},
        {FormMain->N1, "", ""},
        {FormMain->ber1, "Ü&ber", "Strg+F1"},
    };
    QList<QAction*> InMenus;
    for (QMenu* Menu : {FormMain->Datei1, FormMain->Konfiguration1, FormMain->Hilfe1})
        InMenus << Menu->actions();
    ASSERT_EQ(InMenus.size(), static_cast<qsizetype>(std::size(Rows)));
    for (qsizetype I = 0; I < InMenus.size(); ++I) {
        const Row& Expected = Rows[I];
        SCOPED_TRACE(Expected.Item->objectName().toStdString());
        EXPECT_EQ(InMenus[I], Expected.Item);
        EXPECT_EQ(Expected.Item->isSeparator(), *Expected.Caption == '\0');
        EXPECT_EQ(Expected.Item->text(), QString::fromUtf8(Expected.Caption));
        EXPECT_EQ(Expected.Item->shortcut().toString(QKeySequence::NativeText),
                  QString::fromUtf8(Expected.Shortcut));
    }
    // "&Datei" really shows the line above "&Beenden".
    const QRect Line = FormMain->Datei1->actionGeometry(FormMain->N2);
    EXPECT_GE(Line.height(), 5);
    EXPECT_LT(Line.top(), FormMain->Datei1->actionGeometry(FormMain->Beenden1).top());
}

// --- the result follows the inputs ---

TEST_F(MainWindowTest, TheResultFollowsEditsWithinATick) {
    Retype(FormMain->EdMain, QStringLiteral("1:00"));
    Retype(FormMain->EdCalc, QStringLiteral("2:00"));
    EXPECT_TRUE(ResultBecomes(QStringLiteral("3:00,00")));
    QTest::keyClick(FormMain->CBFunction, Qt::Key_Down);
    EXPECT_TRUE(ResultBecomes(QStringLiteral("-1:00,00")));
    FormMain->CBRoundItIAAF->setFocus();
    QTest::keyClick(FormMain->CBRoundItIAAF, Qt::Key_Space);
    EXPECT_TRUE(FormMain->CBRoundItIAAF->isChecked());
    QTest::keyClick(FormMain->CBResolution, Qt::Key_Up);
    EXPECT_TRUE(ResultBecomes(QStringLiteral("-1:00,0")));
}

TEST_F(MainWindowTest, EqualsRecalculatesAtOnce) {
    struct EqualsCase {
        const char* Main;
        const char* Calc;
        int Function;
        int Resolution;
        bool Round;
        const char* Expected;
    };
    const EqualsCase Cases[] = {
        {"8:14,54", "0,23", 1, 2, false, "8:14,31"},
        {"8:14,54", "0,23", 2, 2, false, "1:53,74"},
        {"8:14,54", "0,23", 2, 2, true, "1:53,75"},
        {"1:00", "2:00", 1, 2, false, "-1:00,00"},
        {"8:14,54", "0,23", 0, 0, false, "8:14"},
        {"8:14,54", "0,23", 0, 3, false, "8:14,770"},
        {"596:31:23,647", "0,002", 0, 3, false, "-596:31:23,647"},
        {"0,005", "0,5", 2, 3, false, "00,002"},
        {"8:14,54", "0.23", 2, 2, false, "00,00"},
        {"8:14,54", "", 0, 2, false, ""},
        {"", "0,23", 0, 2, false, ""},
    };
    for (const EqualsCase& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Main) + " " + std::to_string(Case.Function) + " " +
                     Case.Calc);
        FormMain->EdMain->setText(QString::fromUtf8(Case.Main));
        FormMain->EdCalc->setText(QString::fromUtf8(Case.Calc));
        FormMain->CBFunction->setCurrentIndex(Case.Function);
        FormMain->CBResolution->setCurrentIndex(Case.Resolution);
        FormMain->CBRoundItIAAF->setChecked(Case.Round);
        ClickEquals();
        EXPECT_EQ(Result(), QString::fromUtf8(Case.Expected));
    }
}

TEST_F(MainWindowTest, TheFactorFollowsTheUsersDecimalSeparator) {
    FormMain->CBFunction->setCurrentIndex(2);
    FormMain->EdMain->setText(QStringLiteral("1:00"));
    const char* const Saved = std::getenv("LC_ALL");
    const std::string Restore = Saved != nullptr ? Saved : "";
    setenv("LC_ALL", "en_US.UTF-8", 1);
    FormMain->EdCalc->setText(QStringLiteral("0.5"));
    ClickEquals();
    EXPECT_EQ(Result(), QStringLiteral("30,00"));
    FormMain->EdCalc->setText(QStringLiteral("0,5"));
    ClickEquals();
    EXPECT_EQ(Result(), QStringLiteral("00,00"));
    setenv("LC_ALL", Restore.c_str(), 1);
    ClickEquals();
    EXPECT_EQ(Result(), QStringLiteral("30,00"));
}

TEST_F(MainWindowTest, EmptyingAnOperandEmptiesTheResultUntilItHasTextAgain) {
    Retype(FormMain->EdCalc, QString());
    EXPECT_TRUE(ResultBecomes(QString()));
    QTest::keyClicks(FormMain->EdCalc, QStringLiteral("1"));
    EXPECT_TRUE(ResultBecomes(QStringLiteral("8:14,54")));
}

TEST_F(MainWindowTest, AnUnchangedResultIsNotWrittenSoItsSelectionSurvives) {
    FormMain->EdResult->setFocus();
    FormMain->EdResult->setSelection(2, 3);
    int Writes = 0;
    QObject::connect(FormMain->EdResult, &QLineEdit::textChanged, [&] { ++Writes; });
    int Ticks = 0;
    const TNotifyEvent Tick = FormMain->TimerCalculate->OnTimer;
    FormMain->TimerCalculate->OnTimer = [&](TObject* Sender) {
        Tick(Sender);
        ++Ticks;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return Ticks >= 3; }, 3 * TickWait));
    ClickEquals();
    EXPECT_EQ(Writes, 0);
    EXPECT_EQ(FormMain->EdResult->selectedText(), QStringLiteral("14,"));
}

// --- commands ---

TEST_F(MainWindowTest, CopyPutsTheResultOnTheClipboard) {
    QGuiApplication::clipboard()->setText(QStringLiteral("alt"));
    QTest::mouseClick(FormMain->SBCopy, Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("8:14,77"));
    FormMain->EdCalc->clear();
    ClickEquals();
    QTest::mouseClick(FormMain->SBCopy, Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());
}

TEST_F(MainWindowTest, CtrlCCopiesTheResultNotTheSelectionOfTheFocusedField) {
    QGuiApplication::clipboard()->setText(QStringLiteral("alt"));
    FormMain->EdMain->setFocus();
    FormMain->EdMain->selectAll();
    QTest::keyClick(FormMain->EdMain, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("8:14,77"));
    EXPECT_EQ(FormMain->EdMain->selectedText(), QStringLiteral("8:14,54"));
}

TEST_F(MainWindowTest, HandOverMovesTheResultIntoTheFirstOperandAndRecalculates) {
    QTest::mouseClick(FormMain->SBToLeft, Qt::LeftButton);
    EXPECT_EQ(FormMain->EdMain->text(), QStringLiteral("8:14,77"));
    EXPECT_EQ(Result(), QStringLiteral("8:15,00"));
    EXPECT_EQ(FormMain->EdCalc->text(), QStringLiteral("0,23"));
    // Ctrl+B does the same, from whichever control has the focus.
    FormMain->EdCalc->setFocus();
    QTest::keyClick(FormMain->EdCalc, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(FormMain->EdMain->text(), QStringLiteral("8:15,00"));
    EXPECT_EQ(Result(), QStringLiteral("8:15,23"));
}

TEST_F(MainWindowTest, HandOverOfANegativeResultKeepsItsSign) {
    FormMain->EdMain->setText(QStringLiteral("1:00"));
    FormMain->EdCalc->setText(QStringLiteral("2:00"));
    FormMain->CBFunction->setCurrentIndex(1);
    ClickEquals();
    ASSERT_EQ(Result(), QStringLiteral("-1:00,00"));
    QTest::mouseClick(FormMain->SBToLeft, Qt::LeftButton);
    EXPECT_EQ(FormMain->EdMain->text(), QStringLiteral("-1:00,00"));
    // Recalculated at once from the new first operand.
    const TCalculationInputs Inputs{
        "-1:00,00", "2:00", 1, false, 2, "hh:mm:ss,tt", rtl::RegionalDecimalSeparator()};
    EXPECT_EQ(Result().toStdString(), CalculateResult(*DModule->TivTools, Inputs));
}

TEST_F(MainWindowTest, HandOverOfAnEmptyResultEmptiesTheFirstOperand) {
    FormMain->EdCalc->clear();
    ClickEquals();
    ASSERT_EQ(Result(), QString());
    QTest::mouseClick(FormMain->SBToLeft, Qt::LeftButton);
    EXPECT_EQ(FormMain->EdMain->text(), QString());
    QTest::keyClicks(FormMain->EdCalc, QStringLiteral("0,23"));
    ClickEquals();
    EXPECT_EQ(Result(), QString());
    QTest::keyClicks(FormMain->EdMain, QStringLiteral("1"));
    EXPECT_TRUE(ResultBecomes(QStringLiteral("00,23")));
}

TEST_F(MainWindowTest, FunctionKeysSelectTheOperationFromAnyControlWithoutRecalculating) {
    struct KeyCase {
        Qt::Key Key;
        int Function;
    };
    for (QWidget* Focus : std::initializer_list<QWidget*>{
             FormMain->EdMain, FormMain->EdCalc, FormMain->EdResult, FormMain->CBFunction,
             FormMain->CBResolution, FormMain->CBRoundItIAAF}) {
        for (const KeyCase Case :
             {KeyCase{Qt::Key_F7, 2}, KeyCase{Qt::Key_F6, 1}, KeyCase{Qt::Key_F5, 0}}) {
            SCOPED_TRACE(Focus->objectName().toStdString() + " " + std::to_string(Case.Function));
            Focus->setFocus();
            QTest::keyClick(Focus, Case.Key);
            EXPECT_EQ(FormMain->CBFunction->currentIndex(), Case.Function);
            EXPECT_EQ(Result(), QStringLiteral("8:14,77"));
        }
    }
    QTest::keyClick(FormMain->EdMain, Qt::Key_F6);
    EXPECT_EQ(Result(), QStringLiteral("8:14,77"));
    EXPECT_TRUE(ResultBecomes(QStringLiteral("8:14,31")));
}

TEST_F(MainWindowTest, ExitClosesTheWindow) {
    QTest::mouseClick(FormMain->SBExit, Qt::LeftButton);
    EXPECT_FALSE(FormMain->isVisible());
    FormMain->show();
    FormMain->Beenden1->trigger();
    EXPECT_FALSE(FormMain->isVisible());
}

// --- the key filter ---

struct FilterCase {
    const char* Name;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    const char* Expected; // the field afterwards, starting from "1"
};

void PrintTo(const FilterCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class KeyFilterTest : public MainWindowTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(KeyFilterTest, OnlyTimeCharactersReachTheOperandFields) {
    const FilterCase& Case = GetParam();
    QGuiApplication::clipboard()->setText(QStringLiteral("99"));
    for (TEdit* Edit : {FormMain->EdMain, FormMain->EdCalc}) {
        SCOPED_TRACE(Edit->objectName().toStdString());
        Edit->setText(QStringLiteral("1"));
        Edit->setFocus();
        QTest::keyClick(Edit, Case.Key, Case.Modifiers);
        EXPECT_EQ(Edit->text(), QString::fromUtf8(Case.Expected));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyFilterTest,
    ::testing::Values(FilterCase{"Digit0", Qt::Key_0, Qt::NoModifier, "10"},
                      FilterCase{"Digit9", Qt::Key_9, Qt::NoModifier, "19"},
                      FilterCase{"Colon", Qt::Key_Colon, Qt::NoModifier, "1:"},
                      FilterCase{"Comma", Qt::Key_Comma, Qt::NoModifier, "1,"},
                      FilterCase{"Period", Qt::Key_Period, Qt::NoModifier, "1."},
                      FilterCase{"Backspace", Qt::Key_Backspace, Qt::NoModifier, ""},
                      FilterCase{"Minus", Qt::Key_Minus, Qt::NoModifier, "1"},
                      FilterCase{"Blank", Qt::Key_Space, Qt::NoModifier, "1"},
                      FilterCase{"Letter", Qt::Key_A, Qt::NoModifier, "1"},
                      FilterCase{"Enter", Qt::Key_Return, Qt::NoModifier, "1"},
                      FilterCase{"Escape", Qt::Key_Escape, Qt::NoModifier, "1"},
                      FilterCase{"CtrlV", Qt::Key_V, Qt::ControlModifier, "1"},
                      FilterCase{"CtrlX", Qt::Key_X, Qt::ControlModifier, "1"},
                      FilterCase{"ShiftInsertPastes", Qt::Key_Insert, Qt::ShiftModifier, "199"}),
    [](const ::testing::TestParamInfo<FilterCase>& Info) { return std::string(Info.param.Name); });

TEST_F(MainWindowTest, PastingThroughTheContextMenuIsNotFiltered) {
    QGuiApplication::clipboard()->setText(QStringLiteral("- 1:00 x"));
    FormMain->EdMain->clear();
    const std::unique_ptr<QMenu> Menu(FormMain->EdMain->createStandardContextMenu());
    // Undo, Redo, a line, Cut, Copy, Paste: the sixth item pastes.
    ASSERT_GT(Menu->actions().size(), 5);
    Menu->actions().at(5)->trigger();
    EXPECT_EQ(FormMain->EdMain->text(), QStringLiteral("- 1:00 x"));
    // The leading "-" makes the pasted time negative; the other strays are dropped.
    EXPECT_TRUE(ResultBecomes(QStringLiteral("-59,77")));
}

TEST_F(MainWindowTest, TheResultFieldIsNotFilteredButReadOnly) {
    EXPECT_FALSE(FormMain->EdResult->OnKeyPress);
    FormMain->EdResult->setFocus();
    QTest::keyClicks(FormMain->EdResult, QStringLiteral("5"));
    EXPECT_EQ(Result(), QStringLiteral("8:14,77"));
}

// --- help ---

TEST_F(MainWindowTest, HelpWithoutAHelpFileShowsWhereItWasExpected) {
    const std::string Expected =
        std::filesystem::path(os::ModuleFileName()).replace_extension(".chm").string();
    ASSERT_EQ(Application->HelpFile(), Expected);
    int Requests = 0;
    Application->SetHelpHandler([&](int) { return ++Requests > 0; });
    QTest::keyClick(FormMain->EdMain, Qt::Key_F1);
    Application->SetHelpHandler(nullptr);
    ASSERT_EQ(Boxes.Boxes.size(), 1u);
    const TRecordedBox& Box = Boxes.Boxes[0];
    EXPECT_EQ(Box.Owner, FormMain);
    EXPECT_EQ(Box.Caption, "Keine Hilfe");
    EXPECT_EQ(Box.Text, "Hilfedatei \r\"" + Expected + "\"\r nicht verfügbar.");
    EXPECT_EQ(Box.Flags, os::MbOk | os::MbIconError | os::MbTaskModal | os::MbTopMost);
    EXPECT_EQ(Requests, 0);
    // The command can be repeated.
    FormMain->Hilfe2->trigger();
    EXPECT_EQ(Boxes.Boxes.size(), 2u);
}

TEST_F(MainWindowTest, HelpWithAHelpFileAsksForContextOne) {
    QTemporaryDir Dir;
    const std::string HelpFile = Dir.filePath(QStringLiteral("Zeitrechner.chm")).toStdString();
    std::ofstream(HelpFile) << "ITSF";
    Application->SetHelpFile(HelpFile);
    std::vector<int> Contexts;
    Application->SetHelpHandler([&](int Context) {
        Contexts.push_back(Context);
        return true;
    });
    QTest::keyClick(FormMain->EdCalc, Qt::Key_F1);
    Application->SetHelpHandler(nullptr);
    FormMain->Hilfe2->trigger(); // no handler: nothing happens
    EXPECT_EQ(Contexts, std::vector<int>{1});
    EXPECT_TRUE(Boxes.Boxes.empty());
}

TEST_F(MainWindowTest, AFolderNamedLikeTheHelpFileIsNoHelpFile) {
    QTemporaryDir Dir;
    Application->SetHelpFile(Dir.path().toStdString());
    FormMain->Hilfe2->trigger();
    EXPECT_EQ(Boxes.Boxes.size(), 1u);
}

} // namespace

namespace {

// Ctrl+F1 shows the about box with the program's name, its version and the comment; OK
// ends it.
TEST_F(MainWindowTest, TheAboutCommandShowsNameVersionAndComment) {
    QString Title, Version, Comment;
    QTimer::singleShot(0, [&] {
        ASSERT_NE(AboutBox, nullptr);
        Title = AboutBox->windowTitle();
        Version = AboutBox->Version->text();
        Comment = AboutBox->Comments->text();
        QTest::mouseClick(AboutBox->Button1, Qt::LeftButton);
    });
    QTest::keyClick(FormMain, Qt::Key_F1, Qt::ControlModifier);
    EXPECT_EQ(Title, QStringLiteral("About test_gui"));
    EXPECT_EQ(Version, QStringLiteral("01.00 (2025-MAR-29; 18:34)"));
    EXPECT_EQ(Comment, QStringLiteral("Rechenprogramm zur Manipulation von Zeiten"));
    EXPECT_EQ(AboutBox, nullptr);
}

} // namespace
