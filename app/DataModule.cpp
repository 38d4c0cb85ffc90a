#include "DataModule.h"

#include "Just1_32.h"
#include "timecalc/TivTools.h"

TDModule* DModule = nullptr;

TDModule::TDModule(TComponent* AOwner)
    : TDataModule(AOwner), JustOne32(new TJustOne32(this)), TivTools(new TTivTools(this)) {
    SetName("DModule");
    JustOne32->SetName("JustOne32");
    TivTools->SetName("TivTools");
}
