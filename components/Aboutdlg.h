// The about box: the form that shows the program's name, version, copyright line, comment,
// icon and the user's and computer's names. Its layout comes from AboutBox.ui; what it shows
// is filled in by the about component (About), which also runs it.
#pragma once

#include "ui_AboutBox.h"
#include "vcl/Forms.h"

class QCloseEvent;
class QEventLoop;
class QKeyEvent;

class TAboutBox : public TForm, public Ui::TAboutBox {
public:
    // The modal results a box can end with: still open, OK, Cancel.
    static constexpr int mrNone = 0;
    static constexpr int mrOk = 1;
    static constexpr int mrCancel = 2;

    explicit TAboutBox(TComponent* AOwner);

    // Closes the box; shown modally, it ends with the modal result Cancel.
    void Button1Click(TObject* Sender);

    // Shows the box centred on the screen, keeps the program's other windows from input
    // until it is closed, hides it and returns its modal result. A box closed in any
    // ordinary way (OK, Enter, the window's close box) ends with Cancel.
    int ShowModal();
    int ModalResult() const { return FModalResult; }

protected:
    // Enter presses the default button wherever the focus is; Escape does nothing, as
    // there is no cancel button.
    void keyPressEvent(QKeyEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;

private:
    void CentreOnScreen();

    int FModalResult = mrNone;
    QEventLoop* FModalLoop = nullptr;
};

// The box the about component created last, while it is open; nullptr otherwise.
extern TAboutBox* AboutBox;
