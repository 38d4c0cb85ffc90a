#include "rtl/FileNames.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TPathCase {
    const char* Path;
    const char* FileName;
    const char* BaseName;
    const char* HelpFile;
};

TEST(FileNames, CaptionAndHelpFileOfAnExecutable) {
    const std::vector<TPathCase> Cases = {
        {"/opt/tiv/Zeitrechner", "Zeitrechner", "Zeitrechner", "/opt/tiv/Zeitrechner.chm"},
        {"/tools/Calc.exe", "Calc.exe", "Calc", "/tools/Calc.chm"},
        {"/x/a.b.exe", "a.b.exe", "a.b", "/x/a.b.chm"},
        {"/my.dir/calc", "calc", "calc", "/my.dir/calc.chm"},
        {"/home/u/.hidden", ".hidden", ".hidden", "/home/u/.hidden.chm"},
        {"calc", "calc", "calc", "calc.chm"},
    };
    for (const TPathCase& Case : Cases) {
        EXPECT_EQ(rtl::ExtractFileName(Case.Path), Case.FileName) << Case.Path;
        EXPECT_EQ(rtl::ExtractFileBaseName(Case.Path), Case.BaseName) << Case.Path;
        EXPECT_EQ(rtl::ChangeFileExt(Case.Path, ".chm"), Case.HelpFile) << Case.Path;
    }
}

} // namespace
