#!/usr/bin/env python3
"""`tilvara sample` agrees with the independent model in reference_sample.py on many keys,
seeds and settings, to within single-precision rounding."""
import json
import os
import random
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reference_sample as ref  # noqa: E402

# The command that runs tilvara: its path, after the emulator that runs it when there is one.
TILVARA = sys.argv[1:]
DEFAULTS = {"all_gamma": 1.0, "all_hue": 0.0, "all_sat": 100.0, "rnd_gamma": 0.0, "rnd_hue": 0.0,
            "rnd_sat": 0.0, "occ_gamma": 50.0, "occ_hue": 50.0, "occ_sat": 50.0, "rnd_by": 0,
            "seed": 12345, "use_color": 0, "sub_color": [0.5, 0.5, 0.5]}


def run_case(subs, params, samples_arg, context):
    args = [*TILVARA, "sample", "--context", context] + samples_arg
    for s in subs:
        args += ["--sub", "empty" if s is None else "solid:%r,%r,%r" % tuple(s[:3])]
    for name, value in params.items():
        text = ",".join(str(v) for v in value) if isinstance(value, list) else str(value)
        args += ["--set", "%s=%s" % (name, text)]
    out = subprocess.run(args, check=True, capture_output=True, text=True).stdout
    return [json.loads(line) for line in out.splitlines()]


def model(subs, params, samples, scene_render):
    prm = dict(DEFAULTS)
    prm.update(params)
    n = len(subs)
    prm.setdefault("submap_on", [1] * n)
    prm.setdefault("probability", [1] * n)
    prm["submap_on"] = (prm["submap_on"] + [1] * n)[:n]
    prm["probability"] = (prm["probability"] + [1] * n)[:n]
    for k in ("all_gamma", "all_hue", "all_sat", "rnd_gamma", "rnd_hue", "rnd_sat", "occ_gamma",
              "occ_hue", "occ_sat"):
        prm[k] = ref.f32(float(prm[k]))
    prm["sub_color"] = [ref.f32(c) for c in prm["sub_color"]]
    prm["fg"] = ref.f32(1.0 - ref.f32(prm["occ_gamma"] / 100.0))
    prm["fh"] = ref.f32(prm["occ_hue"] / 100.0)
    prm["fs"] = ref.f32(prm["occ_sat"] / 100.0)
    subs = [None if s is None else [ref.f32(c) for c in s[:3]] + [1.0] for s in subs]
    return [ref.evaluate(prm, subs, s, scene_render) for s in samples]


def main():
    rng = random.Random(20261207)
    failures = 0
    cases = 0
    for case in range(40):
        nsubs = rng.randint(0, 5)
        subs = [None if rng.random() < 0.15 else [round(rng.random(), 3) for _ in range(3)]
                for _ in range(nsubs)]
        params = {"seed": rng.randint(1, 99999), "rnd_by": rng.randint(0, 2),
                  "rnd_gamma": round(rng.uniform(0, 1.5), 2), "rnd_hue": round(rng.uniform(0, 180), 1),
                  "rnd_sat": round(rng.uniform(0, 80), 1), "all_gamma": round(rng.uniform(0.2, 3), 2),
                  "all_hue": round(rng.uniform(-360, 360), 1), "all_sat": round(rng.uniform(0, 300), 1),
                  "occ_gamma": rng.choice([0, 10, 50, 73, 100]), "occ_hue": rng.choice([0, 25, 50, 100]),
                  "occ_sat": rng.choice([0, 50, 90, 100])}
        if nsubs:
            params["probability"] = [rng.choice([-3, 0, 1, 2, 5, 40000]) for _ in range(nsubs)]
            params["submap_on"] = [rng.choice([0, 1, 1, 1]) for _ in range(nsubs)]
        if rng.random() < 0.2:
            params["use_color"] = 1
            params["sub_color"] = [round(rng.random(), 3) for _ in range(3)]
        context = rng.choice(["editor", "render"])
        if rng.random() < 0.5:
            first = rng.randint(-50, 50)
            samples_arg = ["--keys", "%d:%d" % (first, first + 30)]
            samples = [{"key": k, "mtl": k, "node": k, "w": float(k)} for k in range(first, first + 31)]
        else:
            ws = [round(rng.uniform(-40, 40), 2) for _ in range(20)]
            samples_arg = ["--w", ",".join(str(w) for w in ws)]
            samples = [{"key": w, "mtl": 0, "node": 0, "w": ref.f32(w)} for w in ws]
        got = run_case(subs, params, samples_arg, context)
        want = model(subs, params, samples, context == "render")
        cases += 1
        for g, (color, mono) in zip(got, want):
            if any(abs(a - b) > 2e-5 for a, b in zip(g["color"], color)) or abs(g["mono"] - mono) > 2e-5:
                failures += 1
                print("case %d %s: got %s, model %s %s" % (case, params, g, color, mono))
                break
        if len(got) != len(samples):
            failures += 1
            print("case %d: %d answers for %d samples" % (case, len(got), len(samples)))
    print("%d cases, %d disagreements" % (cases, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
