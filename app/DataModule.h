// The data module: the program's non-visual components that are not tied to the window.
// It holds the calculator tools through which the window reaches the time arithmetic;
// the single-instance guard joins it with the start-up.
#pragma once

#include "vcl/Forms.h"

class TJustOne32;
class TTivTools;

class TDModule : public TDataModule {
public:
    explicit TDModule(TComponent* AOwner);

    // Created first: in a second instance it hands over to the running one.
    TJustOne32* JustOne32;
    TTivTools* TivTools;
};

// The one data module, from its creation to the end of the program.
extern TDModule* DModule;
