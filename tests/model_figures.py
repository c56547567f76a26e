#!/usr/bin/env python3
"""Figures of STL models in the model page's single-precision arithmetic, computed apart from the
application's code: every operation rounded to a 32-bit float, facets summed in file order, texts
rounded half away from zero. Prints the lines tst_modelfigures compares with.

    tests/model_figures.py MODEL.stl ..."""
import struct
import sys
from decimal import ROUND_HALF_UP, Decimal
from pathlib import Path


def f32(value):
    return struct.unpack("<f", struct.pack("<f", value))[0]


def read_corners(path):
    data = Path(path).read_bytes()
    words = data[:4096].decode("latin-1").lower().split()[:50]
    if "facet" in words:
        numbers = []
        tokens = data.decode("latin-1").split()
        for i, token in enumerate(tokens):
            if token.lower() == "vertex":
                numbers.append(tuple(f32(float(t)) for t in tokens[i + 1:i + 4]))
        return [numbers[i:i + 3] for i in range(0, len(numbers) - 2, 3)]
    count = struct.unpack_from("<I", data, 80)[0]
    count = min(count, (len(data) - 84) // 50)
    facets = []
    for k in range(count):
        values = struct.unpack_from("<12f", data, 84 + 50 * k)
        facets.append([values[3:6], values[6:9], values[9:12]])
    return facets


def sub(u, v):
    return tuple(f32(a - b) for a, b in zip(u, v))


def cross(u, v):
    return (f32(f32(u[1] * v[2]) - f32(u[2] * v[1])), f32(f32(u[2] * v[0]) - f32(u[0] * v[2])),
            f32(f32(u[0] * v[1]) - f32(u[1] * v[0])))


def dot(u, v):
    return f32(f32(f32(u[0] * v[0]) + f32(u[1] * v[1])) + f32(u[2] * v[2]))


def text(value, digits=2):
    return str(Decimal(value).quantize(Decimal(1).scaleb(-digits), rounding=ROUND_HALF_UP))


def figures(path):
    facets = read_corners(path)
    low = [min(p[i] for f in facets for p in f) for i in range(3)]
    high = [max(p[i] for f in facets for p in f) for i in range(3)]
    shift = (f32(f32(low[0] + high[0]) * 0.5), f32(f32(low[1] + high[1]) * 0.5), low[2])
    area = volume = f32(0)
    for facet in facets:
        a, b, c = (tuple(f32(p[i] - shift[i]) for i in range(3)) for p in facet)
        side = cross(sub(b, a), sub(c, a))
        area = f32(area + f32(0.5 * dot(side, side) ** 0.5))
        volume = f32(volume + f32(dot(a, cross(b, c)) / 6.0))
    area = f32(area / 100)
    volume = abs(f32(volume / 1000))
    mass = f32(f32(volume * f32(1.1)) / 1000)
    size = [abs(f32(f32(high[i] - shift[i]) - f32(low[i] - shift[i]))) for i in range(3)]
    return [text(size[0]), text(size[1]), text(size[2]), text(area), text(volume),
            text(f32(mass * 1000)), text(f32(mass * 45.0))]


for model in sys.argv[1:]:
    print(Path(model).name, " ".join(figures(model)))
