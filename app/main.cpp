// The program's entry: the single-instance unit's detection, the application object, the
// main window and the data module, in that order, then the message loop; they go down in
// the reverse order. A failure while the window or the data module is created is reported
// and ends the program with exit code 1.
#include "Main.h"

#include "DataModule.h"
#include "Just1_32.h"
#include "vcl/Forms.h"

int main(int argc, char** argv) {
    const TJust1_32Unit Just1_32;
    TApplication App(argc, argv);
    try {
        App.CreateForm(FormMain);
        App.CreateForm(DModule);
    } catch (const std::exception& E) {
        App.ShowException(E);
        return 1;
    }
    return App.Run();
}
