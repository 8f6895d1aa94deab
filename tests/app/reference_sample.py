#!/usr/bin/env python3
"""An independent model of the map's per-sample answers, for checking `tilvara sample`.

Written from the map's documented behaviour (key, generator seed, the run-time library's
rand, weighted table, distribution curve, gamma/hue/saturation adjustment), over solid-colour
sub-textures. Single precision is modelled by rounding after every operation.
"""
import json
import math
import struct
import sys


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def u32(x):
    return x & 0xFFFFFFFF


def sample_seed(key, seed):
    d = u32(key * seed)
    return u32(d * u32(u32(d * d) * 15731 + 789221))


class Rand:
    def __init__(self, seed):
        self.state = u32(seed)

    def next(self):
        self.state = u32(self.state * 214013 + 2531011)
        return (self.state >> 16) & 0x7FFF


def curve(f, u):
    if f < 0.00001:
        return -1.0
    if f > 0.99999:
        return 1.0
    rest = f32(1.0 - f)
    if u < rest:
        return f32(f32(f32(f32(f / rest) * u) * 2.0) - 1.0)
    return f32(f32(f32(f32(f32(f32(u - 1.0) * rest) / f) + 1.0) * 2.0) - 1.0)


def to_hsv(r, g, b):
    mx, mn = max(r, g, b), min(r, g, b)
    delta = mx - mn
    s = delta / mx if mx > 0 else 0.0
    h = 0.0
    if delta > 0:
        if r == mx:
            h = (g - b) / delta
        elif g == mx:
            h = 2.0 + (b - r) / delta
        else:
            h = 4.0 + (r - g) / delta
        h /= 6.0
        if h < 0:
            h += 1.0
    return h, s, mx


def from_hsv(h, s, v):
    if s <= 0:
        return v, v, v
    h6 = h * 6.0
    if h6 >= 6.0:
        h6 = 0.0
    i = int(h6)
    f = h6 - i
    p, q, t = v * (1 - s), v * (1 - s * f), v * (1 - s * (1 - f))
    return [(v, t, p), (q, v, p), (p, v, t), (p, q, v), (t, p, v), (v, p, q)][i]


def adjust(base, ug, uh, us, prm):
    r, g, b = base[0], base[1], base[2]
    p = f32(f32(curve(prm["fg"], ug) * prm["rnd_gamma"]) + prm["all_gamma"])
    if p > 0:
        r, g, b = (f32(math.pow(c, p)) for c in (r, g, b))
    else:
        r, g, b = (0.0 if c == 0 else 1.0 for c in (r, g, b))
    h, s, v = to_hsv(r, g, b)
    h = f32(f32(f32(f32(curve(prm["fh"], uh) * prm["rnd_hue"]) + prm["all_hue"]) / 360.0) + h)
    if h > 1:
        h = h - math.trunc(h)
    elif h < 0:
        h = h + math.ceil(-h)
    s = f32(f32(f32(f32(curve(prm["fs"], us) * prm["rnd_sat"]) + prm["all_sat"]) / 100.0) * s)
    s = min(max(s, 0.0), 1.0)
    rgb = from_hsv(h, s, v)
    return [min(max(c, 0.0), 1.0) for c in rgb] + [1.0]


def tile_key(w):
    if not (-2147483904.0 < w < 2147483648.0):
        return -2147483648
    return int(w)


def evaluate(prm, subs, sample, scene_render):
    """subs: list of (r, g, b, a) or None; sample: dict mtl, node, w."""
    mode = prm["rnd_by"]
    if mode == 0 or not scene_render:
        key = sample["mtl"]
    elif mode == 1:
        key = sample["node"]
    else:
        key = tile_key(sample["w"])
    table = []
    for i, sub in enumerate(subs):
        if not prm["submap_on"][i] or sub is None:
            continue
        table.extend([i] * max(0, min(prm["probability"][i], 32768 - len(table))))
    rng = Rand(sample_seed(key, prm["seed"]))
    di, dg, dh, ds = rng.next(), rng.next(), rng.next(), rng.next()
    unit = lambda d: f32(d / 32767.0)
    if prm["use_color"]:
        base = list(prm["sub_color"]) + [1.0]
    elif table:
        base = list(subs[table[di % len(table)]])
    else:
        base = [0.0, 0.0, 0.0, 0.0]
    color = adjust(base, unit(dg), unit(dh), unit(ds), prm)
    mono = f32(f32(f32(color[1] + color[0]) + color[2]) / 3.0)
    return color, mono


def main():
    request = json.load(sys.stdin)
    prm = request["params"]
    prm["fg"] = f32(1.0 - f32(prm["occ_gamma"] / 100.0))
    prm["fh"] = f32(prm["occ_hue"] / 100.0)
    prm["fs"] = f32(prm["occ_sat"] / 100.0)
    for sample in request["samples"]:
        color, mono = evaluate(prm, request["subs"], sample, request["scene_render"])
        print(json.dumps({"key": sample["key"], "color": color, "mono": mono}))


if __name__ == "__main__":
    main()
