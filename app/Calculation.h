// One run of the calculation: the main window's inputs in, the result text out. The window
// calls it on every tick of its timer and writes the text only when it changed. No Qt here.
#pragma once

#include <string>
#include <string_view>

class TTivTools;

// What the window's controls hold at the moment of the run.
struct TCalculationInputs {
    std::string_view MainText;       // first operand, a time text
    std::string_view CalcText;       // second operand: a time text, or the factor for "*"
    int FunctionIndex = 0;           // 0 "+", 1 "-", 2 "*"
    bool RoundItIAAF = false;        // round up to the step of the resolution
    int ResolutionIndex = 2;         // 0 "hh:mm:ss" ... 3 "hh:mm:ss,ttt"
    std::string_view ResolutionText; // the text of the selected resolution item
    char DecimalSeparator = ',';     // the user's regional decimal separator
};

// The result text of one run: empty when an operand is empty and whenever the run fails
// (a factor beyond the double range, a product beyond 64 bits, a time above the largest
// count). Sums, differences and products wrap around in 32 bits.
std::string CalculateResult(const TTivTools& TivTools, const TCalculationInputs& Inputs);
