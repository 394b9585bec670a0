#pragma once
// Deletes a directory with everything below it. The name may be a Windows
// path with a drive letter (resolved through the drive map). A name that does
// not exist counts as removed. An empty name, a file-system root or a drive's
// root is refused with an error box, as are failures to delete a file or a
// directory ("Při rušení adresáře nelze smazat soubor ..." / "Adresář
// ...nelze zrušit !"). Symbolic links are removed, never followed.
#include <string_view>

bool RemoveDirectoryTree(std::string_view directory);
