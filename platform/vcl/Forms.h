// The application object and the form and data-module bases on top of Qt Widgets: creating
// the long-lived objects, the help-file setting and help requests, and the report of a
// failure that leaves an event handler. The controls live in StdCtrls, Buttons, ExtCtrls.
#pragma once

#include "vcl/Classes.h"

#include <QApplication>
#include <QMainWindow>
#include <QPointer>
#include <QTranslator>
#include <exception>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

class QAction;

// An event handler that takes the object the event comes from.
using TNotifyEvent = std::function<void(TObject* Sender)>;
// Asked before a form closes; clearing CanClose, or raising, keeps the form open.
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
// What happens to a form that closes: hidden (the main form's closing ends the program),
// or left open.
enum TCloseAction { caNone, caHide };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
// Runs each time the message queue runs empty; Done false asks for another call at once.
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;

// Runs one event handler of the program. A failure that leaves it is reported by the
// application object and the program goes on; Qt's own frames, which are not built for
// exceptions, never see it. Returns whether the handler ran to its end.
bool DispatchEvent(const std::function<void()>& Handler) noexcept;

// A top-level window built from a form resource (.ui). The client area is the central
// widget; its children with the dynamic property Align "alTop" or "alBottom" keep the full
// width and stick to that edge, as the form resource's alignment asks.
class TForm : public QMainWindow, public TComponent {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnResize;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    // Fires OnCreate; the application object calls it once the form's reference is set.
    void DoCreate();
    // Runs OnCloseQuery; a failure in it is reported and refuses the close.
    bool CloseQuery();

    std::string Caption() const;
    void SetCaption(const std::string& ACaption);
    int ClientWidth() const { return width(); }

    // Runs Handler when the menu item is chosen, by click or by its shortcut; the sender
    // is the form, which holds the menu.
    void ConnectMenuItem(QAction* Item, TNotifyEvent Handler);

protected:
    // Sizes the window to the client area's minimum and bounds it by the client area's
    // limits, the menu bar added; called once the form resource is set up.
    void ConstrainToClient();
    void resizeEvent(QResizeEvent* Event) override;
    // A close request: the close query, then OnClose; the main form's closing ends the
    // message loop.
    void closeEvent(QCloseEvent* Event) override;
    // Gives the menu's shortcuts precedence over the focused control.
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void AlignControls();
    bool IsMenuShortcut(const QKeyCombination& Key) const;
};

// A container of non-visual components, created and destroyed as a whole.
class TDataModule : public TComponent {
public:
    using TComponent::TComponent;
};

// Answers a help request for a context number; returns whether help was shown.
using THelpHandler = std::function<bool(int Context)>;

// The one application object: Qt's application with the services the program's forms use.
// It owns the forms and data modules it creates and destroys them, the last created
// first, before Qt goes down.
class TApplication : public QApplication, public TComponent {
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // Creates a form or data module owned by the application and stores it in Reference
    // before the form's OnCreate runs. The first form is the main form.
    template <class T> void CreateForm(T*& Reference);

    // Shows the main form and runs the message loop; returns the exit code.
    int Run();

    TForm* MainForm() const { return FMainForm; }
    std::string Title() const;

    const std::string& HelpFile() const { return FHelpFile; }
    void SetHelpFile(const std::string& AHelpFile) { FHelpFile = AHelpFile; }
    // Makes Handler serve help requests; returns the handler it replaces (empty if none).
    THelpHandler SetHelpHandler(THelpHandler Handler);
    // Asks for help on Context; without a handler nothing happens and the result is false.
    bool HelpContext(int Context);

    // Reports a failure in an error box under the application's title. A failure while
    // such a report is still open is not reported again, so that a failing timer cannot
    // pile up boxes.
    void ShowException(const std::exception& E);

    // Ends the message loop once the current event is handled, or at once when it starts.
    void Terminate();
    bool Terminated() const { return FTerminated; }

    TIdleEvent OnIdle;

    // Takes the program's stay-on-top windows out of the top-most layer, so that a box can
    // show above them; nested calls are counted. Each RestoreTopMosts undoes one level, and
    // at level zero the windows go back, last taken first, without moving or activating.
    void NormalizeTopMosts();
    void RestoreTopMosts();
    int TopMostLevel() const { return FTopMostLevel; }

    // Asks the main form's close query whether the desktop session may end (log-out,
    // shutdown); the form stays open either way.
    bool QueryEndSession();

private:
    friend class TForm;
    void RegisterForm(TForm* Form);
    void UnregisterForm(TForm* Form);
    void Idle();

    QTranslator FQtTranslator;
    TForm* FMainForm = nullptr;
    std::string FHelpFile;
    THelpHandler FHelpHandler;
    bool FShowingException = false;
    bool FTerminated = false;
    int FTopMostLevel = 0;
    std::vector<QPointer<QWidget>> FTopMostWindows;
};

extern TApplication* Application;

template <class T> void TApplication::CreateForm(T*& Reference) {
    Reference = new T(this);
    if constexpr (std::is_base_of_v<TForm, T>) {
        RegisterForm(Reference);
        Reference->DoCreate();
    }
}
