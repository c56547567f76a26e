#!/usr/bin/env python3
"""Writes the two built-in models of the 3D view as binary STL (millimetres):

resources/stl/bed.stl          the build plate: a 110 x 110 x 5 mm plate with rounded corners,
                               a 1 mm chamfer round the top edge and four countersunk screw
                               holes; its flat top face is the build surface.
resources/stl/gridpattern.stl  the calibration grid engraved on the plate: a row and a column of
                               nine 10 mm cells (sharing the centre cell) drawn as 0.2 mm ridges,
                               the same layout as resources/img/grid.svg.

Usage: make_resource_models.py [resources folder]   (default: ../resources beside this script)
"""

import math
import os
import struct
import sys

PLATE_HALF = 55.0        # half of the plate's side
PLATE_THICKNESS = 5.0
CORNER_RADIUS = 8.0
CHAMFER = 1.0
HOLE_CENTRE = PLATE_HALF - CORNER_RADIUS   # concentric with the corner arcs
HOLE_RADIUS = 2.5        # M5 clearance
COUNTERSINK_RADIUS = 4.0
COUNTERSINK_DEPTH = 1.5
HOLE_SEGMENTS = 24
CORNER_SEGMENTS = HOLE_SEGMENTS // 4   # so the arc points lie on the holes' spokes

GRID_CELLS = 9
GRID_PITCH = 10.0
GRID_LINE = 0.2
GRID_RIDGE_HEIGHT = 0.2

# Quadrants in counter-clockwise order, each with the side midpoint where its outline starts.
QUADRANTS = ((1, 1), (-1, 1), (-1, -1), (1, -1))
SIDE_MIDPOINTS = (lambda h: (h, 0.0), lambda h: (0.0, h), lambda h: (-h, 0.0), lambda h: (0.0, -h))


def sub(p, q):
    return (p[0] - q[0], p[1] - q[1], p[2] - q[2])


def cross(u, v):
    return (u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0])


def normal_of(a, b, c):
    n = cross(sub(b, a), sub(c, a))
    length = math.sqrt(n[0] ** 2 + n[1] ** 2 + n[2] ** 2)
    if length == 0.0:
        raise ValueError("degenerate facet %r %r %r" % (a, b, c))
    return (n[0] / length, n[1] / length, n[2] / length)


class Mesh:
    """Triangles wound counter-clockwise seen from outside the solid."""

    def __init__(self):
        self.triangles = []

    def triangle(self, a, b, c):
        self.triangles.append((a, b, c))

    def quad(self, a, b, c, d):
        self.triangle(a, b, c)
        self.triangle(a, c, d)

    def band(self, lower, upper):
        """Wall between two closed rings of equal length, both counter-clockwise from above;
        the wall faces away from the ring centre."""
        count = len(lower)
        for i in range(count):
            j = (i + 1) % count
            self.quad(lower[i], lower[j], upper[j], upper[i])

    def box(self, x0, y0, z0, x1, y1, z1):
        p = [(x, y, z) for z in (z0, z1) for y in (y0, y1) for x in (x0, x1)]
        self.quad(p[0], p[2], p[3], p[1])   # bottom
        self.quad(p[4], p[5], p[7], p[6])   # top
        self.quad(p[0], p[1], p[5], p[4])   # front (y0)
        self.quad(p[2], p[6], p[7], p[3])   # back (y1)
        self.quad(p[0], p[4], p[6], p[2])   # left (x0)
        self.quad(p[1], p[3], p[7], p[5])   # right (x1)

    def check_closed(self):
        """Every edge must be used once in each direction, or the solid has a crack."""
        edges = {}
        for a, b, c in self.triangles:
            for p, q in ((a, b), (b, c), (c, a)):
                key = (tuple(round(v, 6) for v in p), tuple(round(v, 6) for v in q))
                edges[key] = edges.get(key, 0) + 1
        if any(count != 1 or edges.get((q, p)) != 1 for (p, q), count in edges.items()):
            raise ValueError("the mesh is not closed")

    def write_binary_stl(self, path, title):
        header = title.encode("ascii")[:80].ljust(80, b" ")
        if b"facet" in header.lower():
            raise ValueError("the header must not hold the word facet")
        with open(path, "wb") as out:
            out.write(header)
            out.write(struct.pack("<I", len(self.triangles)))
            for a, b, c in self.triangles:
                out.write(struct.pack("<12fH", *normal_of(a, b, c), *a, *b, *c, 0))


def quadrant_outline(half, radius, quarter):
    """One quadrant of the rounded square as a convex polygon closed through the origin,
    counter-clockwise: origin, side midpoint, corner arc, next side midpoint."""
    sx, sy = QUADRANTS[quarter]
    centre = half - radius
    arc = []
    for k in range(CORNER_SEGMENTS + 1):
        angle = math.pi / 2 * (quarter + k / CORNER_SEGMENTS)
        arc.append((sx * centre + radius * math.cos(angle), sy * centre + radius * math.sin(angle)))
    next_midpoint = SIDE_MIDPOINTS[(quarter + 1) % 4](half)
    return [(0.0, 0.0), SIDE_MIDPOINTS[quarter](half)] + arc + [next_midpoint]


def ray_hit(polygon, origin, angle):
    """Where a ray from a point inside a convex polygon leaves it."""
    dx, dy = math.cos(angle), math.sin(angle)
    nearest = None
    for index, a in enumerate(polygon):
        b = polygon[(index + 1) % len(polygon)]
        ex, ey = b[0] - a[0], b[1] - a[1]
        den = dx * ey - dy * ex
        if abs(den) < 1e-12:
            continue
        wx, wy = a[0] - origin[0], a[1] - origin[1]
        t = (wx * ey - wy * ex) / den
        s = (wx * dy - wy * dx) / den
        if t > 1e-9 and -1e-9 <= s <= 1 + 1e-9 and (nearest is None or t < nearest):
            nearest = t
    # Snapped so that hits on the axes match exactly between mirrored quadrants.
    hit = (origin[0] + nearest * dx, origin[1] + nearest * dy)
    return tuple(0.0 if abs(v) < 1e-9 else v for v in hit)


def hole_angles():
    return [2 * math.pi * k / HOLE_SEGMENTS for k in range(HOLE_SEGMENTS)]


def circle(centre, radius):
    return [(centre[0] + radius * math.cos(a), centre[1] + radius * math.sin(a))
            for a in hole_angles()]


class QuadrantCap:
    """The cap of one quadrant around its hole: the polygon's corners plus the points where the
    hole's spokes meet the polygon, sorted by angle about the hole centre."""

    def __init__(self, half, radius, quarter):
        sx, sy = QUADRANTS[quarter]
        self.centre = (sx * HOLE_CENTRE, sy * HOLE_CENTRE)
        polygon = quadrant_outline(half, radius, quarter)
        self.spokes = [ray_hit(polygon, self.centre, a) for a in hole_angles()]
        points = []
        for p in polygon + self.spokes:
            if all(math.hypot(p[0] - q[0], p[1] - q[1]) > 1e-7 for q in points):
                points.append(p)
        points.sort(key=self.angle)
        self.ring = points
        self.first_midpoint = SIDE_MIDPOINTS[quarter](half)
        self.next_midpoint = SIDE_MIDPOINTS[(quarter + 1) % 4](half)

    def angle(self, p):
        return math.atan2(p[1] - self.centre[1], p[0] - self.centre[0]) % (2 * math.pi)

    def index_of(self, p):
        return min(range(len(self.ring)),
                   key=lambda i: math.hypot(self.ring[i][0] - p[0], self.ring[i][1] - p[1]))

    def outline_part(self):
        """The ring from this quadrant's side midpoint up to (not including) the next one."""
        first, last = self.index_of(self.first_midpoint), self.index_of(self.next_midpoint)
        ring = self.ring[first:] + self.ring[:first]
        return ring[:(last - first) % len(ring)]

    def triangles(self, hole_radius):
        """Between two neighbouring spokes: a fan from the inner end of the first spoke over the
        polygon points up to the second spoke, closed back to the hole."""
        inner = circle(self.centre, hole_radius)
        spoke_index = [self.index_of(p) for p in self.spokes]
        count = len(self.ring)
        result = []
        for k in range(HOLE_SEGMENTS):
            nxt = (k + 1) % HOLE_SEGMENTS
            p = spoke_index[k]
            while p != spoke_index[nxt]:
                result.append((inner[k], self.ring[p], self.ring[(p + 1) % count]))
                p = (p + 1) % count
            result.append((inner[k], self.ring[p], inner[nxt]))
        return result


def polygon_area(points):
    return 0.5 * sum(points[i - 1][0] * points[i][1] - points[i][0] * points[i - 1][1]
                     for i in range(len(points)))


def signed_area(a, b, c):
    return 0.5 * ((b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1]))


def plate_face(half, radius, hole_radius, z, facing_up, mesh):
    """Adds one horizontal face of the plate (with its four holes) and returns the face's outline
    ring, counter-clockwise, for the walls. The triangles are checked to be wound one way and to
    cover exactly the face's area, so they neither overlap nor leave gaps."""
    outline = []
    expected = covered = 0.0
    for quarter in range(4):
        cap = QuadrantCap(half, radius, quarter)
        outline += cap.outline_part()
        expected += polygon_area(cap.ring) - polygon_area(circle(cap.centre, hole_radius))
        for a, b, c in cap.triangles(hole_radius):
            area = signed_area(a, b, c)
            if area <= 0.0:
                raise ValueError("face triangle wound the wrong way")
            covered += area
            a3, b3, c3 = a + (z,), b + (z,), c + (z,)
            mesh.triangle(*((a3, b3, c3) if facing_up else (a3, c3, b3)))
    if abs(covered - expected) > 1e-6 * expected:
        raise ValueError("face triangles overlap or leave gaps")
    return outline


def at_height(points, z):
    return [(x, y, z) for x, y in points]


def build_plate():
    mesh = Mesh()
    edge_z = PLATE_THICKNESS - CHAMFER
    outline = plate_face(PLATE_HALF, CORNER_RADIUS, HOLE_RADIUS, 0.0, False, mesh)
    top_outline = plate_face(PLATE_HALF - CHAMFER, CORNER_RADIUS - CHAMFER, COUNTERSINK_RADIUS,
                             PLATE_THICKNESS, True, mesh)
    if len(outline) != len(top_outline):
        raise ValueError("the chamfer's two outlines differ in length")
    mesh.band(at_height(outline, 0.0), at_height(outline, edge_z))
    mesh.band(at_height(outline, edge_z), at_height(top_outline, PLATE_THICKNESS))

    seat_z = PLATE_THICKNESS - COUNTERSINK_DEPTH
    for sx, sy in QUADRANTS:
        centre = (sx * HOLE_CENTRE, sy * HOLE_CENTRE)
        # The bore faces its own axis, so its rings run clockwise seen from above.
        bore = list(reversed(circle(centre, HOLE_RADIUS)))
        sink = list(reversed(circle(centre, COUNTERSINK_RADIUS)))
        mesh.band(at_height(bore, 0.0), at_height(bore, seat_z))
        mesh.band(at_height(bore, seat_z), at_height(sink, PLATE_THICKNESS))
    mesh.check_closed()
    return mesh


def build_grid_pattern():
    """Ridges centred on the grid lines; lines already drawn by a long ridge get no short one."""
    mesh = Mesh()
    half_span = GRID_CELLS * GRID_PITCH / 2 + GRID_LINE / 2
    half_line = GRID_LINE / 2
    band_half = GRID_PITCH / 2 + half_line
    lines = [(k - GRID_CELLS // 2 - 0.5) * GRID_PITCH for k in range(GRID_CELLS + 1)]
    h = GRID_RIDGE_HEIGHT
    for edge in (-GRID_PITCH / 2, GRID_PITCH / 2):
        mesh.box(-half_span, edge - half_line, 0.0, half_span, edge + half_line, h)
        mesh.box(edge - half_line, -half_span, 0.0, edge + half_line, half_span, h)
    for position in lines:
        if abs(abs(position) - GRID_PITCH / 2) < 1e-9:
            continue
        mesh.box(position - half_line, -band_half, 0.0, position + half_line, band_half, h)
        mesh.box(-band_half, position - half_line, 0.0, band_half, position + half_line, h)
    return mesh


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    resources = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    folder = os.path.join(resources, "stl")
    os.makedirs(folder, exist_ok=True)
    plate = build_plate()
    plate.write_binary_stl(os.path.join(folder, "bed.stl"),
                           "Kelvarome build plate 110x110x5 mm, binary STL")
    grid = build_grid_pattern()
    grid.write_binary_stl(os.path.join(folder, "gridpattern.stl"),
                          "Kelvarome calibration grid ridges, 10 mm cells, binary STL")
    print("bed.stl: %d facets, gridpattern.stl: %d facets"
          % (len(plate.triangles), len(grid.triangles)))


if __name__ == "__main__":
    main()
