#pragma once
// Names of the attribute tables of a block and of their index files. Names
// are texts of the GIS tree ("D:\LHC\R01.BLK\P1600.DBF"), compared as texts.
#include <cstdint>
#include <string>
#include <string_view>

// Block directory + "\" + kind letter + Druh in at least four digits (a
// negative one keeps its sign: -0005) + ".DBF".
std::string GelixTableFileName(std::string_view blockDirectory, char kindLetter, std::int32_t druh);

namespace gisblock {

// The name with the extension of its last component replaced (or added).
std::string changeFileExt(std::string_view fileName, std::string_view extension);

// The table's index file: the extension replaced by ".IND".
inline std::string indexFileName(std::string_view tableFileName) { return changeFileExt(tableFileName, ".IND"); }

// The last component of the name.
std::string extractFileName(std::string_view fileName);

// The last component up to its first "." (x.y.DBF gives x).
std::string shortTableName(std::string_view tableFileName);

}  // namespace gisblock
