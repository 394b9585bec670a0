"""Encoder of the 6-byte real that every number of a block file is stored in.

Kept apart from the block reader used by the checks, so that a fault in one
does not hide a fault in the other.
"""
import math
import struct

_FRACTION_LIMIT = 1 << 39


class Real48Overflow(ValueError):
    pass


def _parts(value):
    """Exponent byte and 39-bit fraction of |value| (0, 0 for zero or underflow)."""
    half, binary_exponent = math.frexp(abs(value))  # half in [0.5, 1)
    exponent = binary_exponent + 128
    # (2*half - 1) * 2^39 is exact in a double; a half rounds away from zero.
    fraction = int(math.floor((2.0 * half - 1.0) * _FRACTION_LIMIT + 0.5))
    if fraction == _FRACTION_LIMIT:
        fraction = 0
        exponent += 1
    if exponent < 1:
        return 0, 0
    if exponent > 255:
        raise Real48Overflow("value %r does not fit a 6-byte real" % value)
    return exponent, fraction


def encode(value):
    """Six bytes of the value, rounded to the nearest 39-bit fraction."""
    if value == 0.0:
        return bytes(6)
    if not math.isfinite(value):
        raise Real48Overflow("value %r does not fit a 6-byte real" % value)
    exponent, fraction = _parts(value)
    if exponent == 0:
        return bytes(6)
    sign = 0x80 if value < 0 else 0
    return bytes((exponent,
                  fraction & 0xFF, (fraction >> 8) & 0xFF,
                  (fraction >> 16) & 0xFF, (fraction >> 24) & 0xFF,
                  ((fraction >> 32) & 0x7F) | sign))


def snap(value):
    """The double that a stored value reads back as.

    The generator keeps every coordinate at such a value, so that what it
    computes (areas, angles, gaps) is what a reader of the files sees.
    """
    if value == 0.0:
        return 0.0
    exponent, fraction = _parts(value)
    if exponent == 0:
        return 0.0
    magnitude = math.ldexp(float(_FRACTION_LIMIT + fraction), exponent - 129 - 39)
    return -magnitude if value < 0 else magnitude


def encode_many(values):
    """The six-byte reals of many values, back to back.

    Works on the bits of the doubles: the top 39 of the 52 mantissa bits,
    rounded half away from zero, and the exponent rebiased from 1023 to 129;
    each real is then the 48-bit number exponent | fraction << 8, packed as
    its low 32 and high 16 bits.
    """
    n = len(values)
    halves = []
    append = halves.append
    for k, bits in enumerate(struct.unpack("<%dQ" % n, struct.pack("<%dd" % n, *values))):
        exponent = (bits >> 52) & 0x7FF
        if exponent == 0x7FF:
            raise Real48Overflow("value %r does not fit a 6-byte real" % values[k])
        fraction = ((bits & 0xFFFFFFFFFFFFF) + 0x1000) >> 13
        if fraction == _FRACTION_LIMIT:
            fraction = 0
            exponent += 1
        exponent -= 894
        if exponent < 1:
            # zero, or too small to store: six zero bytes
            append(0)
            append(0)
            continue
        if exponent > 255:
            raise Real48Overflow("value %r does not fit a 6-byte real" % values[k])
        real = exponent | (fraction | ((bits >> 63) << 39)) << 8
        append(real & 0xFFFFFFFF)
        append(real >> 32)
    return struct.pack("<" + "IH" * n, *halves)
