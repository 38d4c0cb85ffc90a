// The help-system hook: while it lives, the application's help requests open contexts of one
// compiled help file in the program's own viewer. Destroying it gives the application its
// previous help handler back and closes the help windows.
#pragma once

#include "vcl/Forms.h"

#include <string>

class THookHelpSystem {
public:
    // WindowDefinition names a window type of the help file, HostType how help is shown;
    // the viewer here has one kind of window and always runs in this process, so both are
    // kept for the callers' sake and change nothing.
    THookHelpSystem(const std::string& HelpFile, const std::string& WindowDefinition, int HostType);
    ~THookHelpSystem();
    THookHelpSystem(const THookHelpSystem&) = delete;
    THookHelpSystem& operator=(const THookHelpSystem&) = delete;

private:
    THelpHandler FPrevious;
};

// Closes every help window of the process.
void HtmlHelpCloseAll();
