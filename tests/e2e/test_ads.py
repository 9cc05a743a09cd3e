"""First run with the loopback ad server: the list is fetched from the
build's address, cached as Sup\\Ad.his, its picture fetched into Sup and
shown in the strip."""

import os
import subprocess

import harness
from harness import SAMPLE_ADS, parse_ppm, pixel, wait_for

PICTURE_AT = (491, 64)  # client position of the picture inside its frame


def requested(log, path):
    if not os.path.exists(log):
        return False
    with open(log) as f:
        return any(line.split("\t")[1:3] == ["GET", path] for line in f)


class Ads(harness.Scenario):

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


if __name__ == "__main__":
    harness.main()
