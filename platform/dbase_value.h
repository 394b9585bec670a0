#pragma once
// Field values of a dBase record as text. The bytes of text are in the
// table's code page (see dbf::codePageOf); the text is UTF-8. Numbers read with '.' and without trailing zeros ("12.00"
// reads "12"); on input ',' serves as the decimal separator as well. Dates
// read as d.m.yyyy; logical fields as TRUE and FALSE.
#include "platform/dbase_structure.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform::dbf {

// The value of a number's text as fieldText gives it: an optional sign,
// digits and at most one '.', blanks around; nothing for blank text and for
// text that is no number ("abc", "1.5x7", "nan").
std::optional<double> numberValue(std::string_view text);

// The text of a field's bytes (exactly field.width of them); blank bytes
// read as empty text.
std::string fieldText(const DbfField& field, std::string_view bytes, CodePage codePage = CodePage::Windows1250);

// The field.width bytes that store `text`, whatever width a table made
// elsewhere gives the field. Character text longer than the field is cut;
// a character the code page lacks becomes '?'.
// Throws DbfError for text that the field cannot hold (not a number, too
// many digits, not a date, not a truth value, wider than the field).
std::string fieldBytes(const DbfField& field, std::string_view text, CodePage codePage = CodePage::Windows1250);

// Why a number field would keep the number of `text` (',' or '.' as the
// point) only rounded, in words that follow the value ("není celé číslo"):
// it has more decimals than the field. Nothing where the field keeps it
// whole, for other fields and for text that is no number (fieldBytes
// tells of that).
std::optional<std::string> roundingOf(const DbfField& field, std::string_view text);
// Why the field would keep `text` only changed: a number rounded (as
// roundingOf says), a text cut to the field's width or with characters the
// table's code page lacks. Blanks that end a text are no change: a field
// reads without them. Nothing where it keeps the value as written, and for
// text the field refuses outright (fieldBytes tells of that).
std::optional<std::string> alterationOf(const DbfField& field, std::string_view text,
                                        CodePage codePage = CodePage::Windows1250);
// Throws DbfError, as fieldBytes does, for a value alterationOf names.
void requireExactValue(const DbfField& field, std::string_view text, CodePage codePage = CodePage::Windows1250);

// The bytes fieldBytes gives a number field for the shortest text of
// `value`, formatted from the value itself; nothing for a field of another
// type, a value that is not finite or one the field cannot hold (the text
// then tells why).
std::optional<std::string> numberFieldBytes(const DbfField& field, double value);

}  // namespace platform::dbf
