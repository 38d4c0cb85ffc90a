// The about component: carries the texts the about box shows and runs the box through
// Execute. The main window owns one; its about command fills in the version and the
// product name before each run. The box itself is Aboutdlg's.
#pragma once

#include "vcl/Classes.h"

#include <array>
#include <cstdint>
#include <string>

class TAboutBoxDlg : public TComponent {
public:
    using TComponent::TComponent;

    // The published texts; setting them changes nothing until the next Execute.
    const std::string& ProductName() const { return FProductName; }
    void SetProductName(const std::string& Value) { FProductName = Value; }
    const std::string& Version() const { return FVersion; }
    void SetVersion(const std::string& Value) { FVersion = Value; }
    const std::string& Copyright() const { return FCopyright; }
    void SetCopyright(const std::string& Value) { FCopyright = Value; }
    const std::string& Comments() const { return FComments; }
    void SetComments(const std::string& Value) { FComments = Value; }

    // Creates a new about box, shows the four texts, "About " + ProductName as its title,
    // the user's and the computer's names as the system gives them now and the program's
    // icon, and runs it modally. Returns whether the box ended with OK; since the box's
    // only button closes it the ordinary way, which ends it with Cancel, that is false.
    bool Execute();

private:
    std::string FProductName;
    std::string FVersion;
    std::string FCopyright;
    std::string FComments;
    // Where the system puts the user's and the computer's names, one after the other.
    std::array<char, 256> FNameBuffer{};
    std::uint32_t FNameLength = 0;
};
