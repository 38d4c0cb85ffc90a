// The program's entry. Until the main window exists, it runs one calculation from the
// command line: Zeitrechner [FIRST OPERATION SECOND [RESOLUTION 0-3] [iaaf]].
#include "Calculation.h"
#include "rtl/Conversions.h"
#include "timecalc/TivTools.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    static constexpr std::array<const char*, 4> Resolutions = {"hh:mm:ss", "hh:mm:ss,t",
                                                               "hh:mm:ss,tt", "hh:mm:ss,ttt"};
    TTivTools TivTools(nullptr);
    TCalculationInputs Inputs;
    const std::string Operation = argc > 2 ? argv[2] : "+";
    Inputs.MainText = argc > 1 ? argv[1] : "8:14,54";
    Inputs.CalcText = argc > 3 ? argv[3] : "0,23";
    Inputs.FunctionIndex = Operation == "-" ? 1 : Operation == "*" ? 2 : 0;
    Inputs.ResolutionIndex = argc > 4 ? std::atoi(argv[4]) : 2;
    if (Inputs.ResolutionIndex < 0 || Inputs.ResolutionIndex > 3)
        Inputs.ResolutionIndex = 2;
    Inputs.ResolutionText = Resolutions[static_cast<std::size_t>(Inputs.ResolutionIndex)];
    Inputs.RoundItIAAF = argc > 5 && std::string(argv[5]) == "iaaf";
    Inputs.DecimalSeparator = rtl::RegionalDecimalSeparator();
    std::puts("Zeitrechner: das Fenster folgt; bis dahin rechnet die Befehlszeile.");
    std::printf("%s %s %s = %s\n", argc > 1 ? argv[1] : "8:14,54", Operation.c_str(),
                argc > 3 ? argv[3] : "0,23", CalculateResult(TivTools, Inputs).c_str());
    return 0;
}
