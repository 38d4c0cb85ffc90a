// The platform's message box: a modal box with a caption, a text and an OK button, shown
// with the flags the program passes. Tests put a handler of their own in its place, so
// that no real box waits for a click.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace os {

// The flags a caller combines; the values are those the program was written against.
inline constexpr unsigned MbOk = 0x0;           // one button, OK
inline constexpr unsigned MbIconError = 0x10;   // the error icon
inline constexpr unsigned MbTaskModal = 0x2000; // blocks every window of the program
inline constexpr unsigned MbTopMost = 0x40000;  // stays above other windows

// The answer for the OK button.
inline constexpr int IdOk = 1;

using MessageBoxHandler = std::function<int(QWidget* Owner, const std::string& Text,
                                            const std::string& Caption, unsigned Flags)>;

// Shows Text (UTF-8, always plain text; a carriage return breaks the line) under Caption,
// owned by Owner (nullptr: no owner), and returns the button chosen. Without MbTaskModal
// and with an owner, only the owner is blocked while the box is open.
int MessageBox(QWidget* Owner, const std::string& Text, const std::string& Caption, unsigned Flags);

// Lets Handler answer every MessageBox call instead of a real box; an empty handler brings
// the real box back. Returns the handler that was in place before.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler Handler);

} // namespace os
