"""The ad strip against the loopback ad server: the first fetch and its
cache, the picture slot, the rotation, a second start within the interval,
and lists that name pictures outside Sup or links that are not web
addresses."""

import os
import shutil
import subprocess
import time

import harness
from harness import SAMPLE_ADS, parse_ppm, pixel, wait_for

PICTURE_AT = (491, 64)  # client position of the picture inside its frame
SERVER = f"http://127.0.0.1:{harness.AD_PORT}"
LIST_PATH = "/AD/AD005.txt"
SKIN = os.path.join(harness.HERE, "..", "..", "assets", "skin_main.bmp")
# Client rows and columns that hold the text slot (right edge at x = 658).
TEXT_ROWS = range(44, 62)
TEXT_COLUMNS = range(400, 664)
LINK_POINT = (650, 52)   # on the last character of any text in the slot
HIGHLIGHT_TEXT_VISITED = (128, 0, 128)
# Picture 100 x 20: panel 102 x 22 at (558, 76), picture at (559, 77).
PICTURE_SIZE = (100, 20)
PANEL_RECT = (558, 76, 102, 22)


def requests(log, path=None, client=None):
    """(time, path) of each GET the server logged, optionally only of one path
    and of one client process (other test builds may use the same port)."""
    if not os.path.exists(log):
        return []
    out = []
    with open(log) as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) < 5 or fields[1] != "GET" or (path is not None and fields[2] != path):
                continue
            if client is None or str(client.pid) in fields[4].split(","):
                out.append((float(fields[0]), fields[2]))
    return out


def requested(log, path):
    return bool(requests(log, path))


def read_picture(path):
    ppm = subprocess.run(["/usr/bin/convert", path, "ppm:-"], capture_output=True, check=True,
                         timeout=60).stdout
    return parse_ppm(ppm)


def make_picture(path, size=PICTURE_SIZE):
    """A lossless picture: red left half, blue right half, a green top-left pixel."""
    w, h = size
    subprocess.run(["/usr/bin/convert", "-size", f"{w // 2}x{h}", "xc:#C81E1E", "-size", f"{w - w // 2}x{h}",
                    "xc:#1E50C8", "+append", "-fill", "#10A010", "-draw", "point 0,0", "-type", "TrueColor",
                    "BMP3:" + path], check=True, timeout=60)


def ad_list(header, entries):
    """Delivered list bytes: header, "*" blocks of field lines, "$"; GBK, CR LF."""
    lines = [header]
    for fields in entries:
        lines += ["*", *[str(f) for f in fields]]
    lines.append("$")
    return "".join(line + "\r\n" for line in lines).encode("gbk")


def park_mouse():
    # Off the strip: no tooltip or hot state in the screenshots.
    subprocess.run(["xdotool", "mousemove", "0", "0"], check=True, timeout=30)


class Ads(harness.Scenario):

    # --- helpers ------------------------------------------------------------

    def serve(self, list_bytes, pictures=()):
        """A server root under the case's work folder with the list and pictures."""
        root = os.path.join(self.work, "server")
        os.makedirs(os.path.join(root, "AD"), exist_ok=True)
        with open(os.path.join(root, "AD", "AD005.txt"), "wb") as f:
            f.write(list_bytes)
        for name in pictures:
            make_picture(os.path.join(root, "AD", name))
        return root, self.start_ad_server(root=root)

    def shot(self, name):
        # xwd now and then fails with BadMatch while a window (a tooltip) comes or goes.
        for attempt in range(3):
            try:
                return self.screenshot(name)
            except subprocess.CalledProcessError:
                if attempt == 2:
                    raise
                time.sleep(0.5)

    def client_crop(self, shot, window, xs, ys):
        ox, oy = window["client_origin"]
        return [pixel(shot, ox + x, oy + y) for y in ys for x in xs]

    def text_extent(self, shot, window, skin):
        """Leftmost and rightmost client columns where the text slot differs from the skin."""
        ox, oy = window["client_origin"]
        columns = [x for x in TEXT_COLUMNS
                   if any(pixel(shot, ox + x, oy + y) != pixel(skin, x, y) for y in TEXT_ROWS)]
        return (columns[0], columns[-1]) if columns else None

    def text_colours(self, shot, window):
        return set(self.client_crop(shot, window, range(560, 662), TEXT_ROWS))

    def picture_shown(self, shot, window, picture):
        """The picture drawn unscaled at the panel's inside corner."""
        px, py = PANEL_RECT[0] + 1, PANEL_RECT[1] + 1
        ox, oy = window["client_origin"]
        return all(pixel(shot, ox + px + x, oy + py + y) == pixel(picture, x, y)
                   for y in range(picture[1]) for x in range(picture[0]))

    def process_table(self):
        return {p["pid"]: p["exe"] for p in self.probe("procs")["processes"]}

    def new_processes_after_click(self, window, point, seconds=3.0):
        """Clicks and collects every process that shows up meanwhile (a shell
        handler such as winebrowser may live only briefly)."""
        before = self.process_table()
        self.click(window, point)
        seen = {}
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            for pid, exe in self.process_table().items():
                if pid not in before and exe.lower() != "probe.exe":
                    seen[pid] = exe
        park_mouse()
        return seen

    def tree(self, top, skip=None):
        """Relative path -> size of every file and folder under top, skip's subtree left out."""
        out = {}
        for root, dirs, files in os.walk(top):
            if skip and os.path.abspath(root) == os.path.abspath(skip):
                dirs[:] = []
                continue
            for name in dirs + files:
                path = os.path.join(root, name)
                if skip and os.path.abspath(path) == os.path.abspath(skip):
                    continue
                out[os.path.relpath(path, top)] = None if os.path.isdir(path) else os.path.getsize(path)
        return out

    def panel_rects(self, window):
        return [[c["rect"][0] - window["rect"][0], c["rect"][1] - window["rect"][1],
                 c["rect"][2] - c["rect"][0], c["rect"][3] - c["rect"][1]]
                for c in self.probe("children", window["hwnd"])["windows"] if c["visible"]]

    # --- scenarios ----------------------------------------------------------

    def test_first_run_fills_strip(self):
        log = self.start_ad_server()
        self.start_launcher()
        window = self.wait_main_window()
        wait_for(lambda: requested(log, "/AD/AD005.txt"), 60, "the ad list request")

        cache = os.path.join(self.app, "Sup", "Ad.his")
        wait_for(lambda: os.path.exists(cache), 30, "Sup\\Ad.his")
        with open(os.path.join(SAMPLE_ADS, "AD", "AD005.txt"), "rb") as f:
            served = f.read().replace(b"@SERVER@", f"http://127.0.0.1:{harness.AD_PORT}".encode()).split(b"\r\n")
        with open(cache, "rb") as f:
            cached = f.read().split(b"\r\n")
        self.assertTrue(cached[0].startswith(served[0]) and len(cached[0]) > len(served[0]),
                        f"header with a stamp: {cached[0]!r}")
        # The end marker "$" is not kept; every line ends with CR LF.
        self.assertEqual(cached[1:], served[1:-2] + [b""])

        picture = os.path.join(self.app, "Sup", "ad1.jpg")
        wait_for(lambda: requested(log, "/AD/ad1.jpg"), 30, "the picture request")
        with open(os.path.join(SAMPLE_ADS, "AD", "ad1.jpg"), "rb") as f:
            expected = f.read()
        wait_for(lambda: os.path.exists(picture) and os.path.getsize(picture) == len(expected), 30,
                 "Sup\\ad1.jpg")
        with open(picture, "rb") as f:
            self.assertEqual(f.read(), expected)

        # Decoders differ a little, so the picture on screen is compared on average.
        ppm = subprocess.run(["/usr/bin/convert", os.path.join(SAMPLE_ADS, "AD", "ad1.jpg"), "ppm:-"],
                             capture_output=True, check=True, timeout=60).stdout
        reference = parse_ppm(ppm)

        def distance():
            shot = self.screenshot("strip")
            ox = window["client_origin"][0] + PICTURE_AT[0]
            oy = window["client_origin"][1] + PICTURE_AT[1]
            total = 0
            for y in range(reference[1]):
                for x in range(reference[0]):
                    a, b = pixel(shot, ox + x, oy + y), pixel(reference, x, y)
                    total += sum(abs(i - j) for i, j in zip(a, b))
            return total / (reference[0] * reference[1] * 3)

        wait_for(lambda: distance() < 12, 30, "the picture in the strip")

    def test_fetch_rotation_and_second_start(self):
        """[link text, picture, plain text]: fetched once about 2 s after the
        start, the rotation reaches the plain text on its second tick, and a
        second start within the interval asks the server for nothing."""
        park_mouse()
        skin = read_picture(SKIN)
        link_text, plain_text = "岚枢官网", "欢迎来到岚枢麻将大厅"  # 4 and 10 characters wide
        listed = ad_list("7|3|", [
            [1, link_text, "官网", f"{SERVER}/AD/site.html"],
            [2, f"pic.bmp|{SERVER}/AD/pic.bmp", "新版", f"{SERVER}/AD/news.html"],
            [3, plain_text, "文字", ""],
        ])
        root, log = self.serve(listed, ["pic.bmp"])
        picture = read_picture(os.path.join(root, "AD", "pic.bmp"))

        started = time.time()
        first = self.start_launcher()
        window = self.wait_main_window()

        # (a) One list request about 2 s after the start.
        got = wait_for(lambda: requests(log, LIST_PATH, first), 30, "the ad list request")
        delay = got[0][0] - started
        self.assertTrue(1.0 <= delay <= 8.0, f"list requested {delay:.1f} s after the start")
        list_time = got[0][0]

        cache = os.path.join(self.app, "Sup", "Ad.his")
        stored = os.path.join(self.app, "Sup", "pic.bmp")
        wait_for(lambda: os.path.exists(stored) and os.path.getsize(stored) == os.path.getsize(
            os.path.join(root, "AD", "pic.bmp")), 30, "Sup\\pic.bmp")
        with open(cache, "rb") as f:
            cached = f.read().split(b"\r\n")
        version, interval, stamp = cached[0].decode("gbk").split("|", 2)
        self.assertEqual((version, interval), ("7", "3"), cached[0])
        today = [{t.tm_year, t.tm_mon, t.tm_mday} for t in (time.localtime(started), time.localtime())]
        numbers = {int(n) for n in "".join(c if c.isdigit() else " " for c in stamp).split()}
        self.assertTrue(any(d <= numbers for d in today), f"stamp {stamp!r} names today's date")
        self.assertNotIn(b"$", cached, "the end marker is not stored")
        self.assertEqual(cached[1:], listed.split(b"\r\n")[1:-2] + [b""])

        shown = wait_for(lambda: (lambda s: self.picture_shown(s, window, picture) and s)(
            self.shot("first_start")), 30, "the picture in its panel")
        self.assertIn(list(PANEL_RECT), self.panel_rects(window))
        # The frame: drawn on its 1-px ring, the skin right outside it.
        x0, y0, w, h = PANEL_RECT
        ring = [(x, y0) for x in range(x0, x0 + w)] + [(x, y0 + h - 1) for x in range(x0, x0 + w)] + \
               [(x0, y) for y in range(y0, y0 + h)] + [(x0 + w - 1, y) for y in range(y0, y0 + h)]
        outside = [(x, y0 - 1) for x in range(x0 - 1, x0 + w + 1)] + \
                  [(x, y0 + h) for x in range(x0 - 1, x0 + w + 1)] + \
                  [(x0 - 1, y) for y in range(y0, y0 + h)] + [(x0 + w, y) for y in range(y0, y0 + h)]
        ox, oy = window["client_origin"]
        framed = sum(pixel(shown, ox + x, oy + y) != pixel(skin, x, y) for x, y in ring)
        self.assertGreater(framed, 0.9 * len(ring), "the frame is drawn around the picture")
        for x, y in outside:
            self.assertEqual(pixel(shown, ox + x, oy + y), pixel(skin, x, y), f"outside the frame at {(x, y)}")

        link_extent = self.text_extent(shown, window, skin)
        link_pixels = self.client_crop(shown, window, TEXT_COLUMNS, TEXT_ROWS)
        self.assertIsNotNone(link_extent, "the link text is shown")
        self.assertLessEqual(abs(link_extent[1] - 657), 2, f"right-aligned at 658: {link_extent}")

        # (b) First tick (~10 s after the list came): the picture entry, the text stays.
        time.sleep(max(0.0, list_time + 15 - time.time()))
        mid = self.shot("after_first_tick")
        self.assertEqual(self.client_crop(mid, window, TEXT_COLUMNS, TEXT_ROWS), link_pixels,
                         "the text slot is unchanged by the picture entry's turn")
        self.assertTrue(self.picture_shown(mid, window, picture))

        # Second tick (~20 s): the plain text replaces the link text, right edge kept.
        changed = wait_for(lambda: (lambda s: self.client_crop(s, window, TEXT_COLUMNS, TEXT_ROWS) != link_pixels
                                    and s)(self.shot("after_second_tick")),
                           max(5.0, list_time + 32 - time.time()), "the plain text")
        self.assertGreater(time.time() - list_time, 15, "not before the second tick")
        plain_extent = self.text_extent(changed, window, skin)
        self.assertLessEqual(abs(plain_extent[1] - 657), 2, f"right-aligned at 658: {plain_extent}")
        self.assertLess(plain_extent[0], link_extent[0] - 40, f"wider text: {plain_extent} vs {link_extent}")
        self.assertTrue(self.picture_shown(changed, window, picture), "the picture slot is untouched")
        self.assertEqual(len(requests(log, LIST_PATH, first)), 1, "one list request per run")
        self.assertEqual(len(requests(log, "/AD/pic.bmp", first)), 1, "the picture is fetched once")

        # (c) A second start from a copy of the folder, within the interval.
        self.click(window, harness.EXIT)
        wait_for(lambda: first.poll() is not None, 30, "the first launcher to end")
        second_app = os.path.join(self.case_root, "app2")
        shutil.copytree(self.app, second_app)
        started = time.time()
        second = self.start_launcher(second_app)
        window = self.wait_main_window()
        time.sleep(max(0.0, started + 6 - time.time()))
        self.assertEqual(requests(log, client=second), [], "nothing is fetched within the interval")
        cached_start = self.shot("second_start")
        self.assertTrue(self.picture_shown(cached_start, window, picture), "the cached picture is shown")
        self.assertEqual(self.client_crop(cached_start, window, TEXT_COLUMNS, TEXT_ROWS), link_pixels,
                         "the cached link text is shown")

        # A web link opens (the label is then drawn as visited): the click
        # lands where the refusal scenario below clicks. Its handler,
        # winebrowser, may end between two process looks, so it is not asserted.
        self.click(window, LINK_POINT)
        park_mouse()
        wait_for(lambda: HIGHLIGHT_TEXT_VISITED in self.text_colours(self.shot("second_start_visited"), window),
                 10, "the link text drawn as visited")

    def test_refuses_names_outside_sup_and_non_web_links(self):
        """Picture names that would leave Sup are never fetched or written;
        links that are not web addresses open nothing; a list that is always
        stale is still fetched only once per run."""
        park_mouse()
        bad_names = ["..\\..\\evil1.bmp", "sub/../../evil2.bmp", "C:evil3.bmp"]
        served = ["ok.bmp"] + [f"evil{i}.bmp" for i in (1, 2, 3)]
        # Interval 0: the cache is always stale, so a second fetch in the run would show.
        root, log = self.serve(ad_list("9|0|", [
            [2, f"ok.bmp|{SERVER}/AD/ok.bmp", "图", "notepad.exe"],
            *[[2, f"{name}|{SERVER}/AD/evil{i}.bmp", "坏", "file:///C:/windows/notepad.exe"]
              for i, name in enumerate(bad_names, 1)],
            [1, "打开记事本", "链接", "file:///C:/windows/notepad.exe"],
        ]), served)
        picture = read_picture(os.path.join(root, "AD", "ok.bmp"))
        # A sub-folder, so that a name through it could be opened at all.
        os.makedirs(os.path.join(self.app, "Sup", "sub"))
        sup = os.path.join(self.app, "Sup")
        before = self.tree(self.case_root, skip=sup)

        launcher = self.start_launcher()
        window = self.wait_main_window()
        list_time = wait_for(lambda: requests(log, LIST_PATH, launcher), 30, "the ad list request")[0][0]
        wait_for(lambda: self.picture_shown(self.shot("refusals_start"), window, picture), 30,
                 "the good picture in its panel")
        shot = self.shot("refusals_start")
        unvisited = self.text_colours(shot, window)

        panel = (PANEL_RECT[0] + PANEL_RECT[2] // 2, PANEL_RECT[1] + PANEL_RECT[3] // 2)
        # Plain asserts: a window that a wrong open brings up would take the later clicks.
        for what, point in (("the file: link text", LINK_POINT), ("the picture linking to notepad.exe", panel)):
            self.assertEqual(self.new_processes_after_click(window, point), {}, f"a click on {what}")

        # Ticks 1 to 3 visit the three bad names; the last one's link is now the picture's.
        time.sleep(max(0.0, list_time + 35 - time.time()))
        self.assertEqual(self.new_processes_after_click(window, panel), {},
                         "a click on the picture after the bad entries' turns")
        shot = self.shot("refusals_end")
        self.assertNotIn(HIGHLIGHT_TEXT_VISITED, self.text_colours(shot, window),
                         "a refused link is not drawn as visited")
        self.assertEqual(self.text_colours(shot, window), unvisited)
        self.assertTrue(self.picture_shown(shot, window, picture))

        fetched = [path for _, path in requests(log, client=launcher)]
        drive_c = os.path.join(harness.CONFIG.prefix, "drive_c")
        checks = [
            ("requests of the run", [p for p in fetched if "evil" in p or p in ("/AD/ok.bmp", LIST_PATH)],
             [LIST_PATH, "/AD/ok.bmp"]),
            ("outside Sup", self.tree(self.case_root, skip=sup), before),
            ("Sup", sorted(self.tree(sup)), ["Ad.his", "ok.bmp", "sub"]),
            ("drive C", [os.path.join(r, f) for r, _, files in os.walk(drive_c) for f in files if f in served[1:]],
             []),
        ]
        for what, actual, expected in checks:
            with self.subTest(written=what):
                self.assertEqual(actual, expected)


if __name__ == "__main__":
    harness.main()
