#include "Just1_32.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

TEST(Just1_32, TitleFromTheExecutablesFileName) {
    const std::vector<std::pair<std::string, std::string>> Cases = {
        {"Calc.exe", "Calc"},
        {"CALC.EXE", "CALC"},
        {"Calc.Exe", "Calc"},
        {"Zeitrechner", "Zeitrechner"},
        {"Zeitrechner.bin", "Zeitrechner"},
        {"a.b", "a"},
        {std::string(300, 'x') + ".exe", std::string(300, 'x')},
    };
    for (const auto& [FileName, Title] : Cases) {
        TPreviousInstance Detector;
        Detector.SetTitleFromFileName(FileName);
        EXPECT_EQ(Detector.WindowTitle, Title) << FileName;
    }
}

// Windows by title, and a log of every call the hand-over makes.
class TRecordingWindows : public TWindowSystem {
public:
    std::map<os::WindowHandle, std::string> Titles; // in search order
    std::map<os::WindowHandle, bool> Minimized;
    std::vector<std::string> Log;

    os::WindowHandle Find(const std::string& Title) override {
        Log.push_back("find " + Title);
        for (const auto& [Window, Name] : Titles)
            if (Name == Title)
                return Window;
        return 0;
    }
    void SetTitle(os::WindowHandle Window, const std::string& Title) override {
        Log.push_back("title " + std::to_string(Window) + " " + Title);
        Titles[Window] = Title;
    }
    bool IsMinimized(os::WindowHandle Window) override { return Minimized[Window]; }
    void Restore(os::WindowHandle Window) override {
        Log.push_back("restore " + std::to_string(Window));
    }
    void BringToTop(os::WindowHandle Window) override {
        Log.push_back("top " + std::to_string(Window));
    }
};

struct THandOverCase {
    const char* Name;
    std::map<os::WindowHandle, std::string> Titles;
    bool RunningMinimized;
    std::vector<std::string> Log;
};

TEST(Just1_32, HandOverRetitlesTheFirstWindowFoundAndRaisesTheNext) {
    const std::vector<THandOverCase> Cases = {
        {"own hidden window found first",
         {{1, "Calc"}, {2, "Calc"}},
         false,
         {"find Calc", "title 1 something else", "find Calc", "top 2"}},
        {"running window minimized",
         {{1, "Calc"}, {2, "Calc"}},
         true,
         {"find Calc", "title 1 something else", "find Calc", "restore 2"}},
        {"only one window",
         {{1, "Calc"}},
         false,
         {"find Calc", "title 1 something else", "find Calc"}},
        {"no window", {{1, "Other"}}, false, {"find Calc", "find Calc"}},
    };
    for (const THandOverCase& Case : Cases) {
        TRecordingWindows Windows;
        Windows.Titles = Case.Titles;
        Windows.Minimized[2] = Case.RunningMinimized;
        HandOverToPreviousInstance("Calc", Windows);
        EXPECT_EQ(Windows.Log, Case.Log) << Case.Name;
    }
}

TEST(Just1_32, AnEmptyTitleTouchesNoWindow) {
    TRecordingWindows Windows;
    Windows.Titles = {{1, ""}};
    HandOverToPreviousInstance("", Windows);
    EXPECT_TRUE(Windows.Log.empty());
}

} // namespace
