#include "HelpViewer.h"

#include "ChmFile.h"

#include <QAction>
#include <QByteArray>
#include <QDesktopServices>
#include <QMainWindow>
#include <QPointer>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <memory>
#include <vector>

namespace htmlhelp {
namespace {

const QString Scheme = QStringLiteral("chm");

QUrl TopicUrl(const std::string& Topic) {
    QUrl Url;
    Url.setScheme(Scheme);
    Url.setPath(QString::fromStdString(Topic));
    return Url;
}

// A text browser whose pages and images come out of the help file.
class ChmBrowser : public QTextBrowser {
public:
    ChmBrowser(const ChmFile& File, QWidget* Parent) : QTextBrowser(Parent), FFile(File) {
        setOpenLinks(false);
        connect(this, &QTextBrowser::anchorClicked, this, &ChmBrowser::FollowLink);
    }

    QVariant loadResource(int Type, const QUrl& Name) override {
        if (Name.scheme() != Scheme)
            return QTextBrowser::loadResource(Type, Name);
        const std::optional<std::string> Bytes =
            FFile.Read(Name.path(QUrl::FullyDecoded).toStdString());
        if (Bytes)
            return QByteArray(Bytes->data(), static_cast<qsizetype>(Bytes->size()));
        if (Type != QTextDocument::HtmlResource)
            return {};
        return QStringLiteral("<html><body><h2>Seite nicht gefunden</h2><p>Die Hilfedatei "
                              "enthält die Seite „%1“ nicht.</p></body></html>")
            .arg(Name.path().toHtmlEscaped());
    }

private:
    // Links inside the help file stay in the viewer; web and mail links go to the desktop's
    // programs; anything else is ignored.
    void FollowLink(const QUrl& Link) {
        const QUrl Target = source().resolved(Link);
        if (Target.scheme() == Scheme)
            setSource(Target);
        else if (Target.scheme() == u"http" || Target.scheme() == u"https" ||
                 Target.scheme() == u"mailto")
            QDesktopServices::openUrl(Target);
    }

    const ChmFile& FFile;
};

class HelpWindow : public QMainWindow {
public:
    HelpWindow(std::string Path, std::unique_ptr<ChmFile> File)
        : FPath(std::move(Path)), FFile(std::move(File)), FBrowser(new ChmBrowser(*FFile, this)) {
        setObjectName(QStringLiteral("HelpViewer"));
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(FFile->Title().empty() ? QStringLiteral("Hilfe")
                                              : QString::fromStdString(FFile->Title()));
        setCentralWidget(FBrowser);
        resize(640, 520);

        QToolBar* Bar = addToolBar(QStringLiteral("Navigation"));
        Bar->setMovable(false);
        QAction* Back = Bar->addAction(QStringLiteral("Zurück"), FBrowser, &QTextBrowser::backward);
        QAction* Forward =
            Bar->addAction(QStringLiteral("Vorwärts"), FBrowser, &QTextBrowser::forward);
        Bar->addAction(QStringLiteral("Startseite"), this,
                       [this] { ShowTopic(FFile->DefaultTopic()); });
        Back->setEnabled(false);
        Forward->setEnabled(false);
        connect(FBrowser, &QTextBrowser::backwardAvailable, Back, &QAction::setEnabled);
        connect(FBrowser, &QTextBrowser::forwardAvailable, Forward, &QAction::setEnabled);
    }

    const std::string& Path() const { return FPath; }

    void ShowContext(std::uint32_t Context) { ShowTopic(FFile->TopicOfContext(Context)); }

private:
    void ShowTopic(const std::string& Topic) { FBrowser->setSource(TopicUrl(Topic)); }

    std::string FPath;
    std::unique_ptr<ChmFile> FFile;
    ChmBrowser* FBrowser;
};

// The open viewers; a closed one deletes itself and leaves a null pointer behind.
std::vector<QPointer<HelpWindow>>& Viewers() {
    static std::vector<QPointer<HelpWindow>> List;
    std::erase_if(List, [](const QPointer<HelpWindow>& Viewer) { return Viewer.isNull(); });
    return List;
}

HelpWindow* ViewerOf(const std::string& File) {
    for (const QPointer<HelpWindow>& Viewer : Viewers())
        if (Viewer->Path() == File)
            return Viewer;
    std::unique_ptr<ChmFile> Chm = ChmFile::Open(File);
    if (!Chm)
        return nullptr;
    auto* Viewer = new HelpWindow(File, std::move(Chm));
    Viewers().emplace_back(Viewer);
    return Viewer;
}

} // namespace

bool ShowContext(const std::string& File, std::uint32_t Context) {
    HelpWindow* Viewer = ViewerOf(File);
    if (Viewer == nullptr)
        return false;
    Viewer->ShowContext(Context);
    Viewer->show();
    Viewer->raise();
    Viewer->activateWindow();
    return true;
}

void CloseAll() {
    for (const QPointer<HelpWindow>& Viewer : Viewers())
        Viewer->close();
}

} // namespace htmlhelp
