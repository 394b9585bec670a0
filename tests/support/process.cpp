#include "process.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace test_support {

std::string Capture(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (!pipe) return out;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) out.append(buffer, n);
  return out;
}

int Run(const std::string& command) { return std::system(command.c_str()); }

bool HaveProgram(const std::string& name) { return Run("command -v " + name + " >/dev/null 2>&1") == 0; }

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

}  // namespace test_support
