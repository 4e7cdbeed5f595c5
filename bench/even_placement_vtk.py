#!/usr/bin/python3
"""Times VTK's evenly spaced 2-D streamline filter on the field that
EvenPlacementBench writes, asked for the same separating distance as Tavrel's
placement at the default sliders (10 pixels, test distance half of it) in the
same 1000 x 800 pixel view.

usage: /usr/bin/python3 bench/even_placement_vtk.py DIR [repeats]

DIR holds double_gyre.gri and double_gyre.dat (EvenPlacementBench
--field-dir=DIR). Prints FIGURE lines for scripts/bench.
"""

import statistics
import sys
import time

try:
    import numpy as np
    from vtkmodules.util.numpy_support import numpy_to_vtk
    from vtkmodules.vtkCommonDataModel import vtkImageData
    from vtkmodules.vtkFiltersFlowPaths import vtkEvenlySpacedStreamlines2D, vtkStreamTracer
except ImportError as error:
    raise SystemExit(f"even_placement_vtk.py: {sys.executable} lacks numpy or VTK ({error}); "
                     "run it with the system's /usr/bin/python3 (python3-numpy, python3-vtk9)")

VIEWPORT_WIDTH = 1000
VIEWPORT_HEIGHT = 800
DSEP_PIXELS = 10.0
DTEST_RATIO = 0.5
# One integration step of 2 pixels, the length a Tavrel step covers at unit
# speed, and as many steps per streamline as its two half-lines may take.
STEP_PIXELS = 2.0
MAX_STEPS = 2000


def read_field(directory):
    with open(f"{directory}/double_gyre.gri", "rb") as grid_file:
        header = grid_file.read(40).decode("ascii").split()
        width, height = int(header[1]), int(header[2])
        positions = np.frombuffer(grid_file.read(), dtype="<f4")
    count = width * height
    positions = positions[: 3 * count].reshape(height, width, 3)
    values = 3 + int(header[4])
    records = np.fromfile(f"{directory}/double_gyre.dat", dtype="<f4")[: values * count]
    records = records.reshape(height, width, values)
    return width, height, positions, records


def image_of(width, height, positions, records):
    # The bench writes an evenly spaced rectilinear node grid, which VTK
    # takes fastest as image data; check that it is one.
    x = positions[0, :, 0].astype(np.float64)
    y = positions[:, 0, 1].astype(np.float64)
    dx = (x[-1] - x[0]) / (width - 1)
    dy = (y[-1] - y[0]) / (height - 1)
    if np.max(np.abs(np.diff(x) - dx)) > 1e-4 * dx or np.max(np.abs(np.diff(y) - dy)) > 1e-4 * dy:
        raise SystemExit("even_placement_vtk.py: the node grid is not evenly spaced")
    image = vtkImageData()
    image.SetDimensions(width, height, 1)
    image.SetOrigin(x[0], y[0], 0.0)
    image.SetSpacing(dx, dy, 1.0)
    # Double components: VTK 9.1's placement crashes on float vectors.
    velocity = np.zeros((height * width, 3), dtype=np.float64)
    velocity[:, 0] = records[:, :, 0].reshape(-1)
    velocity[:, 1] = records[:, :, 1].reshape(-1)
    vectors = numpy_to_vtk(velocity, deep=True)
    vectors.SetName("velocity")
    image.GetPointData().SetVectors(vectors)
    return image, (x[0], y[0], x[-1], y[-1])


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    image, (x0, y0, x1, y1) = image_of(*read_field(sys.argv[1]))

    # The view fits the whole data set; its world units per pixel are the
    # mean of both axes, as Tavrel's grid units per pixel are.
    units_per_pixel = 0.5 * ((y1 - y0) / VIEWPORT_HEIGHT + (x1 - x0) / VIEWPORT_WIDTH)
    dsep = DSEP_PIXELS * units_per_pixel

    # VTK 9.1's placement crashes when given lengths in flow units, so they
    # go in cell lengths: the diagonal of one cell of the image.
    spacing = image.GetSpacing()
    cell_length = (spacing[0] ** 2 + spacing[1] ** 2) ** 0.5

    placement = vtkEvenlySpacedStreamlines2D()
    placement.SetInputData(image)
    placement.SetStartPosition(0.5 * (x0 + x1), 0.5 * (y0 + y1), 0.0)
    placement.SetIntegrationStepUnit(vtkStreamTracer.CELL_LENGTH_UNIT)
    placement.SetSeparatingDistance(dsep / cell_length)
    placement.SetSeparatingDistanceRatio(DTEST_RATIO)
    placement.SetInitialIntegrationStep(STEP_PIXELS * units_per_pixel / cell_length)
    placement.SetMaximumNumberOfSteps(MAX_STEPS)
    placement.SetIntegratorTypeToRungeKutta2()
    placement.SetComputeVorticity(False)

    times = []
    for _ in range(repeats):
        placement.Modified()
        start = time.perf_counter()
        placement.Update()
        times.append((time.perf_counter() - start) * 1e3)
    output = placement.GetOutput()
    print(f"separating distance {dsep:.6g} flow units, {output.GetNumberOfPoints()} points,"
          f" runs {', '.join(f'{t:.1f}' for t in times)} ms")
    print(f"FIGURE vtk_even_ms {statistics.median(times):.6g} ms")
    print(f"FIGURE vtk_even_lines {output.GetNumberOfLines()} lines")
    print(f"FIGURE vtk_even_points {output.GetNumberOfPoints()} points")


if __name__ == "__main__":
    main()
