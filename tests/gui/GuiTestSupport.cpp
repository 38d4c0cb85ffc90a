#include "GuiTestSupport.h"

#include "vcl/Forms.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

TMessageBoxRecorder::TMessageBoxRecorder()
    : FPrevious(os::SetMessageBoxHandler([this](QWidget* Owner, const std::string& Text,
                                                const std::string& Caption, unsigned Flags) {
          Boxes.push_back({Owner, Text, Caption, Flags});
          return os::IdOk;
      })) {}

TMessageBoxRecorder::~TMessageBoxRecorder() {
    os::SetMessageBoxHandler(FPrevious);
}

namespace {

// The application object lives from before the first test to after the last. The tests
// never open a window on the developer's display, never touch the developer's settings
// or runtime folder, and read numbers the German way unless a test pins another locale.
class TApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        char Template[] = "/tmp/zr-gui-XXXXXX";
        ASSERT_NE(mkdtemp(Template), nullptr);
        FHome = Template;
        std::filesystem::create_directory(FHome / "config");
        std::filesystem::create_directory(FHome / "runtime");
        std::filesystem::permissions(FHome / "runtime", std::filesystem::perms::owner_all);
        setenv("XDG_CONFIG_HOME", (FHome / "config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (FHome / "runtime").c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("LC_ALL", "de_DE.UTF-8", 1);
        FApplication = new TApplication(FArgc, FArgv);
    }
    void TearDown() override {
        delete FApplication;
        FApplication = nullptr;
        std::filesystem::remove_all(FHome);
    }

private:
    char FName[9] = "test_gui";
    char* FArgv[2] = {FName, nullptr};
    int FArgc = 1;
    TApplication* FApplication = nullptr;
    std::filesystem::path FHome;
};

[[maybe_unused]] ::testing::Environment* const Environment =
    ::testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

} // namespace
