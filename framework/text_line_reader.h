#pragma once
// A cursor over one line of a text data file that takes it apart field by
// field. It never fails loudly: running out of the line, or a number that does
// not convert, sets AtEnd, which stays set; every read after that returns at
// once. Positions are 1-based; single-character steps stop at 254, the length
// limit of the lines the data files were written for.
#include <bitset>
#include <cstdint>
#include <string>

class TCtiRadekClass {
 public:
  explicit TCtiRadekClass(std::string line);

  bool AtEnd() const { return atEnd_; }
  std::int32_t Position() const { return position_; }
  const std::string& Line() const { return line_; }

  // Stepping back from position 1 (or before) sets AtEnd: nothing lies there.
  void StepBack();
  void StepForward();
  char ReadChar();
  void SkipBlanks();
  // Up to `count` characters; the position moves by `count` even past the end.
  void ReadChars(std::int32_t count, std::string& text);
  // The characters before the first stop character; the position stays on it.
  void ReadUntilChar(char stop, std::string& text);
  void ReadUntilCharSet(const std::bitset<256>& stops, std::string& text);

  // An optionally signed run of digits after skipping anything else; 0 with
  // AtEnd set when there is none or it does not convert.
  std::int32_t ReadLongInt();
  std::int32_t ReadInteger() { return ReadLongInt(); }
  // A run of signs, points and digits in fixed-point notation (no exponent, no
  // comma); 0 with AtEnd set when it does not convert.
  double ReadFloat();
  // ReadFloat held to the precision of the 6-byte real of the block files. A
  // value the 6-byte real cannot hold sets AtEnd and gives 0.
  double ReadReal();
  // True at the first 1, A or T; false at 0, F or N or the end of the line.
  bool ReadBoolean();

 private:
  bool inLine() const;
  char current() const { return line_[static_cast<std::size_t>(position_ - 1)]; }

  std::string line_;
  std::int32_t position_ = 1;
  bool atEnd_ = false;
};
