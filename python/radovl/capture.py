"""Capture files the library writes when RADOVL_CAPTURE names a file.

    from radovl import capture

    for record in capture.read("site.cap"):
        if isinstance(record, capture.Call):
            print(record.number, record.name, record.args)
        elif isinstance(record, capture.Request) and record.is_read:
            print("  read", hex(record.offset), "->", hex(record.value))

`read` yields, in file order, a Call when an export call begins, a Request
for each driver request it sent, a Platform for each screen or monitor
query it made and a File for each file it opened (format version 2), and a
Return when it returned. A file that
is not a capture, or of a version this module does not read, raises
CaptureError at once; a file cut short raises CaptureError after its last
whole record (the message gives the byte where it stopped). The layout is
radovl/capture.h's.
"""
import collections
import os
import struct

__all__ = ["Call", "CaptureError", "File", "Header", "Platform", "Request", "Return", "read", "read_header"]

MAGIC = b"RADOVCAP"
VERSION = 2
VERSIONS = (1, 2)
KIND_CALL, KIND_REQUEST, KIND_RETURN, KIND_PLATFORM, KIND_FILE = 1, 2, 3, 4, 5
SCREEN, MONITOR = 1, 2
MAX_ARGS = 7
CODE_MEMORY_REQUEST = 0xC3502047
CODE_WINDOW_QUERY = 0xC35020C3

_HEADER = struct.Struct("<8sII16s")
_CALL = struct.Struct("<BBH32s7I")
_REQUEST = struct.Struct("<BBBBI7IiII")
_RETURN = struct.Struct("<B3xiII")
_PLATFORM = struct.Struct("<BBHiiiiiiI")
_FILE = struct.Struct("<BBHI8x")
_RECORDS = {KIND_CALL: _CALL, KIND_REQUEST: _REQUEST, KIND_RETURN: _RETURN, KIND_PLATFORM: _PLATFORM,
            KIND_FILE: _FILE}
_KIND_NAMES = {KIND_CALL: "a call record", KIND_REQUEST: "a request record", KIND_RETURN: "a return record",
               KIND_PLATFORM: "a platform record", KIND_FILE: "a file record"}


class CaptureError(ValueError):
    """The file is not a whole capture this module reads."""


Header = collections.namedtuple("Header", "version library")
Call = collections.namedtuple("Call", "number name args offset")
"""An export call: its 1-based number, name and each argument's raw 32-bit slot."""
Return = collections.namedtuple("Return", "number status requests offset")
"""The end of call `number`: its status and how many requests it sent."""
Platform = collections.namedtuple("Platform", "call what x y left top right bottom offset")
"""What call `call` read from the system: `what` SCREEN (the clip box) or
MONITOR (the monitor of point x, y), and the rectangle answered."""
File = collections.namedtuple("File", "call name present data offset")
"""A file call `call` opened: its name, whether it was present, its bytes."""


class Request(collections.namedtuple(
        "Request", "call number board code status_sent function space offset reserved count data "
        "answered status value extra file_offset")):
    """A driver request of call `call` (its `number`th), the record as sent
    and the driver's answer: `answered` the driver call's success, `status`
    the status word returned, `value` the value read (a window query: the
    window address, `extra` the second word)."""

    __slots__ = ()

    @property
    def is_read(self):
        return self.code == CODE_MEMORY_REQUEST and self.function & 0x3 == 0


def _header(f, path):
    start = f.read(_HEADER.size)
    if not start:
        raise CaptureError("%s: empty file: not a capture" % path)
    if not start.startswith(MAGIC[:len(start)]) or len(start) < len(MAGIC):
        raise CaptureError("%s: not a radovl capture (it does not start with %r)" % (path, MAGIC.decode()))
    if len(start) < _HEADER.size:
        raise CaptureError("%s: ends inside the capture header" % path)
    _, version, header_bytes, library = _HEADER.unpack(start)
    if version not in VERSIONS:
        raise CaptureError("%s: capture format version %d; this module reads versions 1 to %d"
                           % (path, version, VERSION))
    if header_bytes != _HEADER.size:
        raise CaptureError("%s: damaged header" % path)
    return Header(version, library.split(b"\0", 1)[0].decode("ascii", "replace"))


def read_header(path):
    """The header of a capture: format version and the writing library's version."""
    with open(path, "rb") as f:
        return _header(f, path)


def read(path):
    """Yields the Call, Request and Return records of a capture, in order."""
    with open(path, "rb") as f:
        version = _header(f, path).version
        offset = _HEADER.size
        calls = 0
        requests = 0
        in_call = False
        while True:
            kind_byte = f.read(1)
            if not kind_byte:
                if in_call:
                    raise CaptureError("%s: ends inside call %d, before it returned" % (path, calls))
                return
            kind = kind_byte[0]
            layout = _RECORDS.get(kind)
            if layout is None or (version < 2 and kind > KIND_RETURN):
                raise CaptureError("%s: unknown record kind %d at byte %d" % (path, kind, offset))
            body = kind_byte + f.read(layout.size - 1)
            if len(body) < layout.size:
                raise CaptureError("%s: truncated: ends inside %s at byte %d" % (path, _KIND_NAMES[kind], offset))
            fields = layout.unpack(body)
            if kind in (KIND_PLATFORM, KIND_FILE) and not in_call:
                raise CaptureError("%s: %s at byte %d outside any call" % (path, _KIND_NAMES[kind], offset))
            if kind == KIND_PLATFORM:
                yield Platform(calls, fields[1], *fields[3:9], offset)
            elif kind == KIND_FILE:
                # The sizes come from the file: checked against what it holds
                # before anything that large is read.
                left = os.fstat(f.fileno()).st_size - f.tell()
                name, data = (f.read(fields[2]), f.read(fields[3])) if fields[2] + fields[3] <= left else (b"", b"")
                if len(name) < fields[2] or len(data) < fields[3]:
                    raise CaptureError("%s: truncated: ends inside the name or bytes of the file record at byte %d"
                                       % (path, offset))
                yield File(calls, name.decode("utf-8", "backslashreplace"), bool(fields[1]), data, offset)
                offset += fields[2] + fields[3]
            elif kind == KIND_CALL:
                if fields[1] > MAX_ARGS:
                    raise CaptureError("%s: call %d at byte %d has %d arguments, more than a call takes (%d)"
                                       % (path, calls + 1, offset, fields[1], MAX_ARGS))
                if in_call:
                    raise CaptureError("%s: call at byte %d begins before call %d returned" % (path, offset, calls))
                calls += 1
                requests = 0
                in_call = True
                count, name = fields[1], fields[3]
                yield Call(calls, name.split(b"\0", 1)[0].decode("ascii", "backslashreplace"),
                           tuple(fields[4:4 + count]), offset)
            elif kind == KIND_REQUEST:
                if not in_call:
                    raise CaptureError("%s: request at byte %d outside any call" % (path, offset))
                requests += 1
                _, board, answered, _, code = fields[:5]
                sent = fields[5:12]
                status, value, extra = fields[12:]
                yield Request(calls, requests, board, code, *sent, bool(answered), status, value, extra, offset)
            else:
                if not in_call:
                    raise CaptureError("%s: return at byte %d without a call" % (path, offset))
                if fields[2] != requests:
                    raise CaptureError("%s: call %d returns at byte %d after %d requests, but the capture holds %d"
                                       % (path, calls, offset, fields[2], requests))
                in_call = False
                yield Return(calls, fields[1], fields[2], offset)
            offset += layout.size
