#!/usr/bin/env python3
"""Tests of the Python module radovl (python/radovl), run by ctest in three
settings: the source copy given the library explicitly, the build's copy and
the installed copy (both left to find their library themselves).

Options (before any unittest options):
  --library PATH              load this library instead of searching
  --headers DIR               check the declarations against radovl.h and sim.h in DIR
  --expect-library PATH       the search must find exactly this file
  --expect-library-under DIR  the search must find a library inside DIR
  --expect-version VERSION    the module and the library report this version
"""
import argparse
import ctypes
import ctypes.util
import os
import re
import sys
import subprocess
import tempfile
import unittest

import radovl
from radovl import coff

ARGS = None
LIB = None


def parse_declarations(path):
    """{name: (restype, [argtypes])} of the RADOVL_API functions in a header."""
    with open(path, encoding="utf-8") as f:
        text = re.sub(r"/\*.*?\*/", " ", f.read(), flags=re.S)
    types = {
        "void": None,
        "int32_t": ctypes.c_int32,
        "uint32_t": ctypes.c_uint32,
        "uint64_t": ctypes.c_uint64,
        "float": ctypes.c_float,
        "const char *": ctypes.c_char_p,
        "RadovlSimRequest *": ctypes.POINTER(radovl.RequestStruct),
        "RadovlSimObserver": ctypes.CFUNCTYPE(None, ctypes.POINTER(radovl.RequestStruct), ctypes.c_void_p),
        "RadovlSimReadSource": ctypes.CFUNCTYPE(ctypes.c_int32, ctypes.POINTER(radovl.RequestStruct),
                                                ctypes.POINTER(ctypes.c_uint32), ctypes.c_void_p),
        "RadovlSimAnswerSource": ctypes.CFUNCTYPE(ctypes.c_int32, ctypes.POINTER(radovl.RequestStruct),
                                                  ctypes.POINTER(ctypes.c_int32), ctypes.c_void_p),
        "void *": ctypes.c_void_p,
    }

    def ctype(param):
        tokens = param.replace("*", " * ").split()
        if len(tokens) > 1 and tokens[-1] != "*":
            tokens = tokens[:-1]  # the parameter's name
        return types[" ".join(tokens)]

    functions = {}
    for ret, name, params in re.findall(r"RADOVL_API\s+(\w+)\s+RADOVL_CALL\s+(\w+)\s*\(([^)]*)\)\s*;", text):
        params = " ".join(params.split())
        argtypes = [] if params == "void" else [ctype(p) for p in params.split(",")]
        functions[name] = (types[ret], argtypes)
    return functions


def parse_statuses(path):
    with open(path, encoding="utf-8") as f:
        return {name: int(value) for name, value in
                re.findall(r"#define\s+RADOVL_STATUS_(\w+)\s+\(?\s*(-?\d+)\s*\)?", f.read())}


class Declarations(unittest.TestCase):
    """Every function is declared with the slot types its header gives."""

    def setUp(self):
        if not ARGS.headers:
            self.skipTest("no --headers")

    def test_every_header_function_declared_with_its_types(self):
        declared = parse_declarations(os.path.join(ARGS.headers, "radovl.h"))
        self.assertEqual(len(declared), 50)
        declared.update(parse_declarations(os.path.join(ARGS.headers, "sim.h")))
        self.assertEqual(sorted(LIB.functions), sorted(declared))
        for name, (restype, argtypes) in declared.items():
            function = LIB.functions[name]
            with self.subTest(name=name):
                self.assertEqual(function.restype, restype)
                self.assertEqual(list(function.argtypes), argtypes)

    def test_status_values_match_the_header(self):
        statuses = parse_statuses(os.path.join(ARGS.headers, "radovl.h"))
        self.assertEqual(statuses, {"DONE": 1, "BAD_ARGUMENT": -1, "NOT_INITIALISED": -2})
        self.assertEqual({s.name: int(s) for s in radovl.Status}, statuses)
        self.assertEqual((radovl.STATUS_DONE, radovl.STATUS_BAD_ARGUMENT, radovl.STATUS_NOT_INITIALISED),
                         (1, -1, -2))

    def test_trace_record_layout_matches_sim_h(self):
        with open(os.path.join(ARGS.headers, "sim.h"), encoding="utf-8") as f:
            body = re.search(r"typedef struct RadovlSimRequest \{(.*?)\}", f.read(), re.S).group(1)
        body = re.sub(r"/\*.*?\*/", "", body, flags=re.S)
        fields = re.findall(r"(u?int32_t)\s+(\w+);", body)
        expected = [(n, ctypes.c_int32 if t == "int32_t" else ctypes.c_uint32) for t, n in fields]
        self.assertEqual(radovl.RequestStruct._fields_, expected)
        self.assertEqual(radovl.Request._fields, tuple(n for _, n in fields))


class Errors(unittest.TestCase):
    """Missing libraries and symbols are reported with what and where."""

    def test_missing_file_names_the_path(self):
        missing = os.path.join(tempfile.gettempdir(), "no-such-dir", "libradovl.so")
        with self.assertRaises(radovl.LibraryNotFoundError) as raised:
            radovl.load(missing)
        self.assertIn(missing, str(raised.exception))
        self.assertIn("no such file", str(raised.exception))

    def test_environment_variable_is_followed_and_named(self):
        missing = os.path.join(tempfile.gettempdir(), "no-such-dir", "libradovl.so")
        saved = os.environ.get("RADOVL_LIBRARY")
        os.environ["RADOVL_LIBRARY"] = missing
        try:
            with self.assertRaises(radovl.LibraryNotFoundError) as raised:
                radovl.load()
            self.assertIn("RADOVL_LIBRARY", str(raised.exception))
            self.assertIn(missing, str(raised.exception))
            os.environ["RADOVL_LIBRARY"] = LIB.path
            self.assertEqual(radovl.load().path, LIB.path)
        finally:
            if saved is None:
                del os.environ["RADOVL_LIBRARY"]
            else:
                os.environ["RADOVL_LIBRARY"] = saved

    def test_other_library_lists_every_missing_export(self):
        other = ctypes.util.find_library("m")
        if other is None:
            self.skipTest("no C maths library to stand in")
        for simulator in (True, False):
            with self.subTest(simulator=simulator):
                with self.assertRaises(radovl.MissingSymbolError) as raised:
                    radovl.load(other, simulator=simulator)
                self.assertEqual(sorted(raised.exception.missing), sorted(radovl.EXPORT_NAMES))
                self.assertIn("KT_RDSP_Init", str(raised.exception))
                self.assertIn(other, str(raised.exception))

    def test_path_as_bytes_is_taken(self):
        missing = os.path.join(tempfile.gettempdir(), "no-such-dir", "libradovl.so")
        with self.assertRaises(radovl.LibraryNotFoundError) as raised:
            radovl.load(os.fsencode(missing))
        self.assertIn(missing, str(raised.exception))
        self.assertEqual(radovl.load(os.fsencode(LIB.path)).path, LIB.path)

    def test_modules_come_with_the_package(self):
        # In a fresh interpreter, where nothing imported them before.
        code = "import radovl; radovl.coff.write_program; radovl.capture.read"
        environment = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path))
        subprocess.run([sys.executable, "-c", code], env=environment, check=True)

    def test_empty_path_is_refused(self):
        with self.assertRaises(radovl.LibraryNotFoundError) as raised:
            radovl.load("")
        self.assertIn("empty", str(raised.exception))

    def test_arguments_are_checked_before_the_call(self):
        cases = [
            ("KT_RDSP_OpenOverlay", (1,), TypeError, "KT_RDSP_OpenOverlay() takes 2 arguments (1 given)"),
            ("KT_RDSP_OpenOverlay", (1, 1, 1), TypeError, "takes 2 arguments (3 given)"),
            ("KT_RDSP_Init", (0,), TypeError, "KT_RDSP_Init() takes 0 arguments (1 given)"),
            ("KT_RDSP_OpenOverlay", (2**31, 1), ValueError, "argument 1: 2147483648 is outside"),
            ("KT_RDSP_OpenOverlay", (1, -2**31 - 1), ValueError, "argument 2: -2147483649 is outside"),
            ("KT_RDSP_SetTVColorKey", (1, 2**32), ValueError, "argument 2: 4294967296 is outside 0..4294967295"),
            ("KT_RDSP_SetTVColorKey", (1, -1), ValueError, "argument 2: -1 is outside"),
            ("KT_RDSP_OpenOverlay", ("1", 1), TypeError, "argument 1 must be an integer, not str"),
            ("KT_RDSP_SetPPIShipDir", (1, "north"), TypeError, "argument 2 must be a number, not str"),
            ("RadovlSim_SetExecutablePath", ("a\0b",), ValueError, "argument 1: a path holds no NUL character"),
            ("RadovlSim_SetExecutablePath", (b"a\0b",), ValueError, "argument 1: a path holds no NUL character"),
        ]
        LIB.RadovlSim_TraceClear()
        for name, args, error, message in cases:
            with self.subTest(name=name, args=args):
                with self.assertRaises(error) as raised:
                    getattr(LIB, name)(*args)
                self.assertIn(message, str(raised.exception))
        self.assertEqual(LIB.RadovlSim_RequestCount(), 0)

    def test_without_simulator_the_trace_is_refused_clearly(self):
        lib = radovl.load(LIB.path, simulator=False)
        self.assertFalse(hasattr(lib, "RadovlSim_Reset"))
        with self.assertRaises(radovl.RadovlError) as raised:
            lib.trace()
        self.assertIn("simulator", str(raised.exception))


class Session(unittest.TestCase):
    """A start-up through the module, seen on the simulated board."""

    def setUp(self):
        self.previous = os.getcwd()
        self.workspace = tempfile.TemporaryDirectory(prefix="radovl-module-")
        os.chdir(self.workspace.name)
        LIB.RadovlSim_Reset()
        LIB.RadovlSim_SetExecutablePath(os.path.join(self.workspace.name, "console"))

    def tearDown(self):
        LIB.RadovlSim_Reset()
        os.chdir(self.previous)
        self.workspace.cleanup()

    def start_up(self):
        sys.stdout.flush()
        self.assertEqual(LIB.KT_RDSP_Init(), radovl.Status.DONE)

    def test_display_program_is_loaded_into_both_video_dsps(self):
        coff.write_display_programs(self.workspace.name)
        self.start_up()
        for dsp in (0, 1):
            self.assertEqual(LIB.RadovlSim_PeekVideo(0, dsp, 0x80000000), 0x80001000)

    def test_trace_reads_as_named_tuples(self):
        self.assertEqual(LIB.KT_RDSP_OpenOverlay(1, 1), radovl.Status.NOT_INITIALISED)
        self.assertEqual(LIB.trace(), [])
        self.start_up()
        LIB.RadovlSim_TraceClear()
        self.assertEqual(LIB.KT_RDSP_OpenOverlay(1, 1), radovl.Status.DONE)
        trace = LIB.trace()
        self.assertEqual(len(trace), LIB.RadovlSim_TraceCount())
        self.assertIsNone(LIB.trace_get(len(trace)))
        self.assertTrue(all(isinstance(r, radovl.Request) for r in trace))
        self.assertTrue(all(r.code == 0xC3502047 and r.board == 0 and r.status == 0 for r in trace))
        # Page 0x2C0 (0xB0000000) selected, then 0xB0203018 read and written
        # back with the overlay bit.
        page, read, page_again, write = trace
        self.assertEqual((page.space, page.offset, page.value), (2, 8, 0x2C0))
        self.assertEqual((read.function, read.space, read.offset), (8, 0, 0x00203018))
        self.assertEqual(page_again, page)
        self.assertEqual((write.function, write.space, write.offset, write.value), (9, 0, 0x00203018, 0x02000000))

    def test_slots_carry_wide_unsigned_and_float_arguments(self):
        self.start_up()
        # A colour key with the top bit set needs the unsigned slot; the
        # board keeps bits 24-31 of the key register as they were.
        self.assertEqual(LIB.KT_RDSP_SetTVColorKey(2, 0xFF123456), radovl.Status.DONE)
        self.assertEqual(LIB.RadovlSim_PeekMain(0, 0xB0203014), 0x00123456)
        # The narrow channel comes from the low 8 bits of its slot.
        self.assertEqual(LIB.KT_RDSP_SetTVColorKey(0x102, 0x00ABCDEF), radovl.Status.DONE)
        self.assertEqual(LIB.RadovlSim_PeekMain(0, 0xB0203014), 0x00ABCDEF)
        self.assertEqual(LIB.KT_RDSP_SetPPIShipDir(3, 90.5), radovl.Status.BAD_ARGUMENT)


class Location(unittest.TestCase):
    """The copy of the module under test finds its own library and version."""

    def test_search_finds_the_expected_library(self):
        if not (ARGS.expect_library or ARGS.expect_library_under):
            self.skipTest("no expected location")
        found = os.path.realpath(radovl.load().path)
        if ARGS.expect_library:
            self.assertEqual(found, os.path.realpath(ARGS.expect_library))
        if ARGS.expect_library_under:
            self.assertTrue(found.startswith(os.path.realpath(ARGS.expect_library_under) + os.sep), found)

    def test_version(self):
        if not ARGS.expect_version:
            self.skipTest("no expected version")
        self.assertEqual(radovl.__version__, ARGS.expect_version)
        self.assertEqual(LIB.version, ARGS.expect_version)


def main():
    global ARGS, LIB
    parser = argparse.ArgumentParser()
    parser.add_argument("--library")
    parser.add_argument("--headers")
    parser.add_argument("--expect-library")
    parser.add_argument("--expect-library-under")
    parser.add_argument("--expect-version")
    ARGS, rest = parser.parse_known_args()
    LIB = radovl.load(ARGS.library)
    print(f"radovl module {radovl.__version__} from {os.path.dirname(radovl.__file__)}, library {LIB.path}")
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
