// The in-process viewer of compiled HTML help: one window per help file, showing the file's
// pages with their images and internal links. The help-system hook routes the program's
// help requests here.
#pragma once

#include <cstdint>
#include <string>

namespace htmlhelp {

// Shows the page that the file's context map assigns to Context (its default page for an
// unmapped number) in the viewer of that file, opening one when none is open, and brings it
// forward. Returns false, showing nothing, when File is missing or no readable help file.
bool ShowContext(const std::string& File, std::uint32_t Context);

// Closes every help viewer of the process.
void CloseAll();

} // namespace htmlhelp
