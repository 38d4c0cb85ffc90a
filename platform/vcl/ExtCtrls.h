// The timer component of the program's framework: fires OnTimer every Interval
// milliseconds while enabled, from the message loop; owned and destroyed like any
// component. A new timer is enabled with an interval of 1000 ms.
#pragma once

#include "vcl/Forms.h"

#include <QTimer>

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);

    TNotifyEvent OnTimer;

    int Interval() const { return FTimer.interval(); }
    // Sets the interval and starts counting it afresh.
    void SetInterval(int AInterval);
    bool Enabled() const { return FTimer.isActive(); }
    void SetEnabled(bool AEnabled);

private:
    QTimer FTimer;
};
