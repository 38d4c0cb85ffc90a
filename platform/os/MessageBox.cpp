#include "MessageBox.h"

#include <QMessageBox>
#include <QString>
#include <utility>

namespace os {

namespace {

MessageBoxHandler& InstalledHandler() {
    static MessageBoxHandler Handler;
    return Handler;
}

// A carriage return, alone or before a line feed, is one line break.
QString LineBreaks(const std::string& Text) {
    QString Result = QString::fromStdString(Text);
    Result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return Result;
}

int ShowRealBox(QWidget* Owner, const std::string& Text, const std::string& Caption,
                unsigned Flags) {
    QMessageBox Box(Owner);
    Box.setWindowTitle(QString::fromStdString(Caption));
    // Paths and messages are shown as they are, never read as markup.
    Box.setTextFormat(Qt::PlainText);
    Box.setText(LineBreaks(Text));
    Box.setIcon((Flags & MbIconError) != 0 ? QMessageBox::Critical : QMessageBox::NoIcon);
    Box.setStandardButtons(QMessageBox::Ok);
    const bool TaskModal = (Flags & MbTaskModal) != 0 || Owner == nullptr;
    Box.setWindowModality(TaskModal ? Qt::ApplicationModal : Qt::WindowModal);
    Box.setWindowFlag(Qt::WindowStaysOnTopHint, (Flags & MbTopMost) != 0);
    Box.exec();
    return IdOk;
}

} // namespace

int MessageBox(QWidget* Owner, const std::string& Text, const std::string& Caption,
               unsigned Flags) {
    // A copy, so that a handler may replace itself while it runs.
    if (const MessageBoxHandler Handler = InstalledHandler())
        return Handler(Owner, Text, Caption, Flags);
    return ShowRealBox(Owner, Text, Caption, Flags);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler Handler) {
    return std::exchange(InstalledHandler(), std::move(Handler));
}

} // namespace os
