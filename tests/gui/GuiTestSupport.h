// What the GUI tests share: the one application object (offscreen, German number format)
// for the whole test program, and a recorder that stands in for the platform's message box.
#pragma once

#include "os/MessageBox.h"

#include <QString>
#include <ostream>
#include <string>
#include <vector>

class QWidget;

// Failing comparisons of texts print the text, not its bytes.
inline void PrintTo(const QString& Text, std::ostream* Out) {
    *Out << '"' << Text.toStdString() << '"';
}

// One message box the program asked for.
struct TRecordedBox {
    QWidget* Owner;
    std::string Text;
    std::string Caption;
    unsigned Flags;
};

// Answers every message box with OK and keeps what it was asked, for as long as it lives.
class TMessageBoxRecorder {
public:
    TMessageBoxRecorder();
    ~TMessageBoxRecorder();
    TMessageBoxRecorder(const TMessageBoxRecorder&) = delete;
    TMessageBoxRecorder& operator=(const TMessageBoxRecorder&) = delete;

    std::vector<TRecordedBox> Boxes;

private:
    os::MessageBoxHandler FPrevious;
};
