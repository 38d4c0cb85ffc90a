#include "os/Windows.h"

#include <QGuiApplication>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <cstring>
#include <optional>
#include <unistd.h>
#include <vector>

namespace os {
namespace {

// The X connection of these functions, apart from the toolkit's own; nullptr without X.
Display* XDisplay() {
    static Display* Connection = [] {
        const bool OtherPlatform = QGuiApplication::instance() != nullptr &&
                                   QGuiApplication::platformName() != QLatin1String("xcb");
        return OtherPlatform ? nullptr : XOpenDisplay(nullptr);
    }();
    return Connection;
}

int IgnoreError(Display*, XErrorEvent*) {
    return 0;
}

// A window may vanish between two requests: its errors are ignored, not fatal, while the
// functions here talk to the server.
class ErrorsIgnored {
public:
    explicit ErrorsIgnored(Display* Dpy) : FDpy(Dpy), FPrevious(XSetErrorHandler(IgnoreError)) {}
    ~ErrorsIgnored() {
        XSync(FDpy, False);
        XSetErrorHandler(FPrevious);
    }
    ErrorsIgnored(const ErrorsIgnored&) = delete;
    ErrorsIgnored& operator=(const ErrorsIgnored&) = delete;

private:
    Display* FDpy;
    int (*FPrevious)(Display*, XErrorEvent*);
};

Atom AtomOf(Display* Dpy, const char* Name) {
    return XInternAtom(Dpy, Name, False);
}

// The bytes of a window property; nothing when the window has no such property.
std::optional<std::vector<unsigned char>> Property(Display* Dpy, Window W, Atom Name, Atom& Type,
                                                   int& Format) {
    unsigned char* Data = nullptr;
    unsigned long Items = 0;
    unsigned long After = 0;
    if (XGetWindowProperty(Dpy, W, Name, 0, 65536, False, AnyPropertyType, &Type, &Format, &Items,
                           &After, &Data) != Success ||
        Type == None) {
        if (Data != nullptr)
            XFree(Data);
        return std::nullopt;
    }
    // Items of format 32 are longs in Xlib's buffer, whatever their wire size.
    const std::size_t Size =
        Format == 32 ? Items * sizeof(long) : Items * static_cast<std::size_t>(Format / 8);
    std::vector<unsigned char> Bytes(Data, Data + Size);
    XFree(Data);
    return Bytes;
}

std::vector<long> Longs(Display* Dpy, Window W, const char* Name) {
    Atom Type = None;
    int Format = 0;
    const auto Bytes = Property(Dpy, W, AtomOf(Dpy, Name), Type, Format);
    if (!Bytes || Format != 32)
        return {};
    std::vector<long> Values(Bytes->size() / sizeof(long));
    if (!Values.empty())
        std::memcpy(Values.data(), Bytes->data(), Values.size() * sizeof(long));
    return Values;
}

std::string Latin1ToUtf8(const std::vector<unsigned char>& Bytes) {
    std::string Text;
    for (unsigned char C : Bytes) {
        if (C < 0x80) {
            Text += static_cast<char>(C);
        } else {
            Text += static_cast<char>(0xC0 | (C >> 6));
            Text += static_cast<char>(0x80 | (C & 0x3F));
        }
    }
    return Text;
}

// The title as the window manager shows it: _NET_WM_NAME, or else the old WM_NAME.
std::optional<std::string> TitleOf(Display* Dpy, Window W) {
    Atom Type = None;
    int Format = 0;
    if (auto Bytes = Property(Dpy, W, AtomOf(Dpy, "_NET_WM_NAME"), Type, Format);
        Bytes && Format == 8)
        return std::string(Bytes->begin(), Bytes->end());
    const auto Bytes = Property(Dpy, W, XA_WM_NAME, Type, Format);
    if (!Bytes || Format != 8)
        return std::nullopt;
    if (Type == XA_STRING)
        return Latin1ToUtf8(*Bytes);
    return std::string(Bytes->begin(), Bytes->end());
}

bool HasWmState(Display* Dpy, Window W) {
    return !Longs(Dpy, W, "WM_STATE").empty();
}

std::vector<Window> Children(Display* Dpy, Window W) {
    Window Root = 0;
    Window Parent = 0;
    Window* List = nullptr;
    unsigned int Count = 0;
    if (XQueryTree(Dpy, W, &Root, &Parent, &List, &Count) == 0)
        return {};
    std::vector<Window> Result(List, List + Count);
    if (List != nullptr)
        XFree(List);
    return Result;
}

// The client window inside a window manager's frame: the first window below it that carries
// WM_STATE, a few levels deep at most.
Window ClientBelow(Display* Dpy, Window Frame, int Depth) {
    for (Window Child : Children(Dpy, Frame)) {
        if (HasWmState(Dpy, Child))
            return Child;
        if (Depth > 0)
            if (const Window Found = ClientBelow(Dpy, Child, Depth - 1))
                return Found;
    }
    return 0;
}

Window LeaderOf(Display* Dpy, Window W) {
    const std::vector<long> Leader = Longs(Dpy, W, "WM_CLIENT_LEADER");
    return Leader.empty() ? 0 : static_cast<Window>(Leader.front());
}

// Every top-level window, from the top of the stacking order down: the children of the root
// window, each replaced by its client when it is a window manager's frame. Unmanaged windows,
// shown or not, stand as they are, except a toolkit's hidden client leader (Qt titles it
// with the program's name), which is bookkeeping, not a window of the program.
std::vector<Window> TopLevelWindows(Display* Dpy) {
    std::vector<Window> Stack = Children(Dpy, DefaultRootWindow(Dpy));
    std::vector<Window> Windows;
    std::vector<Window> Leaders;
    for (auto It = Stack.rbegin(); It != Stack.rend(); ++It) {
        const Window Client = HasWmState(Dpy, *It) ? *It : ClientBelow(Dpy, *It, 2);
        const Window W = Client != 0 ? Client : *It;
        Windows.push_back(W);
        if (const Window Leader = LeaderOf(Dpy, W); Leader != 0 && Leader != W)
            Leaders.push_back(Leader);
    }
    std::erase_if(Windows, [&](Window W) {
        return !HasWmState(Dpy, W) && std::find(Leaders.begin(), Leaders.end(), W) != Leaders.end();
    });
    return Windows;
}

bool OwnWindow(Display* Dpy, Window W) {
    const std::vector<long> Pid = Longs(Dpy, W, "_NET_WM_PID");
    return !Pid.empty() && Pid.front() == static_cast<long>(getpid());
}

bool WindowManagerRunning(Display* Dpy) {
    const std::vector<long> Check = Longs(Dpy, DefaultRootWindow(Dpy), "_NET_SUPPORTING_WM_CHECK");
    return !Check.empty() && Check.front() != 0;
}

// Asks the window manager to activate W as a pager would (source indication 2): it restores
// a minimized window, raises it and gives it the focus.
void RequestActivation(Display* Dpy, Window W) {
    XEvent Event{};
    Event.xclient.type = ClientMessage;
    Event.xclient.window = W;
    Event.xclient.message_type = AtomOf(Dpy, "_NET_ACTIVE_WINDOW");
    Event.xclient.format = 32;
    Event.xclient.data.l[0] = 2;
    Event.xclient.data.l[1] = CurrentTime;
    XSendEvent(Dpy, DefaultRootWindow(Dpy), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &Event);
}

} // namespace

WindowHandle FindTopLevelWindow(const std::string& Title) {
    Display* Dpy = XDisplay();
    if (Dpy == nullptr)
        return 0;
    ErrorsIgnored Guard(Dpy);
    Window Other = 0;
    for (Window W : TopLevelWindows(Dpy)) {
        if (TitleOf(Dpy, W) != Title)
            continue;
        if (OwnWindow(Dpy, W))
            return W;
        if (Other == 0)
            Other = W;
    }
    return Other;
}

void SetWindowTitle(WindowHandle W, const std::string& Title) {
    Display* Dpy = XDisplay();
    if (Dpy == nullptr || W == 0)
        return;
    ErrorsIgnored Guard(Dpy);
    const auto* Bytes = reinterpret_cast<const unsigned char*>(Title.data());
    const int Length = static_cast<int>(Title.size());
    const Atom Utf8 = AtomOf(Dpy, "UTF8_STRING");
    XChangeProperty(Dpy, W, AtomOf(Dpy, "_NET_WM_NAME"), Utf8, 8, PropModeReplace, Bytes, Length);
    const bool Ascii =
        std::all_of(Title.begin(), Title.end(), [](char C) { return (C & 0x80) == 0; });
    XChangeProperty(Dpy, W, XA_WM_NAME, Ascii ? XA_STRING : Utf8, 8, PropModeReplace, Bytes,
                    Length);
}

bool IsWindowMinimized(WindowHandle W) {
    Display* Dpy = XDisplay();
    if (Dpy == nullptr || W == 0)
        return false;
    ErrorsIgnored Guard(Dpy);
    const std::vector<long> State = Longs(Dpy, W, "WM_STATE");
    if (!State.empty() && State.front() == IconicState)
        return true;
    const long Hidden = static_cast<long>(AtomOf(Dpy, "_NET_WM_STATE_HIDDEN"));
    for (long StateAtom : Longs(Dpy, W, "_NET_WM_STATE"))
        if (StateAtom == Hidden)
            return true;
    return false;
}

namespace {

// Raises W the given way itself, then asks a running window manager to activate it.
void Activate(WindowHandle W, int (*Raise)(Display*, Window)) {
    Display* Dpy = XDisplay();
    if (Dpy == nullptr || W == 0)
        return;
    ErrorsIgnored Guard(Dpy);
    Raise(Dpy, W);
    if (WindowManagerRunning(Dpy))
        RequestActivation(Dpy, W);
}

} // namespace

void RestoreWindow(WindowHandle W) {
    Activate(W, XMapRaised);
}

void BringWindowToTop(WindowHandle W) {
    Activate(W, XRaiseWindow);
}

} // namespace os
