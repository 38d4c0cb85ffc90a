#include "Just1_32.h"

#include "os/Module.h"
#include "rtl/FileNames.h"
#include "vcl/Forms.h"

#include <algorithm>
#include <cctype>

TPreviousInstance* PreviousInstance = nullptr;

namespace {

bool ContainsExe(const std::string& Name) {
    std::string Upper = Name;
    std::transform(Upper.begin(), Upper.end(), Upper.begin(),
                   [](unsigned char C) { return static_cast<char>(std::toupper(C)); });
    return Upper.find(".EXE") != std::string::npos;
}

class TX11Windows : public TWindowSystem {
public:
    os::WindowHandle Find(const std::string& Title) override {
        return os::FindTopLevelWindow(Title);
    }
    void SetTitle(os::WindowHandle Window, const std::string& Title) override {
        os::SetWindowTitle(Window, Title);
    }
    bool IsMinimized(os::WindowHandle Window) override { return os::IsWindowMinimized(Window); }
    void Restore(os::WindowHandle Window) override { os::RestoreWindow(Window); }
    void BringToTop(os::WindowHandle Window) override { os::BringWindowToTop(Window); }
};

} // namespace

void TPreviousInstance::DetectPreviousInstance() {
    // The whole file name, however long its path: nothing is cut to a fixed buffer.
    const std::string FileName = rtl::ExtractFileName(os::ModuleFileName());
    SetTitleFromFileName(FileName);
    bool Exists = false;
    MutexHandle = os::CreateNamedMutex(FileName, Exists);
    AlreadyRunning = MutexHandle != 0 && Exists;
    if (AlreadyRunning) {
        os::CloseMutex(MutexHandle);
        MutexHandle = 0;
    }
}

void TPreviousInstance::SetTitleFromFileName(const std::string& FileName) {
    if (ContainsExe(FileName))
        WindowTitle = FileName.substr(0, FileName.size() - 4);
    else
        WindowTitle = rtl::ExtractFileBaseName(FileName);
}

TJust1_32Unit::TJust1_32Unit() {
    PreviousInstance = new TPreviousInstance;
    PreviousInstance->DetectPreviousInstance();
}

TJust1_32Unit::~TJust1_32Unit() {
    if (PreviousInstance->MutexHandle != 0) {
        os::CloseMutex(PreviousInstance->MutexHandle);
        PreviousInstance->MutexHandle = 0;
    }
    delete PreviousInstance;
    PreviousInstance = nullptr;
}

void HandOverToPreviousInstance(const std::string& Title, TWindowSystem& Windows) {
    if (Title.empty())
        return;
    if (const os::WindowHandle First = Windows.Find(Title))
        Windows.SetTitle(First, "something else");
    const os::WindowHandle Running = Windows.Find(Title);
    if (Running == 0)
        return;
    if (Windows.IsMinimized(Running))
        Windows.Restore(Running);
    else
        Windows.BringToTop(Running);
}

TJustOne32::TJustOne32(TComponent* AOwner) : TComponent(AOwner) {
    if (PreviousInstance == nullptr || !PreviousInstance->AlreadyRunning)
        return;
    TX11Windows Windows;
    HandOverToPreviousInstance(PreviousInstance->WindowTitle, Windows);
    Application->Terminate();
}
