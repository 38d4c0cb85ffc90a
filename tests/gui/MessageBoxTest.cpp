// The platform's real message box, looked at while it is open and then answered.
#include "os/MessageBox.h"

#include "GuiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs Look on the open box once it is shown, then presses its OK button.
int ShowAndAnswer(QWidget* Owner, const std::string& Text, unsigned Flags,
                  const std::function<void(const QMessageBox&)>& Look) {
    bool Looked = false;
    QTimer Poll;
    QObject::connect(&Poll, &QTimer::timeout, [&] {
        auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (Box == nullptr || Looked)
            return;
        Looked = true;
        Look(*Box);
        Box->button(QMessageBox::Ok)->click();
    });
    Poll.start(20);
    const int Answer = os::MessageBox(Owner, Text, "Keine Hilfe", Flags);
    EXPECT_TRUE(Looked);
    return Answer;
}

TEST(MessageBoxTest, ShowsPlainTextWithCarriageReturnsAsLineBreaks) {
    QWidget Owner;
    Owner.show();
    const int Answer = ShowAndAnswer(
        &Owner, "Hilfedatei \r\"/tmp/<b>x</b>.chm\"\r nicht verfügbar.\r\nEnde",
        os::MbOk | os::MbIconError | os::MbTaskModal | os::MbTopMost, [&](const QMessageBox& Box) {
            EXPECT_EQ(Box.text(), QStringLiteral("Hilfedatei \n\"/tmp/<b>x</b>.chm\"\n nicht "
                                                 "verfügbar.\nEnde"));
            EXPECT_EQ(Box.textFormat(), Qt::PlainText);
            EXPECT_EQ(Box.windowTitle(), QStringLiteral("Keine Hilfe"));
            EXPECT_EQ(Box.icon(), QMessageBox::Critical);
            EXPECT_EQ(Box.standardButtons(), QMessageBox::Ok);
            EXPECT_EQ(Box.windowModality(), Qt::ApplicationModal);
            EXPECT_TRUE(Box.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            EXPECT_EQ(Box.parentWidget(), &Owner);
        });
    EXPECT_EQ(Answer, os::IdOk);
}

TEST(MessageBoxTest, WithoutTaskModalOnlyTheOwnerIsBlocked) {
    QWidget Owner;
    Owner.show();
    ShowAndAnswer(&Owner, "Text", os::MbOk, [](const QMessageBox& Box) {
        EXPECT_EQ(Box.windowModality(), Qt::WindowModal);
        EXPECT_EQ(Box.icon(), QMessageBox::NoIcon);
        EXPECT_FALSE(Box.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    });
}

TEST(MessageBoxTest, WithoutAnOwnerTheWholeProgramIsBlocked) {
    ShowAndAnswer(nullptr, "Text", os::MbOk, [](const QMessageBox& Box) {
        EXPECT_EQ(Box.windowModality(), Qt::ApplicationModal);
    });
}

TEST(MessageBoxTest, AHandlerTakesTheBoxsPlaceUntilItIsRemoved) {
    {
        TMessageBoxRecorder Recorder;
        EXPECT_EQ(os::MessageBox(nullptr, "a\rb", "T", os::MbIconError), os::IdOk);
        ASSERT_EQ(Recorder.Boxes.size(), 1u);
        EXPECT_EQ(Recorder.Boxes[0].Text, "a\rb");
        EXPECT_EQ(Recorder.Boxes[0].Caption, "T");
        EXPECT_EQ(Recorder.Boxes[0].Flags, os::MbIconError);
    }
    // The recorder is gone: the real box is back.
    bool Real = false;
    ShowAndAnswer(nullptr, "Text", os::MbOk, [&](const QMessageBox&) { Real = true; });
    EXPECT_TRUE(Real);
}

} // namespace
