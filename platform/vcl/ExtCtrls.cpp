#include "ExtCtrls.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    QObject::connect(&FTimer, &QTimer::timeout, &FTimer, [this] {
        if (OnTimer)
            DispatchEvent([this] { OnTimer(this); });
    });
    FTimer.start(1000);
}

void TTimer::SetInterval(int AInterval) {
    FTimer.start(AInterval);
}

void TTimer::SetEnabled(bool AEnabled) {
    if (!AEnabled)
        FTimer.stop();
    else if (!FTimer.isActive())
        FTimer.start();
}
