#!/usr/bin/env python3
"""radovl-sim view end to end: the page for a capture of the bundled console
example opened in headless Chromium (the call list, a call selected by a
click and by keys, the drawn picture equal to replay --render's, the
register panel and "last written by" against decode, calls appended while
the page follows the capture), and the server's answers to bad requests.

    view_test.py --tool PATH/radovl-sim --examples DIR [--screenshot FILE] [unittest options]
"""
import argparse
import http.client
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.error
import urllib.request

ARGS = None


def tool(*args, cwd=None, env=None):
    environment = dict(os.environ)
    environment.pop("RADOVL_CAPTURE", None)
    environment.update(env or {})
    return subprocess.run([ARGS.tool, *args], cwd=cwd, env=environment, capture_output=True, text=True, timeout=120)


class Server:
    """radovl-sim view ARGS, stopped with Ctrl-C at the end."""

    def __init__(self, *args, cwd=None):
        environment = dict(os.environ)
        environment.pop("RADOVL_CAPTURE", None)
        self.process = subprocess.Popen([ARGS.tool, "view", *args], cwd=cwd, env=environment,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.url = self.process.stdout.readline().strip()
        assert re.fullmatch(r"http://127\.0\.0\.1:\d+/", self.url), (self.url, self.process.stderr.read())
        self.port = int(self.url.rsplit(":", 1)[1].strip("/"))

    def get(self, path, headers=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=30)
        connection.request("GET", path, headers=headers or {})
        response = connection.getresponse()
        body = response.read()
        connection.close()
        return response.status, body

    def stop(self):
        self.process.send_signal(signal.SIGINT)
        out, err = self.process.communicate(timeout=30)
        return self.process.returncode, err


def make_capture(directory):
    capture = os.path.join(directory, "console.cap")
    run = tool("run", os.path.join(ARGS.examples, "console.scenario"), "--quiet", "--workdir", directory,
               cwd=directory, env={"RADOVL_CAPTURE": capture})
    assert run.returncode == 0, run.stdout + run.stderr
    return capture


def written_by_call(decoded):
    """From decode's text: for each call, the registers its accesses wrote
    ("board0 main PpiStart[1]")."""
    units = {"main": "main", "dsp0": "video0", "dsp1": "video1", "pci": "pci"}
    calls, current = [], None
    for line in decoded.splitlines():
        m = re.match(r"# call (\d+): ", line)
        if m:
            current = set()
            calls.append(current)
            continue
        m = re.match(r"\s+\d+\s+(main|dsp0|dsp1|pci)\s+[WSC]\d+\s+\S+\s+(.+?)\s+(?:=|&=|\|=)", line)
        if m and current is not None:
            current.add("board0 {} {}".format(units[m.group(1)], m.group(2)))
    return calls


class Page(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        missing = [p for p in ("chromium", "chromedriver") if shutil.which(p) is None]
        try:
            import selenium  # noqa: F401
        except ImportError:
            missing.append("python3-selenium")
        if missing:
            raise unittest.SkipTest("no " + ", ".join(missing) + " (scripts/install-deps.sh installs them)")
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        cls.dir = tempfile.mkdtemp(prefix="radovl-view-")
        cls.capture = make_capture(cls.dir)
        options = webdriver.ChromeOptions()
        options.binary_location = shutil.which("chromium")
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--window-size=1600,1300", "--user-data-dir=" + os.path.join(cls.dir, "profile")):
            options.add_argument(flag)
        cls.browser = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
        cls.browser.set_script_timeout(30)

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        shutil.rmtree(cls.dir, ignore_errors=True)

    def wait(self, condition, what, seconds=20):
        end = time.time() + seconds
        while time.time() < end:
            value = self.browser.execute_script(condition)
            if value:
                return value
            time.sleep(0.05)
        self.fail("the page never showed " + what)

    def rendered(self, capture, n):
        """The SVG replay --render writes after call n."""
        path = os.path.join(self.dir, "at%d.svg" % n)
        self.assertEqual(tool("replay", capture, "--render", path, "--at", str(n)).returncode, 0)
        with open(path, "rb") as f:
            return f.read()

    def shown(self, n):
        self.wait("return document.body.dataset.shown === '%d'" % n, "call %d" % n)

    def test_the_page_shows_the_calls_the_picture_and_the_registers(self):
        from selenium.webdriver.common.by import By
        from selenium.webdriver.common.keys import Keys
        calls = [line for line in tool("decode", "--calls", self.capture).stdout.splitlines()
                 if not line.startswith("#")]
        written = written_by_call(tool("decode", self.capture).stdout)
        server = Server(self.capture)
        try:
            self.browser.get(server.url)
            self.wait("return document.querySelectorAll('#calls div').length === %d" % len(calls), "the calls")
            rows = self.browser.execute_script("return [...document.querySelectorAll('#calls div')].map(d => d.textContent)")
            self.assertEqual(rows[3], "4  KT_RDSP_OpenPPI 1 60 60 860 860  = 1  (96 requests)")
            self.shown(1)

            self.browser.find_element(By.CSS_SELECTOR, '#calls div[data-n="4"]').click()
            self.shown(4)
            self.assertTrue(self.browser.find_element(By.ID, "svg").get_attribute("src").endswith("/api/svg/4"))
            self.wait("return document.getElementById('svg').naturalWidth > 0", "the picture drawn")
            drawn = self.browser.execute_async_script(
                "fetch(document.getElementById('svg').src).then(r => r.text()).then(arguments[0])")
            self.assertEqual(drawn, self.rendered(self.capture, 4).decode("utf-8"))
            self.assertIn("PpiStart[1]", self.browser.find_element(By.ID, "decoded").text)
            changes = self.browser.find_element(By.ID, "changes").text
            self.assertIn("board0 main PpiStart[1] 0x00000000 → 0x003C0076", changes)

            body = self.browser.find_element(By.TAG_NAME, "body")
            for key, n in ((Keys.ARROW_DOWN, 5), (Keys.ARROW_UP, 4), (Keys.END, len(calls)), (Keys.HOME, 1),
                           (Keys.ARROW_UP, 1), (Keys.END, len(calls))):
                body.send_keys(key)
                self.shown(n)
            if ARGS.screenshot:
                self.browser.find_element(By.CSS_SELECTOR, '#calls div[data-n="22"]').click()
                self.shown(22)
                self.wait("return document.getElementById('svg').complete", "the picture")
                self.browser.save_screenshot(ARGS.screenshot)

            # Every register's "last written by" is the last call up to the
            # selected one whose decoded accesses write it.
            for at in (4, len(calls)):
                self.browser.execute_script("select(%d)" % at)
                self.shown(at)
                panel = self.browser.execute_script(
                    "return [...document.querySelectorAll('#registers tbody tr')].map("
                    "r => [r.dataset.register, r.cells[1].textContent, r.cells[3].textContent])")
                self.assertGreater(len(panel), 100)
                for name, value, by in panel:
                    wanted = max((i + 1 for i in range(at) if name in written[i]), default=None)
                    self.assertEqual(by, "call %d" % wanted if wanted else "never", name)
                self.assertIn(["board0 main PpiStart[1]", "0x003C0076", "call 4"], panel)
            self.browser.find_element(By.XPATH, "//tr[@data-register='board0 main PpiStart[1]']//a").click()
            self.shown(4)
        finally:
            status, err = server.stop()
        self.assertEqual(status, 0, err)

    def test_the_page_follows_a_capture_while_it_is_written(self):
        from selenium.webdriver.common.by import By
        with open(self.capture, "rb") as f:
            data = f.read()
        offsets = [int(m) for m in re.findall(r'"kind":"call","call":\d+,"offset":(\d+)',
                                              tool("decode", "--format=jsonl", self.capture).stdout)]
        growing = os.path.join(self.dir, "growing.cap")
        with open(growing, "wb") as f:
            f.write(data[:offsets[10]])  # ten whole calls
        server = Server("--follow", growing)
        try:
            self.browser.get(server.url)
            self.wait("return document.querySelectorAll('#calls div').length === 10", "the first ten calls")
            with open(growing, "ab") as f:
                f.write(data[offsets[10]:offsets[20] + 100])  # ten more and a piece of one
                f.flush()
                self.wait("return document.querySelectorAll('#calls div').length === 21", "calls appended")
                self.assertIn("…", self.browser.find_elements(By.CSS_SELECTOR, "#calls div")[20].text)
                f.write(data[offsets[20] + 100:])
            self.wait("return document.querySelectorAll('#calls div').length === %d" % len(offsets), "every call")
            self.wait("return !document.querySelectorAll('#calls div')[20].textContent.includes('…')",
                      "the call that was running returned")
            # Cut back to its first ten calls, then written on: read again from the start.
            with open(growing, "r+b") as f:
                f.truncate(offsets[10])
            self.wait("return document.querySelectorAll('#calls div').length === 10", "the capture cut")
            with open(growing, "ab") as f:
                f.write(data[offsets[10]:offsets[12]])
            self.wait("return document.querySelectorAll('#calls div').length === 12", "calls written after the cut")
            self.assertEqual(server.get("/api/svg/12")[1], self.rendered(growing, 12))
        finally:
            status, err = server.stop()
        self.assertEqual(status, 0, err)


class Answers(unittest.TestCase):
    """The server without a browser: bad requests answered, never a crash."""

    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="radovl-view-")
        cls.capture = make_capture(cls.dir)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    def test_bad_requests_get_clear_answers_and_only_loopback_is_served(self):
        server = Server(os.path.join(ARGS.examples, "console.scenario"), "--workdir", self.dir)
        try:
            for path, status in (("/", 200), ("/api/calls", 200), ("/api/call/37", 200), ("/api/svg/1", 200),
                                 ("/nope", 404), ("/api/call/38", 404), ("/api/call/0", 404),
                                 ("/api/call/x1", 400), ("/api/svg/99999999999", 400),
                                 ("/api/calls?from=-1", 400), ("/" + "a" * 20000, 414)):
                self.assertEqual(server.get(path)[0], status, path)
            self.assertIn(b'"total":37', server.get("/api/calls")[1])
            self.assertEqual(server.get("/", {"Host": "radar.example:80"})[0], 403)
            # A request line that is not HTTP, and many connections at once.
            with socket.create_connection(("127.0.0.1", server.port), timeout=10) as s:
                s.sendall(b"\x00\xff nonsense\r\n\r\n")
                self.assertRegex(s.recv(100), rb"^HTTP/1\.1 400 ")
            sockets = [socket.create_connection(("127.0.0.1", server.port), timeout=10) for _ in range(100)]
            self.assertEqual(server.get("/api/call/2")[0], 200)
            for s in sockets:
                s.close()
            # Listening on the loopback address only: any other address of
            # this machine refuses the connection.
            others = [a for a in subprocess.run(["hostname", "-I"], capture_output=True, text=True).stdout.split()
                      if ":" not in a]
            for address in others:
                with self.assertRaises(OSError, msg=address):
                    socket.create_connection((address, server.port), timeout=5).close()
        finally:
            status, err = server.stop()
        self.assertEqual(status, 0, err)
        self.assertIn("stopped", err)
        self.assertIsNone(tool("view", "--port", "70000", self.capture).stdout or None)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("--examples", required=True)
    parser.add_argument("--screenshot")
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest)
