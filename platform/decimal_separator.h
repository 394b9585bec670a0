#pragma once
// The decimal separator that numbers shown to the user carry: a process
// setting (the locale's choice on the original desktop), '.' until changed.
namespace platform {

char decimalSeparator();
void setDecimalSeparator(char separator);

}  // namespace platform
