// One instance at a time. At start, before the entry runs, the unit asks for a named mutex
// that bears the executable's file name; when it exists, another instance runs. Then the
// data module's TJustOne32 brings the running instance's main window forward and asks this
// process to end. The window functions and the mutex are platform/os's.
#pragma once

#include "os/NamedMutex.h"
#include "os/Windows.h"
#include "vcl/Classes.h"

#include <string>

// What the unit found at start; one per process.
class TPreviousInstance {
public:
    // The running instance's main window title; empty until SetTitleFromFileName.
    std::string WindowTitle;
    // The mutex handle while this process holds it; 0 otherwise.
    os::MutexHandle MutexHandle = 0;
    // Whether the named mutex existed before this process asked for it.
    bool AlreadyRunning = false;

    // Asks for the mutex named after the running executable's file name and notes the
    // answer; a second instance lets go of its handle at once.
    void DetectPreviousInstance();
    // "Calc.exe" and "CALC.EXE" give "Calc" and "CALC" (the last four characters go); a
    // name without ".exe" gives its base name, as the main window's caption does, so that
    // "Zeitrechner" finds the running "Zeitrechner".
    void SetTitleFromFileName(const std::string& FileName);
};

extern TPreviousInstance* PreviousInstance;

// The unit's initialization and finalization: creates PreviousInstance and runs the
// detection; at the end releases the mutex. Constructed before the application object and
// destroyed after it, it keeps the start-up order.
class TJust1_32Unit {
public:
    TJust1_32Unit();
    ~TJust1_32Unit();
    TJust1_32Unit(const TJust1_32Unit&) = delete;
    TJust1_32Unit& operator=(const TJust1_32Unit&) = delete;
};

// The window functions the hand-over uses; tests put a recording one in their place.
class TWindowSystem {
public:
    virtual ~TWindowSystem() = default;
    virtual os::WindowHandle Find(const std::string& Title) = 0;
    virtual void SetTitle(os::WindowHandle Window, const std::string& Title) = 0;
    virtual bool IsMinimized(os::WindowHandle Window) = 0;
    virtual void Restore(os::WindowHandle Window) = 0;
    virtual void BringToTop(os::WindowHandle Window) = 0;
};

// The hand-over: finds the window titled Title (this process's own hidden main window
// first), titles it "something else", searches again and restores the window found when
// it is minimized, or else brings it to the top. Nothing happens for an empty title.
void HandOverToPreviousInstance(const std::string& Title, TWindowSystem& Windows);

// Created with the data module: in a second instance it hands over to the running one and
// asks the application to end.
class TJustOne32 : public TComponent {
public:
    explicit TJustOne32(TComponent* AOwner);
};
