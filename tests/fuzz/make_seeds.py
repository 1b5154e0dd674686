#!/usr/bin/env python3
"""Writes the seed inputs of tests/fuzz/corpus/: each one a case a person would try first.

The fuzz targets read their input through FuzzedDataProvider, so a seed is encoded here the way
each target consumes it: numbers from the input's end, bytes and strings from its front. A
target that changes what it consumes keeps working with these seeds; they just mean something
else until this file is changed to match and run again (python3 tests/fuzz/make_seeds.py).
"""
import hashlib
import pathlib

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"


class Input:
    """Builds one input: `front` as the target reads it, `back` in the order it is read."""

    def __init__(self):
        self.front = bytearray()
        self.back = bytearray()

    def int_in(self, low, high, value, bits=64):
        """ConsumeIntegralInRange(low, high) returning value; bits is the width of its type."""
        span = high - low
        assert low <= value <= high
        result = value - low
        width = 0
        while width < bits and (span >> width) > 0:
            width += 8
        self.back += result.to_bytes(width // 8, "big")
        return self

    def integral(self, bits, signed, value):
        """ConsumeIntegral<T>() returning value."""
        low = -(1 << (bits - 1)) if signed else 0
        return self.int_in(low, low + (1 << bits) - 1, value, bits)

    def boolean(self, value):
        return self.integral(8, False, 1 if value else 0)

    def raw(self, data):
        """ConsumeBytes / ConsumeRemainingBytes."""
        self.front += data
        return self

    def string(self, text, longest):
        """ConsumeRandomLengthString(longest) returning text."""
        assert len(text) <= longest
        self.front += text.replace(b"\\", b"\\\\")
        if len(text) < longest:
            self.front += b"\\x"  # a backslash before anything but a backslash ends the string
        return self

    def data(self):
        return bytes(self.front) + bytes(reversed(self.back))


# Shared pieces, as fuzz_support.cpp consumes them.

def usb_id(i, value, usual):
    if value == usual:
        return i.int_in(0, 3, 2)
    if value == 0:
        return i.int_in(0, 3, 1)
    return i.int_in(0, 3, 0).integral(32, True, value)


CLAIMED = {-1: 0, 0: 1, 64: 2, 65: 3, 1000: 4}


def claimed_length(i, length, actual):
    if length == actual:
        return i.int_in(0, 8, 7)
    if length in CLAIMED:
        return i.int_in(0, 8, CLAIMED[length])
    return i.int_in(0, 8, 6).integral(32, True, length)


def identity(i, serial, length=None, vid=0x1A2B, pid=0xC3D4):
    usb_id(i, vid, 0x1A2B)
    usb_id(i, pid, 0xC3D4)
    i.int_in(0, 64, len(serial)).raw(serial)
    return claimed_length(i, len(serial) if length is None else length, len(serial))


def value_type(i, kind=1):
    if kind == 1:
        return i.boolean(True)
    return i.boolean(False).integral(32, False, kind)


def value_text(i, text):
    """ConsumeValue's free-form case: any bytes up to 128, then a zero byte or none."""
    with_zero = text.endswith(b"\0")
    return i.int_in(0, 5, 1).string(text[:-1] if with_zero else text, 128).boolean(with_zero)


def value_com_number(i, number, with_zero=True):
    return i.int_in(0, 5, 0).int_in(-40000, 40000, number).boolean(with_zero)


def value_sized(i, length, with_zero):
    """ConsumeValue's 95..105-byte case: COM000...09 and a zero byte or a 7."""
    return i.int_in(0, 5, 3).int_in(95, 105, length).boolean(with_zero)


def instance_path(i, index, highest):
    i.int_in(0, 7, 1)
    if index <= min(highest, 12):
        return i.boolean(True).int_in(0, min(highest, 12), index)
    return i.boolean(False).int_in(0, highest, index)


class Registry:
    """BuildRegistry's steps; `known` is how many identities it was given."""

    def __init__(self, i, steps, known, highest):
        self.i, self.known, self.highest = i, known, highest
        i.int_in(0, 40, steps)

    def pick(self, which):
        return self.i.int_in(0, self.known, which)  # which == known: the empty identity

    def device_id(self, index, which, with_zero=True, kind=1):
        instance_path(self.i.int_in(0, 9, 0), index, self.highest)
        self.pick(which)
        value_type(self.i.boolean(with_zero), kind)

    def port_98(self, index, value):
        instance_path(self.i.int_in(0, 9, 1), index, self.highest)
        value(self.i)
        value_type(self.i)

    def other_id_98(self, index, value, kind=1):
        instance_path(self.i.int_in(0, 9, 2), index, self.highest)
        value(self.i)
        value_type(self.i, kind)

    def row(self, last):
        b = last <= min(self.highest, 12)
        self.i.int_in(0, 9, 3).boolean(b).int_in(0, min(self.highest, 12) if b else self.highest, last)

    def port_xp(self, which, value, kind=1):
        self.i.int_in(0, 9, 4)
        self.pick(which)
        value(self.i)
        value_type(self.i, kind)

    def device_key_only(self, which, value=None):
        self.i.int_in(0, 9, 5)
        self.pick(which)
        self.i.boolean(value is not None)
        if value is not None:
            value(self.i)
            value_type(self.i)

    def control_set(self, with_usb):
        self.i.int_in(0, 9, 7).boolean(with_usb)

    def port_xp_capitals(self, which, value):
        self.i.int_in(0, 9, 8)
        self.pick(which)
        value(self.i)
        value_type(self.i)


def com(text):
    return lambda i: value_text(i, text)


# The targets' seeds.

def port_number_seeds():
    def value(data, size):
        i = Input().boolean(True).integral(32, False, size).boolean(False)
        return i.raw(data.ljust(102, b"\0")[:102])

    def text(chars, at=0, blanks=1, blank=0):
        i = Input().boolean(False).boolean(False).int_in(0, 4096, len(chars)).raw(chars)
        return i.int_in(0, len(chars), at).int_in(1, 3, blanks).int_in(0, 2, blank)

    def wide(chars):
        encoded = chars.encode("utf-16-le")
        i = Input().boolean(False).boolean(True).int_in(0, 4096, len(encoded)).raw(encoded)
        return i.int_in(0, len(chars), 0).int_in(1, 3, 1).int_in(0, 2, 0)

    return {
        "value-com4": value(b"COM4\0", 5),
        "value-com3.5": value(b"COM3.5\0", 7),
        "value-com1e99": value(b"COM1E99\0", 8),
        "value-lpt1-no-zero": value(b"LPT1", 4),
        "value-size-past-buffer": value(b"1" * 102, 0xFFFFFFFF),
        "text-0004": text(b"0004", at=2),
        "text-32767.5": text(b"00032767.5", at=5, blank=1),
        "text-exponent": text(b"0001E3", at=4, blanks=2, blank=2),
        "text-sign-blanks": text(b" - 3"),
        "text-tiny-times-huge": text(b"0.00000000000000000001E24", at=24),
        "text-wide-0012": wide("0012"),
    }


def convert_seeds():
    def case(data, length, near=False):
        return Input().integral(32, True, length).boolean(near).raw(data)

    return {
        "ascii": case(b"ABC", 3),
        "high-bytes": case(bytes([0x80, 0x81, 0x9F, 0xFA, 0xFF]), 0x7FFFFFFF),
        "zero-byte-negative": case(b"x\0y", -1),
        "one-past": case(b"K" * 64, 1, near=True),
    }


def lookup_seeds():
    seeds = {}

    def lookup(serial, length=None, vid=0x1A2B, pid=0xC3D4):
        i = Input()
        identity(i, serial, length, vid, pid)
        identity(i, b"OTHER", None)
        return i

    i = lookup(b"ABC 12")
    r = Registry(i, 1, 2, 40)
    r.port_xp(0, com(b"COM5\0"))
    seeds["xp-match"] = i

    i = lookup(b"S1")
    r = Registry(i, 3, 2, 40)
    r.port_xp(0, lambda i: value_sized(i, 100, True))
    r.port_xp_capitals(1, com(b"COM3\0"))
    r.control_set(True)
    seeds["xp-100-bytes"] = i

    i = lookup(b"S1")
    r = Registry(i, 1, 2, 40)
    r.port_xp(0, lambda i: value_sized(i, 101, True))
    seeds["xp-101-bytes"] = i

    i = lookup(b"S1")
    r = Registry(i, 1, 2, 40)
    r.device_key_only(0, com(b"COM4\0"))
    seeds["xp-no-device-parameters"] = i

    i = lookup(b"S1")
    r = Registry(i, 1, 2, 40)
    r.port_xp(0, lambda i: value_com_number(i, 7), kind=3)
    seeds["xp-binary-type"] = i

    i = lookup(b"abc 12")
    r = Registry(i, 4, 2, 40)
    r.row(2)
    r.device_id(1, 0)
    r.port_98(1, com(b"COM7\0"))
    r.device_id(2, 1)
    seeds["98-match-among-three"] = i

    i = lookup(b"S1")
    r = Registry(i, 4, 2, 40)
    r.other_id_98(0, lambda i: value_sized(i, 103, True))
    r.device_id(1, 0)
    r.port_98(1, com(b"COM5\0"))
    r.port_98(0, com(b"COM3\0"))
    seeds["98-long-id-passed-over"] = i

    i = lookup(b"a\0b c", length=1000)
    r = Registry(i, 3, 2, 40)
    r.device_id(0, 0, with_zero=False)
    r.port_98(0, com(b"COM12\0"))
    r.port_xp(0, com(b"COM9"))
    seeds["serial-zero-byte-both-layouts"] = i

    i = lookup(b"", length=-1, vid=-1, pid=0x12345)
    r = Registry(i, 3, 2, 40)
    r.row(40)
    r.device_id(40, 0)
    r.port_98(40, com(b"COM1E3\0"))
    seeds["98-row-of-41-odd-ids"] = i
    return seeds


def scan_seeds():
    seeds = {}
    versions = {0x0A280105: 0, 0xC0000A04: 1, 0x05650004: 2, 0x4A61000A: 3}

    def scan(version, devices, count=None, count_status=None):
        """devices: (serial, claimed length or None, {call: status})."""
        i = Input().int_in(0, 5, versions[version]).int_in(0, 6, len(devices))
        for serial, length, failures in devices:
            usb_id(i, 0x1A2B, 0x1A2B)
            usb_id(i, 0xC3D4, 0xC3D4)
            i.string(serial, 80).boolean(length is not None)
            if length is not None:
                claimed_length(i, length, len(serial))
            for call in ("Open", "Vid", "Pid", "Serial", "Close"):
                if call in failures:
                    i.int_in(0, 5, 0).integral(16, True, failures[call])
                else:
                    i.int_in(0, 5, 1)
        counts = {-1: 0, 0: 1, 65536: 3}
        if count is None:
            i.int_in(0, 63, 8)
        elif count in counts:
            i.int_in(0, 63, counts[count])
        else:
            i.int_in(0, 63, 6).int_in(-3, 12, count)
        i.boolean(count_status is not None)
        if count_status is not None:
            i.integral(16, True, count_status)
        return i

    i = scan(0x0A280105, [(b"FIRST", None, {}), (b"SECOND", None, {"Serial": 9})])
    Registry(i, 1, 1, 8).port_xp(0, com(b"COM4\0"))
    seeds["xp-two-devices-second-fails"] = i

    i = scan(0xC0000A04, [(b"abc 12", None, {})])
    r = Registry(i, 3, 1, 8)
    r.row(1)
    r.device_id(1, 0)
    r.port_98(1, com(b"COM6\0"))
    seeds["98-one-device"] = i

    i = scan(0x4A61000A, [(b"S1", None, {})], count=65536)
    Registry(i, 1, 1, 8).port_xp(0, com(b"COM3\0"))
    seeds["count-65536"] = i

    i = scan(0x0A280105, [(b"S1", None, {})], count=-1, count_status=3)
    seeds["count-minus-one"] = i

    i = scan(0x05650004, [(b"S1", None, {}), (b"S2", None, {"Close": 5})])
    Registry(i, 1, 2, 8).port_xp(0, com(b"COM3\0"))
    seeds["nt4-no-lookup"] = i

    i = scan(0x0A280105, [(b"K" * 70, 1000, {}), (b"\x80 \xff", -1, {"Open": 4})], count=3)
    r = Registry(i, 2, 1, 8)
    r.port_xp(0, com(b"COM64\0"))
    r.port_xp(1, com(b"COM2\0"))  # the empty identity's key: devices whose reads failed
    seeds["xp-long-serial-and-failed-open"] = i
    return seeds


def main():
    targets = {
        "port_number_fuzz": port_number_seeds(),
        "convert_fuzz": convert_seeds(),
        "lookup_fuzz": lookup_seeds(),
        "scan_fuzz": scan_seeds(),
    }
    for target, seeds in targets.items():
        folder = CORPUS / target
        folder.mkdir(parents=True, exist_ok=True)
        for name, seed in seeds.items():
            (folder / name).write_bytes(seed.data())


if __name__ == "__main__":
    main()
