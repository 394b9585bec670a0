"""dBase III table writer for the attribute tables of a block.

Fields are (name, type, width, decimals) with type C, N, L or D, as the
field-definition files describe them. Texts are written in Windows-1250 and
the table says so in its language-driver byte, so that other programs that
open the tables decode the Czech letters correctly.
"""
import struct

_LANGUAGE_DRIVER_CP1250 = 0xC8
# A fixed date keeps the output byte-identical between runs.
_UPDATE_DATE = (98, 12, 1)


class Field:
    __slots__ = ("name", "type", "width", "decimals")

    def __init__(self, name, type_, width, decimals=0):
        if len(name) > 10:
            raise ValueError("dBase field name longer than 10 characters: " + name)
        self.name = name.upper()
        self.type = type_.upper()
        self.width = width if self.type != "D" else 8
        if self.type == "L":
            self.width = 1
        self.decimals = decimals if self.type == "N" else 0

    def format(self, value):
        if self.type == "C":
            raw = ("" if value is None else str(value)).encode("cp1250")
            if len(raw) > self.width:
                raise ValueError("%s: text %r longer than %d" % (self.name, value, self.width))
            return raw.ljust(self.width, b" ")
        if self.type == "N":
            if value is None:
                return b" " * self.width
            if self.decimals:
                text = "%.*f" % (self.decimals, value)
            else:
                text = "%d" % int(round(value))
            if len(text) > self.width:
                raise ValueError("%s: number %s wider than %d" % (self.name, text, self.width))
            return text.rjust(self.width).encode("ascii")
        if self.type == "L":
            return b"?" if value is None else (b"T" if value else b"F")
        if self.type == "D":
            return (value or "").ljust(8).encode("ascii")
        raise ValueError("unknown field type " + self.type)


def write_table(path, fields, rows):
    """Write rows (sequences in field order) as a dBase III file."""
    record_size = 1 + sum(f.width for f in fields)
    header_size = 32 + 32 * len(fields) + 1
    out = bytearray()
    out += struct.pack("<BBBBIHH", 0x03, *_UPDATE_DATE, len(rows), header_size, record_size)
    reserved = bytearray(20)
    reserved[17] = _LANGUAGE_DRIVER_CP1250  # byte 29 of the header
    out += reserved
    for f in fields:
        name = f.name.encode("ascii").ljust(11, b"\0")
        out += name + f.type.encode("ascii") + bytes(4)
        out += struct.pack("<BB", f.width, f.decimals) + bytes(14)
    out.append(0x0D)
    for row in rows:
        out += b" "
        for f, value in zip(fields, row):
            out += f.format(value)
    out.append(0x1A)
    with open(path, "wb") as fh:
        fh.write(out)
