#pragma once
// The scanner of the expression language. Every routine takes the text and a
// 1-based byte position by reference; a position of 0 means that nothing is
// left to read. Blanks are the space character only.
#include <string>

bool IsIdentChar(char c);
// Moves over spaces; the position becomes 0 when nothing but spaces is left.
void SkipSpaces(const std::string& text, int& position);
// Only spaces, or nothing, from the position on.
bool IsAtEnd(const std::string& text, int position);
// The longest run of identifier characters after the spaces.
std::string ReadIdentifier(const std::string& text, int& position);
// The longest run of digits and points after the spaces.
std::string ReadNumber(const std::string& text, int& position);
// The text between single quotes; an unclosed string runs to the end.
std::string ReadQuoted(const std::string& text, int& position);
// The text inside a "(" ... ")" group, nested groups included. Raises
// SyntaxExcept "Ocekavam: (" or "Ocekavam: )".
std::string ReadParenthesized(const std::string& text, int& position);
// The rightmost two-operand operator of the loosest level present outside
// quotes and groups: its text as written and the position just after it (0
// past the end). Raises "Ocekavam: )" for an unclosed group.
bool FindOperator(const std::string& text, int& position, std::string& op);
