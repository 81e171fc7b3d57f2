"""Writes small DSP program files of the kind KT_RDSP_Init loads.

Start-up loads ./out/idbout/testcmp.out (relative to the current directory)
into both video DSPs. A session without that file still starts, but the
loader prints that the file was not opened and the video DSPs hold no
program. write_display_programs() puts a minimal one in place: a COFF
version 2, little-endian, C6000 file whose only section stores, at video DSP
address 0x80000000, the address of the program's distance variable, as the
real display program does. KT_RDSP_SetPPIDist and KT_RDSP_SetArDist write the
distance there.
"""
import collections
import os
import struct

__all__ = ["Section", "build_program", "display_program", "write_display_programs", "write_program"]

Section = collections.namedtuple("Section", "name address data")

_VERSION = 0x00C2
_FLAG_LITTLE_ENDIAN = 0x0100
_TARGET_C6000 = 0x0099
_OPTIONAL_HEADER = struct.Struct("<HHIIIIII")      # 28 bytes
_FILE_HEADER = struct.Struct("<HHIIIHHH")          # 22 bytes
_SECTION_HEADER = struct.Struct("<8sIIiiIIIIIHH")   # 48 bytes
_STYP_TEXT = 0x20

#: Video DSP word that holds the address of the distance variable.
DISTANCE_POINTER = 0x80000000
#: Where the sample program keeps its distance variable.
DISTANCE_VARIABLE = 0x80001000


def build_program(sections):
    """The bytes of a program file holding the given sections."""
    first_data = _FILE_HEADER.size + _OPTIONAL_HEADER.size + _SECTION_HEADER.size * len(sections)
    headers = []
    position = first_data
    for section in sections:
        name = section.name.encode("ascii")[:8]
        headers.append(_SECTION_HEADER.pack(name, section.address, section.address, len(section.data),
                                            position, 0, 0, 0, 0, _STYP_TEXT, 0, 0))
        position += len(section.data)
    file_header = _FILE_HEADER.pack(_VERSION, len(sections), 0, 0, 0, _OPTIONAL_HEADER.size,
                                    _FLAG_LITTLE_ENDIAN, _TARGET_C6000)
    optional_header = _OPTIONAL_HEADER.pack(0x0108, 0, 0, 0, 0, 0, 0, 0)
    return b"".join([file_header, optional_header, *headers, *(s.data for s in sections)])


def write_program(path, sections):
    """Writes a program file, creating its directory."""
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as f:
        f.write(build_program(sections))


def display_program(distance_variable=DISTANCE_VARIABLE):
    """Sections of a minimal video DSP display program."""
    return [Section(".cinit", DISTANCE_POINTER, struct.pack("<I", distance_variable))]


def write_display_programs(directory="."):
    """Puts out/idbout/testcmp.out under directory; returns its path."""
    path = os.path.join(directory, "out", "idbout", "testcmp.out")
    write_program(path, display_program())
    return path
