#pragma once
// The cause of a failed file operation as the user reads it: Czech for the
// failures an office meets (a full disk, a read-only share, a file-size
// limit, a missing file, no permission), the system's own text for the
// rest. Never "Success": a failure whose cause the system did not record
// says so in Czech.
#include <string>
#include <system_error>

namespace platform {

std::string systemCause(int errorNumber);
std::string systemCause(const std::error_code& error);

// Makes a write past the process's file-size limit fail with EFBIG, which
// the writer reports, instead of ending the process with SIGXFSZ.
void ignoreFileSizeSignal();

}  // namespace platform
