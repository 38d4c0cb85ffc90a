// The toolkit's floor: a bare Qt Widgets window with a widget set like the calculator's
// (menu bar, three line edits, two combo boxes, a check box, four tool buttons, a status
// bar), built with the same flags. What it costs to start and idle is what Qt itself costs.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication App(argc, argv);
    QMainWindow Window;
    Window.setWindowTitle(QStringLiteral("floor"));
    QMenu* File = Window.menuBar()->addMenu(QStringLiteral("&Datei"));
    File->addAction(QStringLiteral("&Beenden"), &Window, &QWidget::close);
    Window.menuBar()->addMenu(QStringLiteral("Bearbeiten"))->addAction(QStringLiteral("Addition"));
    Window.menuBar()->addMenu(QStringLiteral("&Hilfe"))->addAction(QStringLiteral("&Hilfe"));

    auto* Client = new QWidget(&Window);
    auto* Resolution = new QComboBox(Client);
    Resolution->addItems({"hh:mm:ss", "hh:mm:ss,t", "hh:mm:ss,tt", "hh:mm:ss,ttt"});
    Resolution->setGeometry(90, 6, 89, 22);
    (new QCheckBox(QStringLiteral("IAAF- Rundungsregel"), Client))->setGeometry(191, 9, 138, 17);
    (new QLineEdit(QStringLiteral("8:14,54"), Client))->setGeometry(8, 40, 81, 24);
    auto* Function = new QComboBox(Client);
    Function->addItems({"+", "-", "*"});
    Function->setGeometry(94, 40, 41, 24);
    (new QLineEdit(QStringLiteral("0,23"), Client))->setGeometry(138, 40, 71, 24);
    auto* Result = new QLineEdit(QStringLiteral("8:14,77"), Client);
    Result->setReadOnly(true);
    Result->setGeometry(241, 40, 74, 24);
    const int ButtonLefts[] = {213, 320, 346, 349};
    const int ButtonTops[] = {40, 40, 40, 4};
    for (int I = 0; I < 4; ++I)
        (new QToolButton(Client))->setGeometry(ButtonLefts[I], ButtonTops[I], 25, 25);
    Window.setCentralWidget(Client);
    Window.statusBar();
    Window.resize(389, 120);
    Window.show();
    return QApplication::exec();
}
