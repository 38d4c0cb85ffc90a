#include "Aboutdlg.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox(TComponent* AOwner) : TForm(AOwner) {
    setupUi(this);
    // A dialog border: title and close box, no minimise or maximise, no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(centralWidget()->minimumSize());
    // Closing the box never ends the program, even when no other window is shown.
    setAttribute(Qt::WA_QuitOnClose, false);
    Button1->setFocus();
    connect(Button1, &QPushButton::clicked, this,
            [this] { DispatchEvent([this] { Button1Click(this); }); });
}

void TAboutBox::Button1Click(TObject*) {
    close();
}

int TAboutBox::ShowModal() {
    FModalResult = mrNone;
    setWindowModality(Qt::ApplicationModal);
    // The window manager keeps the box above the window it was opened from.
    winId();
    if (QWidget* Opener = QApplication::activeWindow(); Opener != nullptr && Opener != this)
        windowHandle()->setTransientParent(Opener->windowHandle());
    CentreOnScreen();
    show();
    activateWindow();
    QEventLoop Loop;
    FModalLoop = &Loop;
    Loop.exec(QEventLoop::DialogExec);
    FModalLoop = nullptr;
    hide();
    return FModalResult;
}

void TAboutBox::keyPressEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
        Button1->click();
        return;
    }
    TForm::keyPressEvent(Event);
}

void TAboutBox::closeEvent(QCloseEvent* Event) {
    TForm::closeEvent(Event);
    if (Event->isAccepted() && FModalLoop != nullptr) {
        FModalResult = mrCancel;
        FModalLoop->exit();
    }
}

void TAboutBox::CentreOnScreen() {
    // The screen of the window the box is opened from; the primary one when there is none.
    const QWidget* Opener = QApplication::activeWindow();
    const QScreen* Screen = Opener != nullptr ? Opener->screen() : QGuiApplication::primaryScreen();
    if (Screen == nullptr)
        return;
    // The frame counts where the platform already knows it before the box is shown; on X11
    // the window manager adds it later, so the title bar sits above the centred client area.
    const QRect Area = Screen->geometry();
    const QSize Frame = frameGeometry().size();
    move(Area.x() + (Area.width() - Frame.width()) / 2,
         Area.y() + (Area.height() - Frame.height()) / 2);
}
