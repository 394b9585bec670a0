#pragma once
// Running helper programs (the sample generator, python3 one-liners,
// ogrinfo) from a test and reading what they print.
#include <string>

namespace test_support {

// What the shell command writes to standard output.
std::string Capture(const std::string& command);
// The command's exit status (as std::system gives it).
int Run(const std::string& command);
// Whether a program is on the PATH.
bool HaveProgram(const std::string& name);
// A string quoted for the shell.
std::string Quoted(const std::string& text);

}  // namespace test_support
