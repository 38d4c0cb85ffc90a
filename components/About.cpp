#include "About.h"

#include "Aboutdlg.h"
#include "os/UserInfo.h"

#include <QApplication>
#include <QIcon>
#include <QScopeGuard>
#include <memory>

namespace {

QString Text(const std::string& Value) {
    return QString::fromStdString(Value);
}

// A name the system cannot supply shows as "(unknown)", never as an empty line or as what
// the buffer held before.
QString FetchedName(bool Fetched, const char* Buffer) {
    return Fetched ? QString::fromLocal8Bit(Buffer) : QStringLiteral("(unknown)");
}

} // namespace

bool TAboutBoxDlg::Execute() {
    // Each box is released as soon as it is closed, since nothing looks at it again.
    const std::unique_ptr<TAboutBox> Box = std::make_unique<TAboutBox>(Application);
    AboutBox = Box.get();
    const auto Forget = qScopeGuard([] { AboutBox = nullptr; });

    Box->ProductName->setText(Text(FProductName));
    Box->Version->setText(Text(FVersion));
    Box->Copyright->setText(Text(FCopyright));
    Box->Comments->setText(Text(FComments));
    Box->SetCaption("About " + FProductName);

    // 255 of the buffer's 256 characters, as the names were always asked for.
    FNameLength = 255;
    const bool GotUserName = os::GetUserName(FNameBuffer.data(), FNameLength);
    Box->UserName->setText(FetchedName(GotUserName, FNameBuffer.data()));
    FNameLength = 255;
    const bool GotComputerName = os::GetComputerName(FNameBuffer.data(), FNameLength);
    Box->ComputerName->setText(FetchedName(GotComputerName, FNameBuffer.data()));

    // The image stretches whatever size the icon offers to its 40 x 40 pixels.
    QLabel* Icon = Box->ProgramIcon;
    Icon->setPixmap(QApplication::windowIcon().pixmap(Icon->size(), Icon->devicePixelRatioF()));

    return Box->ShowModal() == TAboutBox::mrOk;
}
