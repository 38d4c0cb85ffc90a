#include "Main.h"

#include "Calculation.h"
#include "DataModule.h"
#include "os/MessageBox.h"
#include "os/Module.h"
#include "rtl/Conversions.h"
#include "timecalc/TivTools.h"

#include <QClipboard>
#include <QGuiApplication>
#include <filesystem>
#include <functional>
#include <system_error>

TFormMain* FormMain = nullptr;

namespace {

// The gap between the exit button and the client area's right edge.
constexpr int ExitButtonMargin = 15;

// "/opt/tiv/Zeitrechner" gives "Zeitrechner"; only the last extension goes ("a.b.exe": "a.b").
std::string ExecutableBaseName() {
    return std::filesystem::path(os::ModuleFileName()).stem().string();
}

// The executable's path with ".chm" in place of its extension, or appended without one.
std::string DefaultHelpFile() {
    return std::filesystem::path(os::ModuleFileName()).replace_extension(".chm").string();
}

bool FileExists(const std::string& FileName) {
    std::error_code Error;
    return std::filesystem::is_regular_file(FileName, Error);
}

} // namespace

TFormMain::TFormMain(TComponent* AOwner) : TForm(AOwner), TimerCalculate(new TTimer(this)) {
    setupUi(this);
    ConstrainToClient();
    // The keyboard starts in the first operand, the first stop of the tab sequence.
    EdMain->setFocus();
    TimerCalculate->SetInterval(300);

    using std::bind_front;
    OnCreate = bind_front(&TFormMain::FormCreate, this);
    OnResize = bind_front(&TFormMain::FormResize, this);
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
}

void TFormMain::FormCreate(TObject* Sender) {
    FormResize(Sender);
    SetCaption(ExecutableBaseName());
    Application->SetHelpFile(DefaultHelpFile());
}

void TFormMain::FormResize(TObject*) {
    SBExit->move(ClientWidth() - SBExit->width() - ExitButtonMargin, SBExit->y());
}

void TFormMain::TimerCalculateTimer(TObject*) {
    const std::string MainText = EdMain->text().toStdString();
    const std::string CalcText = EdCalc->text().toStdString();
    const std::string ResolutionText = CBResolution->currentText().toStdString();
    const TCalculationInputs Inputs{MainText,
                                    CalcText,
                                    CBFunction->currentIndex(),
                                    CBRoundItIAAF->isChecked(),
                                    CBResolution->currentIndex(),
                                    ResolutionText,
                                    rtl::RegionalDecimalSeparator()};
    const QString Result = QString::fromStdString(CalculateResult(*DModule->TivTools, Inputs));
    // An unchanged result is left alone, so that a selection in it survives the ticks.
    if (EdResult->text() != Result)
        EdResult->setText(Result);
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

void TFormMain::EdMainKeyPress(TObject* Sender, char& Key) {
    DModule->TivTools->TimeKeyFilter(Sender, Key);
}
