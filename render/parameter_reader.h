#pragma once
// Reader of the sectioned text files of the symbol libraries ("linzn.txt",
// "Srafy.txt"): hands each line over already classified as a section
// heading, a key with its value, or nothing. The library readers derive from
// it and walk the file with ReadNextItem.
//
//   ; comment
//   [Retez]          -> section RETEZ
//   kod = 12         -> key KOD, value "12"
#include <cstdint>
#include <string>

#include "platform/regular_file.h"

class TCteniParametru {
 public:
  // Values are cut to this many characters.
  static constexpr std::size_t kMaxValueLength = 250;

  // ok: the file opened and holds at least one line, which is then the
  // look-ahead line. Lines are read as Windows-1250 text.
  TCteniParametru(const std::string& fileName, bool& ok);
  virtual ~TCteniParametru();
  TCteniParametru(const TCteniParametru&) = delete;
  TCteniParametru& operator=(const TCteniParametru&) = delete;

  // Classifies the look-ahead line and reads the next one. atEof is already
  // true for the file's last line, whose result the caller still handles.
  void ReadNextItem(bool& isKey, bool& isSection, std::string& text, std::string& key, bool& atEof);
  // The last value or section name as a number; 0 when none is found.
  double ValueAsReal() const;
  std::int32_t ValueAsInteger() const;

  std::string CurrentLine;  // raw bytes of the look-ahead line
  std::string LastText;
  bool Opened = false;

 private:
  bool AtFileEnd();
  void ReadLine();

  platform::RegularFileStream file_;
};
