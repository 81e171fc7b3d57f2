#!/usr/bin/env python3
"""Capture at a site, end to end: the demo console run with RADOVL_CAPTURE,
its capture decoded, replayed and compared by radovl-sim and read by
radovl.capture; a changed register value found at its call; damaged files
refused clearly; a capture that cannot be written leaves the console running.

    capture_test.py --tool PATH/radovl-sim --examples DIR [unittest options]
"""
import argparse
import json
import os
import re
import resource
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import unittest

from radovl import capture

ARGS = None
SITE = ["--monitor", "0", "0", "1280", "1024", "--monitor", "1280", "0", "2560", "1024",
        "--screen", "0", "0", "2560", "1024"]


def tool(*args, env=None, cwd=None, file_limit=None):
    """Runs radovl-sim; file_limit: the largest file it may write, in bytes,
    as a real file-size limit (writes beyond it fail with EFBIG)."""
    environment = dict(os.environ)
    environment.pop("RADOVL_CAPTURE", None)
    environment.update(env or {})

    def limit():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (file_limit, file_limit))

    return subprocess.run([ARGS.tool, *args], cwd=cwd, env=environment, capture_output=True, text=True,
                          timeout=120, preexec_fn=limit if file_limit is not None else None)


def requests_only(text):
    """The decoded request lines of a trace or a decoded capture."""
    return [line for line in text.splitlines() if line.strip() and not line.startswith("#")]


def first_difference(a, b):
    """Where two long lists of lines part (unittest's own diff of them takes minutes)."""
    return next(((i, x, y) for i, (x, y) in enumerate(zip(a, b)) if x != y), (len(a), len(b)))


class Capture(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="radovl-capture-")
        cls.scenario = os.path.join(ARGS.examples, "console.scenario")
        cls.capture = os.path.join(cls.dir, "demo.cap")
        # --workdir: the replays below run where the site's out/ is.
        run = tool("run", cls.scenario, "--quiet", "--trace", "trace.txt", "--workdir", cls.dir, cwd=cls.dir,
                   env={"RADOVL_CAPTURE": cls.capture})
        assert run.returncode == 0, run.stdout + run.stderr
        with open(os.path.join(cls.dir, "trace.txt"), encoding="utf-8") as f:
            cls.trace = f.read()
        with open(cls.capture, "rb") as f:
            cls.bytes = f.read()
        cls.records = list(capture.read(cls.capture))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    def write(self, name, data):
        path = os.path.join(self.dir, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def test_decode_gives_the_requests_of_the_tools_own_trace(self):
        decoded = tool("decode", self.capture)
        self.assertEqual(decoded.returncode, 0, decoded.stderr)
        decoded, trace = requests_only(decoded.stdout), requests_only(self.trace)
        self.assertTrue(decoded == trace, first_difference(decoded, trace))

    def test_calls_view_and_python_reader_agree_with_the_scenario(self):
        calls = [r for r in self.records if isinstance(r, capture.Call)]
        returns = [r for r in self.records if isinstance(r, capture.Return)]
        requests = [r for r in self.records if isinstance(r, capture.Request)]
        with open(self.scenario, encoding="utf-8") as f:
            wanted = [line.split("#")[0].split("=")[0].split() for line in f if line.startswith(("KT_", "Set"))]
        self.assertEqual([c.name for c in calls], [w[0] for w in wanted])
        self.assertEqual(len(returns), len(calls))
        self.assertTrue(all(r.status == 1 for r in returns))
        self.assertEqual(sum(r.requests for r in returns), len(requests))
        ship = next(c for c in calls if c.name == "KT_RDSP_SetPPIShipDir")
        self.assertEqual(ship.args, (1, struct.unpack("<I", struct.pack("<f", 35.0))[0]))
        self.assertEqual(requests[0].code, capture.CODE_WINDOW_QUERY)

        view = tool("decode", "--calls", self.capture)
        self.assertEqual(view.returncode, 0, view.stderr)
        lines = [line for line in view.stdout.splitlines() if not line.startswith("#")]
        self.assertEqual(len(lines), len(calls))
        self.assertEqual(lines[0], "KT_RDSP_Init = 1    # call 1, {:,} requests".format(returns[0].requests))
        self.assertEqual(lines[2], "KT_RDSP_SetPPILineColor 1 0xFFFFFF00 = 1    # call 3, 512 requests")
        self.assertEqual(lines[5], "KT_RDSP_SetPPIShipDir 1 35.0 = 1    # call 6, 12 requests")

    def test_exports_for_other_viewers(self):
        calls = [r for r in self.records if isinstance(r, capture.Call)]
        returns = [r for r in self.records if isinstance(r, capture.Return)]
        exported = {f: tool("decode", "--format=" + f, self.capture) for f in ("chrome-trace", "jsonl", "vcd", "calls")}
        for name, run in exported.items():
            self.assertEqual(run.returncode, 0, name + ": " + run.stderr)
        self.assertEqual(exported["calls"].stdout, tool("decode", "--calls", self.capture).stdout)
        self.assertEqual(tool("decode", "--format=png", self.capture).returncode, 2)

        with self.subTest("chrome-trace: one complete slice a call, on its board's track"):
            events = json.loads(exported["chrome-trace"].stdout)["traceEvents"]
            slices = [e for e in events if e["ph"] == "X"]
            self.assertEqual([e["name"] for e in slices], [c.name for c in calls])
            self.assertEqual([(e["args"]["status"], e["args"]["requests"]) for e in slices],
                             [(r.status, r.requests) for r in returns])
            self.assertEqual(slices[1]["args"]["arguments"], ["1", "0x20FF6000"])
            self.assertEqual(slices[1]["ts"], returns[0].requests)
            self.assertEqual({e["tid"] for e in slices}, {0})
            self.assertIn({"name": "thread_name", "ph": "M", "pid": 1, "tid": 0, "args": {"name": "board 0"}}, events)

        with self.subTest("jsonl: one object a record, in the file's order"):
            objects = [json.loads(line) for line in exported["jsonl"].stdout.splitlines()]
            self.assertEqual(objects[0]["kind"], "header")
            kinds = {capture.Call: "call", capture.Request: "request", capture.Return: "return",
                     capture.Platform: "platform", capture.File: "file"}
            self.assertEqual([o["kind"] for o in objects[1:]], [kinds[type(r)] for r in self.records])
            request = next(o for o in objects if o["kind"] == "request")
            self.assertEqual(request["code"], 0xC35020C3)

        with self.subTest("vcd: a variable per named register; a window register's last value is the last written"):
            ids, scope, final = {}, [], {}
            text = exported["vcd"].stdout
            self.assertIn("$enddefinitions $end", text)
            for line in text.splitlines():
                w = line.split()
                if w[:2] == ["$scope", "module"]:
                    scope.append(w[2])
                elif w[:1] == ["$upscope"]:
                    scope.pop()
                elif w[:1] == ["$var"]:
                    self.assertEqual(w[1:3], ["wire", "32"])
                    ids[w[3]] = "/".join(scope + [w[4]])
                elif line.startswith("b"):
                    final[ids[w[1]]] = int(w[0][1:], 2)
            self.assertEqual(scope, [])
            self.assertEqual(len(set(ids.values())), len(ids))
            written = {}
            for m in re.finditer(r"(?m)^\s+\d+\s+main\s+W32 0x[0-9A-F]+\s+(\w+(?:\[\d\])?)\s+=\s+0x([0-9A-F]+)",
                                 tool("decode", self.capture).stdout):
                # The window registers hold what was written; the bridge, I2C and reset
                # registers move on by themselves as the board carries the access out.
                if re.match(r"(Ppi|Mini|Ar|Tv|Display|Channel)", m.group(1)):
                    written["board0/main/" + m.group(1).replace("[", "_").replace("]", "")] = int(m.group(2), 16)
            self.assertGreater(len(written), 20)
            self.assertEqual(final["board0/main/PpiStart_1"], 0x003C0076)
            self.assertEqual({k: final.get(k) for k in written}, written)

    def test_replay_finds_no_difference(self):
        replay = tool("replay", self.capture, *SITE, cwd=self.dir)
        self.assertEqual(replay.returncode, 0, replay.stdout + replay.stderr)
        self.assertIn("no difference", replay.stdout)
        self.assertEqual(tool("diff", self.capture, self.capture).returncode, 0)

    def test_replay_needs_nothing_but_the_capture(self):
        files = {r.name: r for r in self.records if isinstance(r, capture.File)}
        self.assertEqual(files["out/dismodeconfig.inf"].data, b"DisMode=1\n#END\n")
        self.assertEqual(len(files["./out/idbout/testcmp.out"].data), 16586)
        screens = [r for r in self.records if isinstance(r, capture.Platform) and r.what == capture.SCREEN]
        self.assertEqual([tuple(r[4:8]) for r in screens], [(0, 0, 2560, 1024)])
        monitors = {tuple(r[4:8]) for r in self.records if isinstance(r, capture.Platform) and r.what == capture.MONITOR}
        self.assertEqual(monitors, {(0, 0, 1280, 1024), (1280, 0, 2560, 1024)})

        empty = tempfile.mkdtemp(dir=self.dir)
        replay = tool("replay", self.capture, cwd=empty)
        self.assertEqual(replay.returncode, 0, replay.stdout + replay.stderr)
        self.assertIn("no difference", replay.stdout)
        self.assertEqual(os.listdir(empty), [])
        replay = tool("replay", self.capture, *SITE, cwd=empty)
        self.assertEqual(replay.returncode, 0, replay.stdout + replay.stderr)
        self.assertIn("replay: --monitor overrides the 2 monitors the capture holds\n"
                      "replay: --screen overrides the capture's screen clip box\n", replay.stdout)

        # The same picture as the scenario's own render, but for the lines
        # that say where it came from.
        pictures = []
        for command in (["replay", self.capture, "--render", "replayed.svg"],
                        ["run", self.scenario, "--quiet", "--render", "replayed.svg"]):
            result = tool(*command, cwd=empty)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            with open(os.path.join(empty, "replayed.svg"), encoding="utf-8") as f:
                pictures.append([line for line in f if "Capture " not in line and "Scenario " not in line
                                 and "dismodeconfig.inf" not in line])
        self.assertTrue(pictures[0] == pictures[1], first_difference(pictures[0], pictures[1]))

    def test_version_1_captures_are_read(self):
        # The capture without what the library read, as version 1 wrote it.
        old = bytearray(self.bytes[:32])
        struct.pack_into("<I", old, 8, 1)
        for record in self.records:
            if not isinstance(record, (capture.Platform, capture.File)):
                at = record.file_offset if isinstance(record, capture.Request) else record.offset
                old += self.bytes[at:at + {capture.Call: 64, capture.Request: 48, capture.Return: 16}[type(record)]]
        path = self.write("version1.cap", bytes(old))
        self.assertEqual(len(list(capture.read(path))), len([r for r in self.records if not isinstance(
            r, (capture.Platform, capture.File))]))
        self.assertEqual(requests_only(tool("decode", path).stdout), requests_only(self.trace))
        replay = tool("replay", path, *SITE, cwd=self.dir)
        self.assertEqual(replay.returncode, 0, replay.stdout + replay.stderr)
        self.assertNotIn("overrides", replay.stdout)
        # A version 1 file holds no record of what the library read.
        path = self.write("version1-damaged.cap", bytes(old[:32]) + self.bytes[32:96] + struct.pack("<B31x", 4))
        self.assertEqual(tool("decode", path).returncode, 1)

    def test_a_replay_captured_again_equals_the_capture_and_never_overwrites_it(self):
        again = os.path.join(self.dir, "again.cap")
        replay = tool("replay", self.capture, *SITE, cwd=self.dir, env={"RADOVL_CAPTURE": again})
        self.assertEqual(replay.returncode, 0, replay.stdout + replay.stderr)
        diff = tool("diff", self.capture, again)
        self.assertEqual(diff.returncode, 0, diff.stdout + diff.stderr)

        replay = tool("replay", self.capture, cwd=self.dir, env={"RADOVL_CAPTURE": self.capture})
        self.assertEqual(replay.returncode, 2)
        self.assertIn("the capture being replayed", replay.stderr)
        with open(self.capture, "rb") as f:
            self.assertEqual(f.read(), self.bytes)

    def test_a_changed_register_value_is_caught_at_its_call(self):
        # The capture as a library that writes the last register value of
        # SetPPIDist one higher would have made it.
        call = next(r for r in self.records if isinstance(r, capture.Call) and r.name == "KT_RDSP_SetPPIDist")
        request = [r for r in self.records if isinstance(r, capture.Request) and r.call == call.number
                   and r.function == 9 and r.space == 0][-1]
        data_at = request.file_offset + 32  # the record's data word
        changed = bytearray(self.bytes)
        struct.pack_into("<I", changed, data_at, request.data + 1)
        path = self.write("changed.cap", bytes(changed))
        where = "call %d (KT_RDSP_SetPPIDist 1 24), its request %d" % (call.number, request.number)

        replay = tool("replay", path, *SITE, cwd=self.dir)
        self.assertEqual(replay.returncode, 1, replay.stdout + replay.stderr)
        self.assertIn("first difference at " + where, replay.stdout)
        self.assertIn("data 0x%08X" % (request.data + 1), replay.stdout)

        diff = tool("diff", self.capture, path)
        self.assertEqual(diff.returncode, 1, diff.stdout + diff.stderr)
        self.assertIn("first difference at " + where, diff.stdout)
        self.assertRegex(diff.stdout, r"changed.cap, decoded:\n(.*\n)*.*=  0x%08X" % (request.data + 1))

        # A byte write whose data word carries more than its byte, as from a
        # library that widens a signed byte: the board takes the byte alone.
        write8 = next(r for r in self.records if isinstance(r, capture.Request) and r.function == 1
                      and r.space == 0)
        changed = bytearray(self.bytes)
        struct.pack_into("<I", changed, write8.file_offset + 32, 0xFFFFFF88)
        decoded = tool("decode", self.write("widened.cap", bytes(changed))).stdout
        shown = re.findall(r"(?m)^ +\d+  main   W8  0x6C000006  DspResetEnable +(=  \S+)", decoded)
        self.assertEqual(shown[0], "=  0x88")

    def test_a_missing_request_or_call_is_caught_where_the_captures_part(self):
        call = next(r for r in self.records if isinstance(r, capture.Call) and r.name == "KT_RDSP_SetPPIDist")
        last = [r for r in self.records if isinstance(r, capture.Request) and r.call == call.number][-1]
        end = next(r for r in self.records if isinstance(r, capture.Return) and r.number == call.number)
        # The call's last request gone, as a library that sends one fewer
        # would write it: the library sends one more than the capture holds.
        fewer = bytearray(self.bytes[:last.file_offset] + self.bytes[last.file_offset + 48:])
        struct.pack_into("<I", fewer, end.offset - 48 + 8, end.requests - 1)
        fewer = bytes(fewer)
        replay = tool("replay", self.write("fewer.cap", fewer), *SITE, cwd=self.dir)
        self.assertEqual(replay.returncode, 1, replay.stdout + replay.stderr)
        self.assertIn("KT_RDSP_SetPPIDist 1 24), its request %d\n" % last.number, replay.stdout)
        self.assertIn("sends more than the capture's %d requests" % (last.number - 1), replay.stdout)
        # The call made with one argument more: no export takes it so.
        more = bytearray(self.bytes)
        more[call.offset + 1] = 3  # the record's argument count
        more = self.write("more.cap", bytes(more))
        replay = tool("replay", more, *SITE, cwd=self.dir)
        self.assertEqual(replay.returncode, 1, replay.stdout + replay.stderr)
        self.assertIn("this library has no export KT_RDSP_SetPPIDist 1 24 0", replay.stdout)
        diff = tool("diff", self.capture, more)
        self.assertEqual(diff.returncode, 1, diff.stdout + diff.stderr)
        self.assertIn("calls KT_RDSP_SetPPIDist 1 24, %s calls KT_RDSP_SetPPIDist 1 24 0" % more, diff.stdout)
        # The call returned another status at the site.
        returned = bytearray(self.bytes)
        struct.pack_into("<i", returned, end.offset + 4, -1)
        returned = self.write("returned.cap", bytes(returned))
        replay = tool("replay", returned, *SITE, cwd=self.dir)
        self.assertEqual(replay.returncode, 1, replay.stdout + replay.stderr)
        self.assertIn("first difference at call %d (KT_RDSP_SetPPIDist 1 24)\n" % call.number, replay.stdout)
        self.assertIn("the call returns 1, in the capture -1", replay.stdout)
        diff = tool("diff", self.capture, returned)
        self.assertEqual(diff.returncode, 1, diff.stdout + diff.stderr)
        self.assertIn("(KT_RDSP_SetPPIDist 1 24): it returns 1 in", diff.stdout)
        # The capture ends after the call: diff names the call the other goes on with.
        shorter = self.write("shorter.cap", self.bytes[:end.offset + 16])
        self.assertEqual(list(capture.read(shorter))[-1], end)
        diff = tool("diff", shorter, self.capture)
        self.assertEqual(diff.returncode, 1, diff.stdout + diff.stderr)
        self.assertIn("shorter.cap ends after call %d;" % call.number, diff.stdout)
        self.assertIn("goes on with call %d (KT_RDSP_SetPPIShipDir 1 35.0)" % (call.number + 1), diff.stdout)

    def test_reads_are_answered_from_the_capture(self):
        # A site board that answered a read of SetPPIDist's read-modify-write
        # with bit 4 set: the library, given that answer, writes it back.
        call = next(r for r in self.records if isinstance(r, capture.Call) and r.name == "KT_RDSP_SetPPIDist")
        read = [r for r in self.records if isinstance(r, capture.Request) and r.call == call.number
                and r.is_read and r.space == 0][-1]
        changed = bytearray(self.bytes)
        struct.pack_into("<I", changed, read.file_offset + 40, read.value | 0x10)  # the record's value word
        path = self.write("answered.cap", bytes(changed))

        replay = tool("replay", path, *SITE, cwd=self.dir)
        self.assertEqual(replay.returncode, 1, replay.stdout + replay.stderr)
        at = int(re.search(r"KT_RDSP_SetPPIDist 1 24\), its request (\d+)", replay.stdout).group(1))
        self.assertGreater(at, read.number)
        self.assertIn("data 0x%08X" % (read.value | 0x10), replay.stdout)

        replay = tool("replay", path, *SITE, "--board-answers", cwd=self.dir)
        self.assertEqual(replay.returncode, 1, replay.stdout + replay.stderr)
        self.assertIn("KT_RDSP_SetPPIDist 1 24), its request %d\n" % read.number, replay.stdout)
        self.assertIn("answers another value", replay.stdout)

        # A read of another register than the captured one gets the board's answer.
        struct.pack_into("<I", changed, read.file_offset + 20, read.offset + 4)  # the record's offset word
        struct.pack_into("<I", changed, read.file_offset + 40, 0xDEADBEEF)
        replay = tool("replay", self.write("elsewhere.cap", bytes(changed)), *SITE, cwd=self.dir)
        self.assertEqual(replay.returncode, 1, replay.stdout + replay.stderr)
        self.assertIn("KT_RDSP_SetPPIDist 1 24), its request %d\n" % read.number, replay.stdout)
        self.assertRegex(replay.stdout, r"(?m)^  replay +board 0 .* read 0x%08X," % read.value)

    def test_a_failed_request_is_captured_with_the_drivers_answer(self):
        # On board 1, as start-up leaves a console whose board 0 fails its
        # scratch test; a call refused; a byte written with its top bit set.
        scenario = self.write("failing.scenario", b"make-programs\nboard 0 scratch-fault\nKT_RDSP_Init = 1\n"
                              b"fail-requests 2 1 0x900C0000\nKT_RDSP_SetPPIColor 1 0x20FF6000 = 1\n"
                              b"KT_RDSP_SetTVBright 3 200 = -1\nKT_RDSP_SetTVBright 1 200 = 1\n")
        path = os.path.join(self.dir, "failing.cap")
        run = tool("run", scenario, "--quiet", "--trace", "failing.txt", cwd=self.dir, env={"RADOVL_CAPTURE": path})
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        records = list(capture.read(path))
        self.assertEqual([r.status for r in records if isinstance(r, capture.Return)], [1, 1, -1, 1])
        colour = [r for r in records if isinstance(r, capture.Request) and r.call == 2]
        self.assertEqual([(r.board, r.answered, r.status_sent, r.status) for r in colour[:3]],
                         [(1, True, 0, 0), (1, False, 0, struct.unpack("<i", b"\x00\x00\x0c\x90")[0]),
                          (1, True, 0, 0)])
        decoded = tool("decode", path).stdout
        self.assertRegex(decoded, r"(?m)^\s+1  .*FAILED status 0x900C0000$")
        with open(os.path.join(self.dir, "failing.txt"), encoding="utf-8") as f:
            lines, trace = requests_only(decoded), requests_only(f.read())
        self.assertTrue(lines == trace, first_difference(lines, trace))
        # The replay's request fails where the captured one failed.
        replay = tool("replay", path, cwd=self.dir)
        self.assertEqual(replay.returncode, 0, replay.stdout + replay.stderr)
        where = "first difference at call 2 (KT_RDSP_SetPPIColor 1 0x20FF6000), its request 2"
        # The same request, the driver call said to have succeeded.
        with open(path, "rb") as f:
            answered = bytearray(f.read())
        answered[colour[1].file_offset + 2] = 1
        diff = tool("diff", path, self.write("succeeded.cap", bytes(answered)))
        self.assertEqual(diff.returncode, 1, diff.stdout + diff.stderr)
        self.assertIn(where, diff.stdout)
        # The board failing every request of a call, then one failed without a status.
        with open(scenario, "ab") as f:
            f.write(b"fail-requests 1 -1 0x900C0000\nKT_RDSP_OpenPPI 1 0 0 640 480\n"
                    b"fail-requests 3 1 0\nKT_RDSP_SetPPIColor 1 0x20FF6000\n")
        os.remove(path)
        run = tool("run", scenario, "--quiet", cwd=self.dir, env={"RADOVL_CAPTURE": path})
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        failed = [r for r in capture.read(path) if isinstance(r, capture.Request) and not r.answered]
        self.assertGreater(len(failed), 2)
        again = os.path.join(self.dir, "failing-again.cap")
        replay = tool("replay", path, cwd=self.dir, env={"RADOVL_CAPTURE": again})
        self.assertEqual(replay.returncode, 0, replay.stdout + replay.stderr)
        self.assertIn("no difference", replay.stdout)
        self.assertEqual(tool("diff", path, again).returncode, 0)

    def with_bytes(self, offset, data):
        """The capture with data written over its bytes at offset."""
        return self.bytes[:offset] + data + self.bytes[offset + len(data):]

    def test_damaged_files_are_refused_with_their_reason(self):
        first_return = next(r for r in self.records if isinstance(r, capture.Return))
        header = self.bytes[:32]
        newer = bytearray(header)
        struct.pack_into("<I", newer, 8, 3)
        older = bytearray(self.bytes)
        struct.pack_into("<I", older, 8, 0)
        call, request = self.bytes[32:96], self.bytes[96:144]
        end = next(r for r in self.records if isinstance(r, capture.Return))
        end = self.bytes[end.offset:end.offset + 16]
        cases = [
            ("empty", b"", "empty file"),
            ("foreign", b"\x89PNG\r\n\x1a\n" + bytes(100), "not a radovl capture"),
            ("newer", bytes(newer), "capture format version 3; this .* reads versions 1 to 2"),
            ("older", bytes(older), "capture format version 0; this .* reads versions 1 to 2"),
            ("header", header[:12] + struct.pack("<I", 64) + self.bytes[16:], "damaged header"),
            ("overlapping", header + call + request + call, "begins before call 1"),
            ("orphan", header + request, "outside any call"),
            ("stray return", header + end, "without a call"),
            ("truncated", self.bytes[:32 + 64 + 48 + 20], "truncated: ends inside a request record at byte 144"),
            ("unfinished", self.bytes[:32 + 64 + 48], "ends inside call 1 .* before it returned"),
            ("damaged", self.bytes[:32 + 64] + b"\x07" + bytes(47), "unknown record kind 7 at byte 96"),
            ("count", self.with_bytes(first_return.offset + 8, struct.pack("<I", 0xFFFFFFFF)),
             "call 1 .*returns at byte %d after 4294967295 requests, but the capture holds %d"
             % (first_return.offset, first_return.requests)),
            ("eight-args", self.with_bytes(33, b"\x08"), "call 1 at byte 32 has 8 arguments, more than"),
            ("many-args", self.with_bytes(33, b"\xff"), "call 1 at byte 32 has 255 arguments, more than"),
            ("huge-file", header + call + struct.pack("<BBHIII", 5, 1, 4, 0xFFFFFFF0, 0, 0) + b"name",
             "truncated: ends inside the name or bytes of the file record at byte 96"),
        ]
        for name, data, message in cases:
            with self.subTest(name):
                path = self.write(name + ".cap", data)
                decoded = tool("decode", path)
                self.assertEqual(decoded.returncode, 1)
                self.assertRegex(decoded.stderr, message)
                for command in (["replay", path], ["diff", path, self.capture], ["diff", self.capture, path]):
                    result = tool(*command, cwd=self.dir)
                    self.assertEqual(result.returncode, 2, command)
                    self.assertRegex(result.stderr, message)
                # In 1 GiB of address space: a size read from the file is
                # not allocated before the file is seen to hold it.
                soft, hard = resource.getrlimit(resource.RLIMIT_AS)
                resource.setrlimit(resource.RLIMIT_AS, (1 << 30, hard))
                try:
                    with self.assertRaisesRegex(capture.CaptureError, message.split(" .*")[0].split(";")[0]):
                        list(capture.read(path))
                finally:
                    resource.setrlimit(resource.RLIMIT_AS, (soft, hard))
        # A file record whose name climbs out of the replay's folder writes
        # nothing there.
        call = self.bytes[32:96]
        end = bytearray(self.bytes[first_return.offset:first_return.offset + 16])
        struct.pack_into("<I", end, 8, 0)
        for name in (b"../escaped.txt", b"../../escaped.txt", b"out/../../../../escaped.txt"):
            record = struct.pack("<BBHIII", 5, 1, len(name), 5, 0, 0) + name + b"hello"
            path = self.write("climbing.cap", self.bytes[:32] + call + record + bytes(end))
            base = os.path.join(self.dir, "tmp", "base")
            os.makedirs(base, exist_ok=True)
            tool("replay", path, cwd=self.dir, env={"TMPDIR": base})
            for folder in (base, os.path.dirname(base), self.dir):
                self.assertFalse(os.path.exists(os.path.join(folder, "escaped.txt")), (name, folder))
        # A name is printed with its control characters escaped.
        path = self.write("escape.cap", self.with_bytes(32 + 4, b"KT_\x1b[2J\\\x07"))
        for command in (["decode", path], ["decode", "--calls", path]):
            decoded = tool(*command)
            self.assertEqual(decoded.returncode, 0, decoded.stderr)
            self.assertIn("KT_\\x1B[2J\\x5C\\x07", decoded.stdout)
            self.assertNotRegex(decoded.stdout, "[\x00-\x09\x0b-\x1f\x7f]")
        # Whole records before the cut are still decoded.
        self.assertIn("window query", tool("decode", os.path.join(self.dir, "truncated.cap")).stdout)

    def test_a_capture_that_cannot_be_written_leaves_the_console_running(self):
        # An empty RADOVL_CAPTURE names no file: no capture, nothing said.
        for target, message in (("/dev/full", r"capture to /dev/full stopped: writing failed: .*\(0 calls recorded\)"),
                                (os.path.join(self.dir, "no", "such", "dir.cap"), "cannot capture to"),
                                ("", None)):
            with self.subTest(target):
                run = tool("run", self.scenario, "--quiet", cwd=self.dir, env={"RADOVL_CAPTURE": target})
                self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
                lines = re.findall("(?m)^radovl: .*", run.stdout)
                self.assertEqual(len(lines), 0 if message is None else 1, run.stdout)
                if message is not None:
                    self.assertRegex(lines[0], message)

    def test_a_restarted_console_keeps_the_earlier_capture(self):
        folder = tempfile.mkdtemp(dir=self.dir)
        site = os.path.join(folder, "site.cap")
        scenario = self.write("short.scenario", b"make-programs 64\nKT_RDSP_Init = 1\n")
        outputs = []
        for _ in range(3):
            run = tool("run", scenario, "--quiet", cwd=self.dir, env={"RADOVL_CAPTURE": site})
            self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
            outputs.append(run.stdout)
        self.assertEqual(sorted(os.listdir(folder)), ["site.1.cap", "site.2.cap", "site.cap"])
        self.assertEqual(outputs[0], "")
        self.assertEqual(outputs[1], "radovl: %s exists: capturing to %s\n" % (site, site.replace(".cap", ".1.cap")))
        for name in os.listdir(folder):
            decoded = tool("decode", "--calls", os.path.join(folder, name))
            self.assertEqual(decoded.returncode, 0, decoded.stderr)
            self.assertIn("KT_RDSP_Init = 1", decoded.stdout)

    def test_a_file_size_limit_leaves_whole_calls(self):
        # The limit falls inside the last call, then inside the one before it.
        ends = [r.offset + 16 for r in self.records if isinstance(r, capture.Return)]
        whole = tool("decode", "--calls", self.capture).stdout.splitlines()
        for limit, kept, calls in ((len(self.bytes) - 100, ends[-2], len(ends) - 1),
                                   (ends[-2] - 60, ends[-3], len(ends) - 2)):
            with self.subTest(limit):
                path = os.path.join(self.dir, "limited-%d.cap" % limit)
                run = tool("run", self.scenario, "--quiet", cwd=self.dir, env={"RADOVL_CAPTURE": path},
                           file_limit=limit)
                self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
                self.assertEqual(len(re.findall("(?m)^radovl: ", run.stdout)), 1, run.stdout)
                self.assertIn("File too large (%d calls recorded; the file ends after them, at byte %d)"
                              % (calls, kept), run.stdout)
                self.assertEqual(os.path.getsize(path), kept)
                calls_view = tool("decode", "--calls", path).stdout.splitlines()
                self.assertEqual(calls_view[1:-1], whole[1:1 + calls])
                for command in (["decode", path], ["replay", path, *SITE], ["diff", path, path]):
                    result = tool(*command, cwd=self.dir)
                    self.assertEqual(result.returncode, 0, result.stdout + result.stderr)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("--examples", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest)
