// Parts of a file path, as the program names its caption, help file and mutex after its
// executable. Only the file name's last extension counts; a dot in a folder name is no
// extension, and neither is the leading dot of a hidden file.
#pragma once

#include <string>

namespace rtl {

// "/opt/tiv/Zeitrechner" gives "Zeitrechner".
std::string ExtractFileName(const std::string& Path);

// "/x/a.b.exe" with ".chm" gives "/x/a.b.chm"; "/my.dir/calc" gives "/my.dir/calc.chm".
std::string ChangeFileExt(const std::string& Path, const std::string& Extension);

// The file name less its last extension: "/x/a.b.exe" gives "a.b".
std::string ExtractFileBaseName(const std::string& Path);

} // namespace rtl
