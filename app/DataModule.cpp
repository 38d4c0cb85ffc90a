#include "DataModule.h"

#include "timecalc/TivTools.h"

TDModule* DModule = nullptr;

TDModule::TDModule(TComponent* AOwner) : TDataModule(AOwner), TivTools(new TTivTools(this)) {
    SetName("DModule");
    TivTools->SetName("TivTools");
}
