#include "HookHelpSystem.h"

#include "HelpViewer.h"
#include "vcl/SysUtils.h"

#include <cstdint>

THookHelpSystem::THookHelpSystem(const std::string& HelpFile, const std::string& /*WindowDefinition*/,
                                 int /*HostType*/)
    : FPrevious(Application->SetHelpHandler([HelpFile](int Context) {
          // A file that is there but cannot be read is said so, rather than nothing shown.
          if (!htmlhelp::ShowContext(HelpFile, static_cast<std::uint32_t>(Context)))
              throw Exception("Die Hilfedatei \"" + HelpFile + "\" lässt sich nicht öffnen.");
          return true;
      })) {}

THookHelpSystem::~THookHelpSystem() {
    if (Application != nullptr)
        Application->SetHelpHandler(std::move(FPrevious));
    HtmlHelpCloseAll();
}

void HtmlHelpCloseAll() { htmlhelp::CloseAll(); }
