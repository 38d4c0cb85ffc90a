// The edit field with the key-press event of the program's framework: a handler sees each
// character that a key types and may refuse it (set it to the null character) or replace
// it. Keys that type no character (arrows, Delete, function keys) never reach it.
#pragma once

#include "vcl/Classes.h"

#include <QLineEdit>
#include <functional>

using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

class TEdit : public QLineEdit, public TObject {
public:
    explicit TEdit(QWidget* Parent = nullptr);

    TKeyPressEvent OnKeyPress;

protected:
    void keyPressEvent(QKeyEvent* Event) override;
};
