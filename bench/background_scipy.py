#!/usr/bin/env python3
"""The background image of BackgroundBench done the SciPy way, for comparison.

Usage: background_scipy.py DIR

DIR holds what `BackgroundBench --field-dir DIR` wrote: the regular grid's
sample speeds, the colour table, the sampling lattice of the 1000 x 800
viewport and the image the C++ loop made. This script samples the same speeds
at the same points as a SciPy user would write it, as lean as it goes:
scipy.ndimage.map_coordinates (order 1, bilinear), the speeds normalised by
the maximum, the inside rule and the table index as masks with np.where, and
one np.take from the table extended by a white entry for the pixels without
a speed. It prints the median time of one image as

    FIGURE scipy_background_1000x800_ms <value> ms

and, as a check that both do the same work, the share of pixels equal to the
C++ image (map_coordinates blends in double precision, so a few pixels on the
border between two table entries may differ).
"""

import os
import statistics
import sys
import time

try:
    import numpy as np
    from scipy.ndimage import map_coordinates
except ImportError:
    # A Python of its own (pyenv, venv) may lack the system's NumPy and SciPy.
    system = "/usr/bin/python3"
    if os.path.realpath(sys.executable) != os.path.realpath(system) and os.path.exists(system):
        os.execv(system, [system] + sys.argv)
    raise

REPEATS = 9


def read_params(path):
    with open(path) as f:
        fields = next(line for line in f if not line.startswith("#")).split()
    w, h = int(fields[0]), int(fields[1])
    max_speed = np.float32(fields[2])
    vw, vh = int(fields[3]), int(fields[4])
    g0x, g0y, dx, dy = (np.float32(v) for v in fields[5:9])
    entries = int(fields[9])
    return w, h, max_speed, vw, vh, g0x, g0y, dx, dy, entries


def lattice(start, step, count):
    """Positions as the pixel walk accumulates them: one float32 addition per pixel."""
    steps = np.full(count, step, dtype=np.float32)
    steps[0] = start
    return np.add.accumulate(steps, dtype=np.float32)


def inside_cells(positions, samples):
    """FlowData's inside rule along one axis: 0 <= trunc(p) < samples - 1."""
    finite = np.isfinite(positions)
    cells = np.where(finite, positions, -1.0).astype(np.int64)
    return finite & (cells >= 0) & (cells < samples - 1)


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    folder = sys.argv[1]
    w, h, max_speed, vw, vh, g0x, g0y, dx, dy, entries = read_params(os.path.join(folder, "background_params.txt"))
    speed = np.fromfile(os.path.join(folder, "background_speed.f32"), dtype=np.float32).reshape(h, w)
    table = np.fromfile(os.path.join(folder, "background_table.u8"), dtype=np.uint8).reshape(entries, 3)
    xs = lattice(g0x, dx, vw)
    ys = lattice(g0y, dy, vh)

    # The table with alpha, and one white entry more for pixels without a
    # value (or whose t has no entry).
    lut = np.full((entries + 1, 4), 255, dtype=np.uint8)
    lut[:entries, :3] = table
    inside = inside_cells(ys, h)[:, None] & inside_cells(xs, w)[None, :]

    def render():
        rows, cols = np.meshgrid(ys, xs, indexing="ij")
        sampled = map_coordinates(speed, [rows, cols], order=1, mode="nearest", prefilter=False)
        product = np.float32(entries) * (sampled / max_speed)
        # trunc(product) lies in 0 .. entries exactly when product lies in
        # (-1, entries + 1); entries itself is the top of the range and shows
        # the last entry. NaN fails both comparisons.
        with np.errstate(invalid="ignore"):
            valid = inside & (product > -1.0) & (product < entries + 1.0) & (entries > 0)
        index = np.where(valid, np.clip(product, 0.0, entries - 1.0), entries).astype(np.intp)
        return np.take(lut, index, axis=0)

    image = render()
    times = []
    for _ in range(REPEATS):
        start = time.perf_counter()
        render()
        times.append((time.perf_counter() - start) * 1e3)

    reference_path = os.path.join(folder, "background_image.rgba")
    if os.path.exists(reference_path):
        reference = np.fromfile(reference_path, dtype=np.uint8).reshape(vh, vw, 4)
        same = np.all(reference == image, axis=2).mean()
        print(f"pixels equal to the C++ image: {same * 100:.3f} %")
    print(f"FIGURE scipy_background_1000x800_ms {statistics.median(times):.6g} ms", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
