#include "Main.h"

#include "About.h"
#include "Calculation.h"
#include "DataModule.h"
#include "Regstry.h"
#include "Version.h"
#include "htmlhelp/HookHelpSystem.h"
#include "os/MessageBox.h"
#include "os/Module.h"
#include "rtl/Conversions.h"
#include "rtl/DateUtils.h"
#include "rtl/FileNames.h"
#include "timecalc/TivTools.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QScreen>
#include <filesystem>
#include <functional>
#include <system_error>

TFormMain* FormMain = nullptr;
THookHelpSystem* HelpSystemHook = nullptr;

namespace {

// The gap between the exit button and the client area's right edge.
constexpr int ExitButtonMargin = 15;

// "/opt/tiv/Zeitrechner" gives "Zeitrechner"; only the last extension goes ("a.b.exe": "a.b").
std::string ExecutableBaseName() {
    return rtl::ExtractFileBaseName(os::ModuleFileName());
}

// The executable's path with ".chm" in place of its extension, or appended without one.
std::string DefaultHelpFile() {
    return rtl::ChangeFileExt(os::ModuleFileName(), ".chm");
}

std::int64_t Area(const QRect& Rect) {
    return Rect.isEmpty() ? 0 : std::int64_t{Rect.width()} * Rect.height();
}

std::int64_t SquaredDistance(const QRect& A, const QRect& B) {
    const std::int64_t Dx = std::max({0, A.left() - B.right(), B.left() - A.right()});
    const std::int64_t Dy = std::max({0, A.top() - B.bottom(), B.top() - A.bottom()});
    return Dx * Dx + Dy * Dy;
}

// The monitor that holds the largest part of Frame, or the nearest one when none holds any.
const QRect& MonitorOf(const std::vector<QRect>& Monitors, const QRect& Frame) {
    const QRect* Best = &Monitors.front();
    for (const QRect& Monitor : Monitors)
        if (Area(Monitor.intersected(Frame)) > Area(Best->intersected(Frame)))
            Best = &Monitor;
    if (Area(Best->intersected(Frame)) > 0)
        return *Best;
    for (const QRect& Monitor : Monitors)
        if (SquaredDistance(Monitor, Frame) < SquaredDistance(*Best, Frame))
            Best = &Monitor;
    return *Best;
}

// What reading and writing the stamp share: the key path after the executable's name, the
// action, and the stamp text of this moment.
std::string PrepareStamp(TRegstry& Registry, TProfileAction Action) {
    Registry.SetIniFileName("Software\\Tiv\\" + ExecutableBaseName());
    Registry.SetAction(Action);
    return rtl::DateTimeToStr(rtl::Now());
}

std::vector<QRect> MonitorBounds() {
    std::vector<QRect> Bounds;
    for (const QScreen* Screen : QGuiApplication::screens())
        Bounds.push_back(Screen->geometry());
    return Bounds;
}

bool FileExists(const std::string& FileName) {
    std::error_code Error;
    return std::filesystem::is_regular_file(FileName, Error);
}

} // namespace

QPoint BottomLeftPosition(const std::vector<QRect>& Monitors, const QRect& Frame) {
    if (Monitors.empty())
        return Frame.topLeft();
    QRect Moved = Frame;
    Moved.moveLeft(MonitorOf(Monitors, Frame).left() + 18);
    const QRect& Monitor = MonitorOf(Monitors, Moved);
    return {Moved.left(), Monitor.top() + Monitor.height() - Frame.height() - 20};
}

TFormMain::TFormMain(TComponent* AOwner)
    : TForm(AOwner), TimerCalculate(new TTimer(this)), About(new TAboutBoxDlg(this)),
      Regstry1(new TRegstry(this)) {
    setupUi(this);
    ConstrainToClient();
    // The window's icon is the program's: the about box shows it too.
    QApplication::setWindowIcon(windowIcon());
    About->SetName("About");
    About->SetCopyright("Copyright © 2025 Tiv");
    About->SetComments("Rechenprogramm zur Manipulation von Zeiten");
    // The keyboard starts in the first operand, the first stop of the tab sequence.
    EdMain->setFocus();
    TimerCalculate->SetInterval(300);
    Regstry1->SetName("Regstry1");
    Regstry1->SetCategory("Main");
    Regstry1->SetKeyName("LastUsed");
    Regstry1->SetDefaultValue("26.11.2002");
    Regstry1->SetIniFileName("Software\\Tiv\\MyTask");
    Regstry1->SetAction(paReadCurrentUser);

    using std::bind_front;
    OnCreate = bind_front(&TFormMain::FormCreate, this);
    OnResize = bind_front(&TFormMain::FormResize, this);
    OnCloseQuery = bind_front(&TFormMain::FormCloseQuery, this);
    OnClose = bind_front(&TFormMain::FormClose, this);
    TimerCalculate->OnTimer = bind_front(&TFormMain::TimerCalculateTimer, this);
    SpeedButton3->OnClick = bind_front(&TFormMain::TimerCalculateTimer, this);
    SBCopy->OnClick = bind_front(&TFormMain::SBCopyClick, this);
    SBToLeft->OnClick = bind_front(&TFormMain::SBToLeftClick, this);
    SBExit->OnClick = bind_front(&TFormMain::SBExitClick, this);
    EdMain->OnKeyPress = bind_front(&TFormMain::EdMainKeyPress, this);
    EdCalc->OnKeyPress = bind_front(&TFormMain::EdMainKeyPress, this);
    ConnectMenuItem(Beenden1, bind_front(&TFormMain::SBExitClick, this));
    ConnectMenuItem(Konfiguration2, bind_front(&TFormMain::SBCopyClick, this));
    ConnectMenuItem(ErgebnisalsParameter11, bind_front(&TFormMain::SBToLeftClick, this));
    ConnectMenuItem(Addition1, bind_front(&TFormMain::Addition1Click, this));
    ConnectMenuItem(Subtraktion1, bind_front(&TFormMain::Subtraktion1Click, this));
    ConnectMenuItem(MultiplikationmitFloatFaktor1,
                    bind_front(&TFormMain::MultiplikationmitFloatFaktor1Click, this));
    ConnectMenuItem(Hilfe2, bind_front(&TFormMain::Hilfe2Click, this));
    ConnectMenuItem(ber1, bind_front(&TFormMain::ber1Click, this));
}

TFormMain::~TFormMain() {
    delete HelpSystemHook;
    HelpSystemHook = nullptr;
}

void TFormMain::FormCreate(TObject* Sender) {
    FormResize(Sender);
    rtl::FormatSettings().ShortDateFormat = "dd.mm.yyyy";
    rtl::FormatSettings().ShortTimeFormat = "hh:nn";
    FormMain->SetCaption(ExecutableBaseName());
    // The native window exists from here on, not yet shown, with its caption: a second
    // instance's guard looks for it.
    FormMain->winId();
    Application->SetHelpFile(DefaultHelpFile());
    HelpSystemHook = new THookHelpSystem(Application->HelpFile(), "", 0);
    StartTimer = new TTimer(this);
    StartTimer->SetInterval(100);
    StartTimer->OnTimer = std::bind_front(&TFormMain::StartTimerTimer, this);
}

void TFormMain::StartTimerTimer(TObject*) {
    ReadFromIni();
    // The timer is inside its own tick: it stops now and goes once the tick is over.
    StartTimer->SetEnabled(false);
    QMetaObject::invokeMethod(
        this, [Timer = StartTimer] { delete Timer; }, Qt::QueuedConnection);
    StartTimer = nullptr;
    Application->OnIdle = std::bind_front(&TFormMain::ApplicationOnIdle, this);
    FormMain->move(BottomLeftPosition(MonitorBounds(), FormMain->frameGeometry()));
}

void TFormMain::ApplicationOnIdle(TObject*, bool& Done) {
    Application->RestoreTopMosts();
    Done = true;
}

void TFormMain::FormCloseQuery(TObject*, bool&) {
    WriteToIni();
}

void TFormMain::FormClose(TObject*, TCloseAction&) {
    HtmlHelpCloseAll();
    delete HelpSystemHook;
    HelpSystemHook = nullptr;
}

// The stamp of the last use: the key is created at the start, the value written at every
// close query.
void TFormMain::ReadFromIni() {
    const std::string Stamp = PrepareStamp(*Regstry1, paReadCurrentUser);
    Regstry1->ReadValueDef(Regstry1->IniFileName() + "\\Main", "LastUsed", Stamp);
}

void TFormMain::WriteToIni() {
    const std::string Stamp = PrepareStamp(*Regstry1, paWriteCurrentUser);
    Regstry1->WriteValue(Regstry1->IniFileName() + "\\Main", "LastUsed", Stamp);
}

void TFormMain::FormResize(TObject*) {
    SBExit->move(ClientWidth() - SBExit->width() - ExitButtonMargin, SBExit->y());
}

void TFormMain::TimerCalculateTimer(TObject*) {
    const TLastRun Now{EdMain->text(),
                       EdCalc->text(),
                       CBFunction->currentIndex(),
                       CBRoundItIAAF->isChecked(),
                       CBResolution->currentIndex(),
                       rtl::RegionalDecimalSeparator(),
                       {},
                       true};
    const bool Unchanged = FLast.Valid && Now.Main == FLast.Main && Now.Calc == FLast.Calc &&
                           Now.Function == FLast.Function && Now.RoundUp == FLast.RoundUp &&
                           Now.Resolution == FLast.Resolution &&
                           Now.DecimalSeparator == FLast.DecimalSeparator;
    if (!Unchanged) {
        const std::string MainText = Now.Main.toStdString();
        const std::string CalcText = Now.Calc.toStdString();
        const std::string ResolutionText = CBResolution->currentText().toStdString();
        const TCalculationInputs Inputs{
            MainText,       CalcText,       Now.Function,        Now.RoundUp,
            Now.Resolution, ResolutionText, Now.DecimalSeparator};
        FLast = Now;
        FLast.Result = QString::fromStdString(CalculateResult(*DModule->TivTools, Inputs));
    }
    // An unchanged result is left alone, so that a selection in it survives the ticks.
    if (EdResult->text() != FLast.Result)
        EdResult->setText(FLast.Result);
}

void TFormMain::SBCopyClick(TObject*) {
    QGuiApplication::clipboard()->setText(EdResult->text());
}

void TFormMain::SBToLeftClick(TObject* Sender) {
    EdMain->setText(EdResult->text());
    TimerCalculateTimer(Sender);
}

void TFormMain::SBExitClick(TObject*) {
    close();
}

void TFormMain::Addition1Click(TObject*) {
    CBFunction->setCurrentIndex(0);
}

void TFormMain::Subtraktion1Click(TObject*) {
    CBFunction->setCurrentIndex(1);
}

void TFormMain::MultiplikationmitFloatFaktor1Click(TObject*) {
    CBFunction->setCurrentIndex(2);
}

void TFormMain::Hilfe2Click(TObject*) {
    const std::string& HelpFile = Application->HelpFile();
    if (FileExists(HelpFile)) {
        Application->HelpContext(1);
        return;
    }
    os::MessageBox(this, "Hilfedatei \r\"" + HelpFile + "\"\r nicht verfügbar.", "Keine Hilfe",
                   os::MbOk | os::MbIconError | os::MbTaskModal | os::MbTopMost);
}

void TFormMain::ber1Click(TObject*) {
    About->SetVersion(VersionText());
    About->SetProductName(ExecutableBaseName());
    About->Execute();
}

void TFormMain::EdMainKeyPress(TObject* Sender, char& Key) {
    DModule->TivTools->TimeKeyFilter(Sender, Key);
}
