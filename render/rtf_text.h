#pragma once
// Plain text in and out of rich text files: the text window saves its
// listing as RTF and reopens such files as plain text.
#include <string>

namespace render {
// A one-font RTF document of the UTF-8 text, one paragraph per line, the
// letters of Windows-1250 written as escapes.
std::string PlainTextToRtf(const std::string& utf8);
// The text of an RTF document: control words dropped, paragraphs as line
// ends, escaped bytes read as Windows-1250, header groups skipped.
std::string RtfToPlainText(const std::string& rtf);
}  // namespace render
