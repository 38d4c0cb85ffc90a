// The calculator's main window: the two operand fields, the operation and resolution
// pickers, the round-up option, the result with its copy and hand-over commands, and the
// menu. The result text itself comes from Calculation; the layout from Main.ui.
#pragma once

#include "ui_Main.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

class TFormMain : public TForm, public Ui::TFormMain {
public:
    explicit TFormMain(TComponent* AOwner);

    // Recalculates every 300 ms from creation on, and at once on "=".
    TTimer* TimerCalculate;

    void FormCreate(TObject* Sender);
    void FormResize(TObject* Sender);
    void TimerCalculateTimer(TObject* Sender);
    void SBCopyClick(TObject* Sender);
    void SBToLeftClick(TObject* Sender);
    void SBExitClick(TObject* Sender);
    void Addition1Click(TObject* Sender);
    void Subtraktion1Click(TObject* Sender);
    void MultiplikationmitFloatFaktor1Click(TObject* Sender);
    void Hilfe2Click(TObject* Sender);
    void EdMainKeyPress(TObject* Sender, char& Key);
};

// The one main window, from its creation to the end of the program.
extern TFormMain* FormMain;
