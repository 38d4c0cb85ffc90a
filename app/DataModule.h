// The data module: the program's non-visual components that are not tied to the window.
// It holds the calculator tools through which the window reaches the time arithmetic;
// the single-instance guard joins it with the start-up.
#pragma once

#include "vcl/Forms.h"

class TTivTools;

class TDModule : public TDataModule {
public:
    explicit TDModule(TComponent* AOwner);

    TTivTools* TivTools;
};

// The one data module, from its creation to the end of the program.
extern TDModule* DModule;
