// The window functions against a real X server: a private Xvfb, first without a window
// manager, then with openbox. The test's windows are made with Xlib directly, some marked
// as this process's own (_NET_WM_PID), some as another's.
#include "os/Windows.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// GoogleTest comes before Xlib, whose macros (None, Bool, Status) would clash with its names.
// clang-format off
#include <gtest/gtest.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on

namespace {

pid_t Spawn(std::vector<std::string> Args) {
    const pid_t Child = fork();
    if (Child == 0) {
        // The server and the window manager end with the test, however it ends.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        std::vector<char*> Argv;
        for (std::string& Arg : Args)
            Argv.push_back(Arg.data());
        Argv.push_back(nullptr);
        execvp(Argv[0], Argv.data());
        _exit(127);
    }
    return Child;
}

void Stop(pid_t Child) {
    kill(Child, SIGTERM);
    waitpid(Child, nullptr, 0);
}

bool WaitFor(const std::function<bool()>& Condition, int Tries = 200) {
    for (int I = 0; I < Tries; ++I) {
        if (Condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

pid_t XServer = 0;
Display* Dpy = nullptr;

// The private X server for the whole test program; DISPLAY is set before the functions
// under test first connect.
class XEnvironment : public ::testing::Environment {
public:
    // Xvfb picks a free display itself and writes its number into the pipe.
    void SetUp() override {
        int Pipe[2];
        ASSERT_EQ(pipe(Pipe), 0);
        XServer = Spawn({"Xvfb", "-displayfd", std::to_string(Pipe[1]), "-screen", "0",
                         "800x600x24", "-nolisten", "tcp"});
        close(Pipe[1]);
        std::string Number;
        char C = 0;
        while (read(Pipe[0], &C, 1) == 1 && C != '\n')
            Number += C;
        close(Pipe[0]);
        ASSERT_FALSE(Number.empty()) << "no private X server";
        setenv("DISPLAY", (":" + Number).c_str(), 1);
        ASSERT_TRUE(WaitFor([] { return (Dpy = XOpenDisplay(nullptr)) != nullptr; }));
    }
    void TearDown() override {
        XCloseDisplay(Dpy);
        Stop(XServer);
    }
};

Atom AtomOf(const char* Name) {
    return XInternAtom(Dpy, Name, False);
}

// A top-level window with an old-style title, optionally a new-style one, and a process id.
Window MakeWindow(const char* WmName, const char* NetWmName, long Pid, bool Mapped) {
    const Window W =
        XCreateSimpleWindow(Dpy, DefaultRootWindow(Dpy), 10, 10, 200, 100, 0, 0, 0xffffff);
    if (WmName != nullptr)
        XStoreName(Dpy, W, WmName);
    if (NetWmName != nullptr)
        XChangeProperty(Dpy, W, AtomOf("_NET_WM_NAME"), AtomOf("UTF8_STRING"), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(NetWmName),
                        static_cast<int>(std::strlen(NetWmName)));
    XChangeProperty(Dpy, W, AtomOf("_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&Pid), 1);
    if (Mapped)
        XMapWindow(Dpy, W);
    XSync(Dpy, False);
    return W;
}

void Destroy(std::initializer_list<Window> Windows) {
    for (Window W : Windows)
        XDestroyWindow(Dpy, W);
    XSync(Dpy, False);
}

const long OwnPid = static_cast<long>(getpid());
const long OtherPid = 1;

std::string NetWmName(Window W) {
    Atom Type = None;
    int Format = 0;
    unsigned long Items = 0, After = 0;
    unsigned char* Data = nullptr;
    XGetWindowProperty(Dpy, W, AtomOf("_NET_WM_NAME"), 0, 1024, False, AnyPropertyType, &Type,
                       &Format, &Items, &After, &Data);
    std::string Text = Data != nullptr ? std::string(reinterpret_cast<char*>(Data), Items) : "";
    if (Data != nullptr)
        XFree(Data);
    return Text;
}

void SetLongs(Window W, const char* Name, Atom Type, std::vector<long> Values) {
    XChangeProperty(Dpy, W, AtomOf(Name), Type, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(Values.data()),
                    static_cast<int>(Values.size()));
    XSync(Dpy, False);
}

bool HasWmState(Window W) {
    Atom Type = None;
    int Format = 0;
    unsigned long Items = 0, After = 0;
    unsigned char* Data = nullptr;
    XGetWindowProperty(Dpy, W, AtomOf("WM_STATE"), 0, 2, False, AnyPropertyType, &Type, &Format,
                       &Items, &After, &Data);
    if (Data != nullptr)
        XFree(Data);
    return Items > 0;
}

bool Viewable(Window W) {
    XWindowAttributes Attributes{};
    XGetWindowAttributes(Dpy, W, &Attributes);
    return Attributes.map_state == IsViewable;
}

TEST(WindowsWithoutManager, FindsByExactTitleAlsoUnmappedAndOldStyle) {
    const Window OldStyle = MakeWindow("Zeitrechner", nullptr, OtherPid, false);
    EXPECT_EQ(os::FindTopLevelWindow("Zeitrechner"), OldStyle);
    EXPECT_EQ(os::FindTopLevelWindow("Zeitrechne"), 0u);
    EXPECT_EQ(os::FindTopLevelWindow("zeitrechner"), 0u);
    const Window NewStyle = MakeWindow("alt", "Zeitrechner ä", OtherPid, true);
    EXPECT_EQ(os::FindTopLevelWindow("Zeitrechner ä"), NewStyle);
    EXPECT_EQ(os::FindTopLevelWindow("alt"), 0u);
    Destroy({OldStyle, NewStyle});
    EXPECT_EQ(os::FindTopLevelWindow("Zeitrechner"), 0u);
}

TEST(WindowsWithoutManager, OwnWindowsComeFirst) {
    const Window Own = MakeWindow("Zeitrechner", "Zeitrechner", OwnPid, false);
    const Window Other = MakeWindow("Zeitrechner", "Zeitrechner", OtherPid, true);
    EXPECT_EQ(os::FindTopLevelWindow("Zeitrechner"), Own);
    os::SetWindowTitle(Own, "something else");
    EXPECT_EQ(os::FindTopLevelWindow("Zeitrechner"), Other);
    EXPECT_EQ(NetWmName(Own), "something else");
    char* Old = nullptr;
    XFetchName(Dpy, Own, &Old);
    EXPECT_STREQ(Old, "something else");
    XFree(Old);
    Destroy({Own, Other});
}

// A toolkit's hidden client leader bears the program's name too, but is no window of it.
TEST(WindowsWithoutManager, AHiddenClientLeaderIsNoCandidate) {
    const Window Leader = MakeWindow("Zeitrechner", nullptr, OtherPid, false);
    const Window Main = MakeWindow("Zeitrechner", "Zeitrechner", OtherPid, true);
    SetLongs(Main, "WM_CLIENT_LEADER", XA_WINDOW, {static_cast<long>(Leader)});
    SetLongs(Leader, "WM_CLIENT_LEADER", XA_WINDOW, {static_cast<long>(Leader)});
    EXPECT_EQ(os::FindTopLevelWindow("Zeitrechner"), Main);
    os::SetWindowTitle(Main, "something else");
    EXPECT_EQ(os::FindTopLevelWindow("Zeitrechner"), 0u);
    Destroy({Leader, Main});
}

TEST(WindowsWithoutManager, MinimizedThroughEitherState) {
    const Window W = MakeWindow("Zeitrechner", nullptr, OtherPid, true);
    EXPECT_FALSE(os::IsWindowMinimized(W));
    SetLongs(W, "WM_STATE", AtomOf("WM_STATE"), {IconicState, 0});
    EXPECT_TRUE(os::IsWindowMinimized(W));
    SetLongs(W, "WM_STATE", AtomOf("WM_STATE"), {NormalState, 0});
    EXPECT_FALSE(os::IsWindowMinimized(W));
    SetLongs(W, "_NET_WM_STATE", XA_ATOM, {static_cast<long>(AtomOf("_NET_WM_STATE_HIDDEN"))});
    EXPECT_TRUE(os::IsWindowMinimized(W));
    Destroy({W});
}

TEST(WindowsWithoutManager, RaisesAndMapsItself) {
    const Window Lower = MakeWindow("Zeitrechner", nullptr, OtherPid, true);
    const Window Upper = MakeWindow("Anderes", nullptr, OtherPid, true);
    os::BringWindowToTop(Lower);
    XSync(Dpy, False);
    Window Root = 0, Parent = 0, *Children = nullptr;
    unsigned Count = 0;
    XQueryTree(Dpy, DefaultRootWindow(Dpy), &Root, &Parent, &Children, &Count);
    ASSERT_GT(Count, 0u);
    EXPECT_EQ(Children[Count - 1], Lower);
    XFree(Children);

    const Window Hidden = MakeWindow("Versteckt", nullptr, OtherPid, false);
    os::RestoreWindow(Hidden);
    EXPECT_TRUE(WaitFor([&] { return Viewable(Hidden); }));
    Destroy({Lower, Upper, Hidden});
}

TEST(WindowsWithoutManager, VanishedWindowsAreHarmless) {
    const Window W = MakeWindow("weg", nullptr, OtherPid, true);
    Destroy({W});
    os::SetWindowTitle(W, "x");
    os::RestoreWindow(W);
    os::BringWindowToTop(W);
    EXPECT_FALSE(os::IsWindowMinimized(W));
}

class WindowsWithOpenbox : public ::testing::Test {
protected:
    // Openbox announces itself before it manages windows, and a window mapped in between may
    // stay unmanaged: the suite starts once a probe window has been taken over.
    static void SetUpTestSuite() {
        Manager = Spawn({"openbox", "--sm-disable"});
        bool Managing = false;
        for (int Try = 0; Try < 10 && !Managing; ++Try) {
            const Window Probe = MakeWindow("probe", "probe", OtherPid, true);
            Managing = WaitFor([&] { return HasWmState(Probe); }, 40);
            Destroy({Probe});
        }
        ASSERT_TRUE(Managing) << "openbox manages no windows";
    }
    static void TearDownTestSuite() { Stop(Manager); }

    static Window Managed(const char* Title) {
        const Window W = MakeWindow(Title, Title, OtherPid, true);
        EXPECT_TRUE(WaitFor([&] { return os::FindTopLevelWindow(Title) == W && Viewable(W); }));
        return W;
    }

    static pid_t Manager;
};
pid_t WindowsWithOpenbox::Manager = 0;

TEST_F(WindowsWithOpenbox, FindsClientsInsideFrames) {
    const Window W = Managed("Zeitrechner");
    EXPECT_EQ(os::FindTopLevelWindow("Zeitrechner"), W);
    Destroy({W});
}

TEST_F(WindowsWithOpenbox, RestoresAMinimizedWindow) {
    const Window W = Managed("Zeitrechner");
    XIconifyWindow(Dpy, W, DefaultScreen(Dpy));
    XSync(Dpy, False);
    ASSERT_TRUE(WaitFor([&] { return os::IsWindowMinimized(W); }));
    os::RestoreWindow(W);
    EXPECT_TRUE(WaitFor([&] { return !os::IsWindowMinimized(W) && Viewable(W); }));
    Destroy({W});
}

TEST_F(WindowsWithOpenbox, BringsAWindowToTheTopAndFocus) {
    const Window Lower = Managed("Zeitrechner");
    const Window Upper = Managed("Anderes");
    os::BringWindowToTop(Lower);
    EXPECT_TRUE(WaitFor([&] {
        Window Focus = 0;
        int Revert = 0;
        XGetInputFocus(Dpy, &Focus, &Revert);
        return Focus == Lower;
    }));
    Destroy({Lower, Upper});
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new XEnvironment);
    return RUN_ALL_TESTS();
}
