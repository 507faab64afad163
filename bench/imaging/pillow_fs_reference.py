#!/usr/bin/env python3
"""Reference timing: Pillow's C Floyd-Steinberg to a 256-colour 3-3-2 palette.

usage: pillow_fs_reference.py IMAGE.png [REPETITIONS]
    Prints one line: "pillow_ms_per_image <milliseconds>" (median of 5 batches).
usage: pillow_fs_reference.py IMAGE.png --serve
    Answers each line "N" on stdin with one line "pillow_ms_per_image <ms>",
    the mean of N conversions timed now, so that a caller can alternate its
    own timings with Pillow's and both see the same machine load.
"""
import statistics
import sys
import time

from PIL import Image


def palette_332():
    values = []
    for i in range(256):
        values += [((i >> 5) & 7) * 255 // 7, ((i >> 2) & 7) * 255 // 7, (i & 3) * 255 // 3]
    pal = Image.new("P", (1, 1))
    pal.putpalette(values)
    return pal


def timed(image, pal, reps):
    start = time.perf_counter()
    for _ in range(reps):
        image.quantize(palette=pal, dither=Image.Dither.FLOYDSTEINBERG)
    return (time.perf_counter() - start) * 1000.0 / reps


def main():
    path = sys.argv[1]
    image = Image.open(path).convert("RGB")
    image.load()
    pal = palette_332()
    image.quantize(palette=pal, dither=Image.Dither.FLOYDSTEINBERG)  # warm up
    if len(sys.argv) > 2 and sys.argv[2] == "--serve":
        print("ready", flush=True)
        for line in sys.stdin:
            reps = max(1, int(line))
            print(f"pillow_ms_per_image {timed(image, pal, reps):.4f}", flush=True)
        return
    reps = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    batches = [timed(image, pal, reps) for _ in range(5)]
    print(f"pillow_ms_per_image {statistics.median(batches):.4f}")


if __name__ == "__main__":
    main()
