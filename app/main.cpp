// The program's entry: the application object, the main window and the data module, in
// that order, then the message loop. A failure while they are created is reported and
// ends the program with exit code 1.
#include "Main.h"

#include "DataModule.h"
#include "vcl/Forms.h"

int main(int argc, char** argv) {
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
