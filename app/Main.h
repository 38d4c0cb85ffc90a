// The calculator's main window: the two operand fields, the operation and resolution
// pickers, the round-up option, the result with its copy and hand-over commands, and the
// menu. The result text itself comes from Calculation; the layout from Main.ui.
#pragma once

#include "ui_Main.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

#include <QPoint>
#include <QRect>
#include <vector>

class TAboutBoxDlg;
class TRegstry;
class THookHelpSystem;

class TFormMain : public TForm, public Ui::TFormMain {
public:
    explicit TFormMain(TComponent* AOwner);
    // The help-system hook lives no longer than the window, also when no close ran.
    ~TFormMain() override;

    // Recalculates every 300 ms from creation on, and at once on "=".
    TTimer* TimerCalculate;
    // The about box's texts; the about command fills in the version and product name.
    TAboutBoxDlg* About;
    // Keeps the time of the last use under HKEY_CURRENT_USER\Software\Tiv\<name>\Main.
    TRegstry* Regstry1;
    // Ticks once, 100 ms after creation, and is gone afterwards.
    TTimer* StartTimer = nullptr;

    void FormCreate(TObject* Sender);
    void StartTimerTimer(TObject* Sender);
    void ApplicationOnIdle(TObject* Sender, bool& Done);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void ReadFromIni();
    void WriteToIni();
    void FormResize(TObject* Sender);
    void TimerCalculateTimer(TObject* Sender);
    void SBCopyClick(TObject* Sender);
    void SBToLeftClick(TObject* Sender);
    void SBExitClick(TObject* Sender);
    void Addition1Click(TObject* Sender);
    void Subtraktion1Click(TObject* Sender);
    void MultiplikationmitFloatFaktor1Click(TObject* Sender);
    void Hilfe2Click(TObject* Sender);
    void ber1Click(TObject* Sender);
    void EdMainKeyPress(TObject* Sender, char& Key);

private:
    // The inputs and the result of the last calculation. The result depends on nothing
    // else, so a tick that finds the same inputs skips the work: an idle window costs next
    // to nothing.
    struct TLastRun {
        QString Main;
        QString Calc;
        int Function = -1;
        bool RoundUp = false;
        int Resolution = -1;
        char DecimalSeparator = 0;
        QString Result;
        bool Valid = false;
    };
    TLastRun FLast;
};

// The one main window, from its creation to the end of the program.
extern TFormMain* FormMain;

// The help-system hook, from the main window's creation to its close.
extern THookHelpSystem* HelpSystemHook;

// Where the start puts the main window: 18 pixels right of the left edge and 20 pixels above
// the bottom edge of the monitor that holds most of it (the nearest one when none does),
// from the monitors' full bounds. Frame is the window's outer geometry.
QPoint BottomLeftPosition(const std::vector<QRect>& Monitors, const QRect& Frame);
