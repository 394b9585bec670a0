#include "platform/system_cause.h"

#include <cerrno>
#include <csignal>
#include <cstring>

namespace platform {

std::string systemCause(int errorNumber) {
  switch (errorNumber) {
    case 0: return "příčinu systém neuvádí";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return "na disku není místo";
    case EACCES:
    case EPERM: return "přístup odepřen";
    case EROFS: return "disk je jen pro čtení";
    case EFBIG: return "soubor je příliš velký";
    case ENOENT: return "soubor nebo adresář neexistuje";
    case ENOTDIR: return "cesta nevede na adresář";
    case EEXIST: return "soubor již existuje";
    case ENOTEMPTY: return "adresář není prázdný";
    case EBUSY: return "soubor je používán";
    case EIO: return "chyba vstupu/výstupu";
    case ENAMETOOLONG: return "jméno je příliš dlouhé";
    case EMFILE:
    case ENFILE: return "příliš mnoho otevřených souborů";
    default: return std::strerror(errorNumber);
  }
}

std::string systemCause(const std::error_code& error) {
  if (!error) return systemCause(0);
  if (error.category() == std::generic_category() || error.category() == std::system_category())
    return systemCause(error.value());
  return error.message();
}

void ignoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace platform
