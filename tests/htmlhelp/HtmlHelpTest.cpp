#include "htmlhelp/ChmFile.h"
#include "htmlhelp/HelpViewer.h"

#include <QApplication>
#include <QMainWindow>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <gtest/gtest.h>
#include <vector>

namespace {

using htmlhelp::ChmFile;

TEST(ChmFile, ReadsPagesTitleAndDefaultTopic) {
    const auto File = ChmFile::Open(FIXTURE_CHM);
    ASSERT_NE(File, nullptr);
    EXPECT_EQ(File->Title(), "Testhilfe");
    EXPECT_EQ(File->DefaultTopic(), "/start.html");
    const auto Page = File->Read("/sub/seite.html");
    ASSERT_TRUE(Page.has_value());
    EXPECT_NE(Page->find("Unterseite mit Umlauten: äöü"), std::string::npos);
    EXPECT_EQ(File->Read("/bild.png")->substr(1, 3), "PNG");
    EXPECT_FALSE(File->Read("/fehlt.html").has_value());
}

TEST(ChmFile, ContextMapNamesTheTopic) {
    const auto File = ChmFile::Open(FIXTURE_CHM);
    ASSERT_NE(File, nullptr);
    const std::vector<std::pair<std::uint32_t, std::string>> Cases = {{1, "/start.html"},
                                                                      {7, "/sub/seite.html"},
                                                                      {0, "/start.html"},
                                                                      {2, "/start.html"},
                                                                      {0xffffffff, "/start.html"}};
    for (const auto& [Context, Topic] : Cases)
        EXPECT_EQ(File->TopicOfContext(Context), Topic) << Context;
}

TEST(ChmFile, MissingOrForeignFilesDoNotOpen) {
    EXPECT_EQ(ChmFile::Open("/nonexistent/Zeitrechner.chm"), nullptr);
    EXPECT_EQ(ChmFile::Open("/etc/passwd"), nullptr);
    EXPECT_EQ(ChmFile::Open("/"), nullptr);
}

// The program's own help opens on its start page, and every link in it leads to a page
// that the file holds.
TEST(ProgramHelp, StartsAtContextOneAndHasNoDeadLinks) {
    const auto File = ChmFile::Open(PROGRAM_CHM);
    ASSERT_NE(File, nullptr);
    EXPECT_EQ(File->TopicOfContext(1), "/index.html");
    const QRegularExpression Link(QStringLiteral("(?:href|src)=\"([^\"#:]+)"));
    for (const char* Page : {"/index.html", "/zeiten.html", "/rechenarten.html", "/aufloesung.html",
                             "/bedienung.html"}) {
        const auto Html = File->Read(Page);
        ASSERT_TRUE(Html.has_value()) << Page;
        auto Matches = Link.globalMatch(QString::fromStdString(*Html));
        while (Matches.hasNext())
            EXPECT_TRUE(File->Contains("/" + Matches.next().captured(1).toStdString())) << Page;
    }
}

std::vector<QMainWindow*> Viewers() {
    std::vector<QMainWindow*> List;
    for (QWidget* Widget : QApplication::topLevelWidgets())
        if (Widget->objectName() == "HelpViewer" && Widget->isVisible())
            List.push_back(qobject_cast<QMainWindow*>(Widget));
    return List;
}

QTextBrowser* BrowserOf(QMainWindow* Viewer) {
    return Viewer->findChild<QTextBrowser*>();
}

class HelpViewer : public ::testing::Test {
protected:
    void TearDown() override {
        htmlhelp::CloseAll();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(HelpViewer, ShowsTheMappedPageInOneWindowPerFile) {
    ASSERT_TRUE(htmlhelp::ShowContext(FIXTURE_CHM, 1));
    ASSERT_EQ(Viewers().size(), 1u);
    QMainWindow* Viewer = Viewers().front();
    EXPECT_EQ(Viewer->windowTitle(), "Testhilfe");
    EXPECT_TRUE(BrowserOf(Viewer)->toPlainText().contains("Startseite der Testhilfe"));

    ASSERT_TRUE(htmlhelp::ShowContext(FIXTURE_CHM, 7));
    ASSERT_EQ(Viewers().size(), 1u);
    EXPECT_TRUE(BrowserOf(Viewer)->toPlainText().contains("Unterseite mit Umlauten: äöü"));

    ASSERT_TRUE(htmlhelp::ShowContext(FIXTURE_CHM, 42));
    EXPECT_TRUE(BrowserOf(Viewer)->toPlainText().contains("Startseite der Testhilfe"));
}

TEST_F(HelpViewer, FollowsLinksAndLoadsImagesFromTheFile) {
    ASSERT_TRUE(htmlhelp::ShowContext(FIXTURE_CHM, 1));
    QTextBrowser* Browser = BrowserOf(Viewers().front());
    const QVariant Image =
        Browser->document()->resource(QTextDocument::ImageResource, QUrl("bild.png"));
    EXPECT_TRUE(Image.isValid());
    emit Browser->anchorClicked(QUrl("sub/seite.html"));
    EXPECT_EQ(Browser->source().path(), "/sub/seite.html");
    emit Browser->anchorClicked(QUrl("../start.html"));
    EXPECT_EQ(Browser->source().path(), "/start.html");
    Browser->backward();
    EXPECT_EQ(Browser->source().path(), "/sub/seite.html");
}

TEST_F(HelpViewer, ToolbarSpeaksGerman) {
    ASSERT_TRUE(htmlhelp::ShowContext(FIXTURE_CHM, 1));
    QStringList Captions;
    for (QAction* Action : Viewers().front()->findChild<QToolBar*>()->actions())
        Captions << Action->text();
    EXPECT_EQ(Captions, (QStringList{"Zurück", "Vorwärts", "Startseite"}));
}

TEST_F(HelpViewer, MissingFileOpensNothing) {
    EXPECT_FALSE(htmlhelp::ShowContext("/nonexistent/Zeitrechner.chm", 1));
    EXPECT_TRUE(Viewers().empty());
}

TEST_F(HelpViewer, CloseAllClosesEveryViewer) {
    ASSERT_TRUE(htmlhelp::ShowContext(FIXTURE_CHM, 1));
    ASSERT_TRUE(htmlhelp::ShowContext(PROGRAM_CHM, 1));
    EXPECT_EQ(Viewers().size(), 2u);
    htmlhelp::CloseAll();
    EXPECT_TRUE(Viewers().empty());
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication App(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
