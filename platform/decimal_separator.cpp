#include "platform/decimal_separator.h"

namespace platform {
namespace {
char current = '.';
}

char decimalSeparator() { return current; }
void setDecimalSeparator(char separator) { current = separator; }

}  // namespace platform
