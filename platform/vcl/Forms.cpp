#include "Forms.h"

#include "os/MessageBox.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QSessionManager>
#include <QWindow>
#include <QLibraryInfo>
#include <QLocale>
#include <QScopedValueRollback>
#include <QVariant>
#include <utility>

TApplication* Application = nullptr;

bool DispatchEvent(const std::function<void()>& Handler) noexcept {
    try {
        Handler();
        return true;
    } catch (const std::exception& E) {
        if (Application != nullptr)
            Application->ShowException(E);
    }
    return false;
}

// --- TForm ---

TForm::TForm(TComponent* AOwner) : QMainWindow(nullptr), TComponent(AOwner) {
    qApp->installEventFilter(this);
}

TForm::~TForm() {
    if (Application != nullptr)
        Application->UnregisterForm(this);
}

void TForm::DoCreate() {
    if (OnCreate)
        OnCreate(this);
}

std::string TForm::Caption() const {
    return windowTitle().toStdString();
}

void TForm::SetCaption(const std::string& ACaption) {
    setWindowTitle(QString::fromStdString(ACaption));
}

void TForm::ConnectMenuItem(QAction* Item, TNotifyEvent Handler) {
    connect(Item, &QAction::triggered, this,
            [this, Handler = std::move(Handler)] { DispatchEvent([&] { Handler(this); }); });
}

void TForm::ConstrainToClient() {
    const QWidget* Client = centralWidget();
    const QSize Menu(0, menuWidget() != nullptr ? menuWidget()->sizeHint().height() : 0);
    setMinimumSize(Client->minimumSize() + Menu);
    setMaximumSize(Client->maximumSize() + Menu);
    resize(minimumSize());
}

bool TForm::CloseQuery() {
    bool CanClose = true;
    const bool Ran = DispatchEvent([&] {
        if (OnCloseQuery)
            OnCloseQuery(this, CanClose);
    });
    return Ran && CanClose;
}

void TForm::closeEvent(QCloseEvent* Event) {
    TCloseAction Action = caHide;
    if (!CloseQuery() || !DispatchEvent([&] {
            if (OnClose)
                OnClose(this, Action);
        }) || Action == caNone) {
        Event->ignore();
        return;
    }
    Event->accept();
    if (Application != nullptr && Application->MainForm() == this)
        Application->Terminate();
}

void TForm::resizeEvent(QResizeEvent* Event) {
    QMainWindow::resizeEvent(Event);
    AlignControls();
    if (OnResize)
        DispatchEvent([this] { OnResize(this); });
}

void TForm::AlignControls() {
    QWidget* Client = centralWidget();
    if (Client == nullptr)
        return;
    int Top = 0;
    int Bottom = Client->height();
    for (QWidget* Control : Client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QString Align = Control->property("Align").toString();
        if (Align == QLatin1String("alTop")) {
            Control->setGeometry(0, Top, Client->width(), Control->height());
            Top += Control->height();
        } else if (Align == QLatin1String("alBottom")) {
            Bottom -= Control->height();
            Control->setGeometry(0, Bottom, Client->width(), Control->height());
        }
    }
}

bool TForm::eventFilter(QObject* Watched, QEvent* Event) {
    // A line edit claims Ctrl+C and other keys for itself before the menu can see them;
    // leaving the override unaccepted lets the menu item's shortcut fire instead.
    if (Event->type() == QEvent::ShortcutOverride && Watched->isWidgetType() &&
        static_cast<QWidget*>(Watched)->window() == this &&
        IsMenuShortcut(static_cast<QKeyEvent*>(Event)->keyCombination())) {
        Event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(Watched, Event);
}

bool TForm::IsMenuShortcut(const QKeyCombination& Key) const {
    const QKeySequence Pressed(Key);
    for (const QAction* Item : findChildren<QAction*>())
        if (Item->isEnabled() && !Item->shortcut().isEmpty() && Item->shortcut() == Pressed)
            return true;
    return false;
}

// --- TApplication ---

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv), TComponent(nullptr) {
    Application = this;
    // The program speaks German whatever the user's language: key names such as "Strg+C"
    // in the menus and the edit fields' own context menus come from Qt's translations.
    if (FQtTranslator.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&FQtTranslator);
    // The main form decides when the program ends, not the last window that closes.
    setQuitOnLastWindowClosed(false);
    // The queue has run empty when the loop is about to wait for the next event.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            [this] { Idle(); });
    connect(this, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& Manager) {
        if (!QueryEndSession())
            Manager.cancel();
    });
}

TApplication::~TApplication() {
    // The forms go while the application object is still whole, the last created first.
    while (ComponentCount() > 0)
        delete Components(ComponentCount() - 1);
    Application = nullptr;
}

int TApplication::Run() {
    // A program asked to end before its loop starts (a second instance) never shows its
    // window.
    if (FTerminated)
        return 0;
    if (FMainForm != nullptr)
        FMainForm->show();
    return exec();
}

std::string TApplication::Title() const {
    return applicationName().toStdString();
}

THelpHandler TApplication::SetHelpHandler(THelpHandler Handler) {
    return std::exchange(FHelpHandler, std::move(Handler));
}

bool TApplication::HelpContext(int Context) {
    return FHelpHandler ? FHelpHandler(Context) : false;
}

void TApplication::ShowException(const std::exception& E) {
    if (FShowingException)
        return;
    const QScopedValueRollback Showing(FShowingException, true);
    QWidget* Owner = activeWindow() != nullptr ? activeWindow() : FMainForm;
    NormalizeTopMosts();
    os::MessageBox(Owner, E.what(), Title(), os::MbOk | os::MbIconError);
    RestoreTopMosts();
}

void TApplication::Terminate() {
    FTerminated = true;
    // Queued, so that it also ends a loop that has not started yet.
    QMetaObject::invokeMethod(this, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TApplication::Idle() {
    if (!OnIdle)
        return;
    bool Done = true;
    DispatchEvent([&] { OnIdle(this, Done); });
    if (!Done)
        QMetaObject::invokeMethod(this, [this] { Idle(); }, Qt::QueuedConnection);
}

void TApplication::NormalizeTopMosts() {
    if (FTopMostLevel++ > 0)
        return;
    for (QWidget* Window : topLevelWidgets()) {
        QWindow* Handle = Window->windowHandle();
        if (Handle != nullptr && Handle->flags().testFlag(Qt::WindowStaysOnTopHint)) {
            Handle->setFlag(Qt::WindowStaysOnTopHint, false);
            FTopMostWindows.emplace_back(Window);
        }
    }
}

void TApplication::RestoreTopMosts() {
    if (FTopMostLevel == 0 || --FTopMostLevel > 0)
        return;
    for (auto It = FTopMostWindows.rbegin(); It != FTopMostWindows.rend(); ++It)
        if (!It->isNull() && (*It)->windowHandle() != nullptr)
            (*It)->windowHandle()->setFlag(Qt::WindowStaysOnTopHint, true);
    FTopMostWindows.clear();
}

bool TApplication::QueryEndSession() {
    return FMainForm == nullptr || FMainForm->CloseQuery();
}

void TApplication::RegisterForm(TForm* Form) {
    if (FMainForm == nullptr)
        FMainForm = Form;
}

void TApplication::UnregisterForm(TForm* Form) {
    if (FMainForm == Form)
        FMainForm = nullptr;
}
