#include "StdCtrls.h"

#include "vcl/Forms.h"

#include <QKeyEvent>

namespace {

// The characters a key press types, as the window system's character messages deliver
// them: Ctrl with a letter types its control code (Ctrl+V is 22), Backspace 8, Enter 13,
// Escape 27; keys that type nothing give an empty text, Delete too, though X11 gives it 127.
QString TypedText(const QKeyEvent& Event) {
    const int Key = Event.key();
    const Qt::KeyboardModifiers Mods = Event.modifiers();
    if ((Mods & Qt::ControlModifier) && !(Mods & Qt::AltModifier) && Key >= Qt::Key_A &&
        Key <= Qt::Key_Z)
        return QString(QChar(Key - Qt::Key_A + 1));
    switch (Key) {
    case Qt::Key_Backspace:
        return QStringLiteral("\b");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    case Qt::Key_Delete:
        return QString();
    default:
        return Event.text();
    }
}

} // namespace

TEdit::TEdit(QWidget* Parent) : QLineEdit(Parent) {}

void TEdit::keyPressEvent(QKeyEvent* Event) {
    const QString Typed = TypedText(*Event);
    if (!OnKeyPress || Typed.isEmpty()) {
        QLineEdit::keyPressEvent(Event);
        return;
    }
    QString Kept;
    for (const QChar Character : Typed) {
        // A character beyond 8 bits has no 8-bit key to pass on: it is refused.
        char Key = Character.toLatin1();
        if (Key != 0 && !DispatchEvent([&] { OnKeyPress(this, Key); }))
            Key = 0;
        if (Key != 0)
            Kept += QChar(static_cast<uchar>(Key));
    }
    if (Kept == Typed) {
        QLineEdit::keyPressEvent(Event);
        return;
    }
    Event->accept();
    if (!Kept.isEmpty())
        insert(Kept);
}
