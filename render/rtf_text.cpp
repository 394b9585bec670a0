#include "render/rtf_text.h"

#include <cctype>
#include <cstdio>

#include "platform/codepage.h"

namespace render {

std::string PlainTextToRtf(const std::string& utf8) {
  const std::string bytes = platform::fromUtf8(utf8, platform::CodePage::Windows1250);
  std::string out = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\f0\\fs20 ";
  for (unsigned char c : bytes) {
    if (c == '\r') continue;
    if (c == '\n') {
      out += "\\par\r\n";
    } else if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x80) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\'%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += "}\r\n";
  return out;
}

std::string RtfToPlainText(const std::string& rtf) {
  std::string bytes;
  int depth = 0;
  int skipFrom = 0;  // depth at which a skipped header group began; 0 = none
  std::size_t i = 0;
  auto skipping = [&] { return skipFrom != 0 && depth >= skipFrom; };
  while (i < rtf.size()) {
    const char c = rtf[i];
    if (c == '{') {
      ++depth;
      ++i;
      continue;
    }
    if (c == '}') {
      if (skipFrom != 0 && depth == skipFrom) skipFrom = 0;
      --depth;
      ++i;
      continue;
    }
    if (c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (c != '\\') {
      if (!skipping()) bytes += c;
      ++i;
      continue;
    }
    // A control symbol or word.
    ++i;
    if (i >= rtf.size()) break;
    const char d = rtf[i];
    if (d == '\\' || d == '{' || d == '}') {
      if (!skipping()) bytes += d;
      ++i;
      continue;
    }
    if (d == '\'') {
      if (i + 2 < rtf.size() && !skipping()) {
        const std::string hex = rtf.substr(i + 1, 2);
        bytes += static_cast<char>(std::strtol(hex.c_str(), nullptr, 16));
      }
      i += 3;
      continue;
    }
    std::string word;
    while (i < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[i]))) word += rtf[i++];
    while (i < rtf.size() && (rtf[i] == '-' || std::isdigit(static_cast<unsigned char>(rtf[i])))) ++i;
    if (i < rtf.size() && rtf[i] == ' ') ++i;
    if (word.empty()) {
      ++i;  // a control symbol such as \~ or \*
      continue;
    }
    if (word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info" ||
        word == "pict") {
      if (skipFrom == 0) skipFrom = depth;
    } else if ((word == "par" || word == "line") && !skipping()) {
      bytes += '\n';
    } else if (word == "tab" && !skipping()) {
      bytes += '\t';
    }
  }
  return platform::toUtf8(bytes, platform::CodePage::Windows1250);
}

}  // namespace render
