#!/usr/bin/env python3
"""Black-box behaviour of the command-line host: what a user sees on stdout, stderr and in
the files it writes."""
import hashlib
import json
import os
import subprocess
import sys
import tempfile

TILVARA = sys.argv[1]
failures = []


def run(*args, expect_ok=True):
    """expect_ok: True, False (a 'tilvara: error:' exit) or None (checked by the caller)."""
    p = subprocess.run([TILVARA, *args], capture_output=True, text=True, timeout=120)
    if expect_ok is None:
        return p
    if expect_ok and p.returncode != 0:
        failures.append("%s: exit %d: %s" % (" ".join(args), p.returncode, p.stderr.strip()))
    if not expect_ok and (p.returncode == 0 or not p.stderr.startswith("tilvara: error: ")):
        failures.append("%s: expected a 'tilvara: error:' exit, got %d: %r" % (" ".join(args), p.returncode, p.stderr))
    return p


def check(condition, what):
    if not condition:
        failures.append(what)


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


with tempfile.TemporaryDirectory() as tmp:
    # The loaded library, as the host lists it.
    out = run("plugins").stdout
    for text in ("Korvane Tilvara", "0x55F03700", "class:       Tilvara", "internal name: Tilvara",
                 "(0x55C6D763, 0xC637BB2E)", "super class:   0xC10"):
        check(text in out, "plugins output lacks %r" % text)

    # Renders are the same bit for bit whatever the number of threads.
    a, b = os.path.join(tmp, "a.png"), os.path.join(tmp, "b.png")
    p = run("render", "--size", "96x64", "--threads", "1", "-o", a)
    check(("wrote " + a) in p.stdout, "render does not say where it wrote the image")
    run("render", "--size", "96x64", "--threads", "3", "-o", b)
    check(os.path.exists(a) and digest(a) == digest(b), "1- and 3-thread renders differ")
    for scene in ("faces", "objects"):
        run("render", "--scene", scene, "--size", "64x64", "-o", os.path.join(tmp, scene + ".png"))
    # Sub-textures from files: the rendered image is one of the texture file's own.
    run("render", "--texture", a, "--set", "rnd_gamma=0", "--set", "rnd_hue=0", "--set", "rnd_sat=0",
        "--size", "32x32", "-o", os.path.join(tmp, "c.png"))

    # Bad input: a clear error and a non-zero exit, never a crash.
    run("render", "--texture", os.path.join(tmp, "missing.png"), expect_ok=False)
    run("render", "--set", "no_such=1", expect_ok=False)
    run("render", "--set", "seed=abc", expect_ok=False)
    run("render", "--set", "submaps=1", expect_ok=False)
    run("render", "--size", "0x5", expect_ok=False)
    run("render", "--scene", "moon", expect_ok=False)
    run("sample", "--keys", "5:1", expect_ok=False)
    run("sample", "--sub", "noise", "--keys", "0:1", expect_ok=False)
    run("plugins", "--plugins-dir", os.path.join(tmp, "nothing-here"), expect_ok=False)

    # A weight of 2,000,000,000 answers at once; every key picks the heavy entry's colour.
    p = run("sample", "--sub", "solid:1,0,0", "--sub", "solid:0,0,1", "--set", "probability=2000000000,1",
            "--keys", "0:40")
    lines = [json.loads(l) for l in p.stdout.splitlines()]
    check(len(lines) == 41, "sample printed %d lines for 41 keys" % len(lines))
    check(all(l["color"] == [1, 0, 0, 1] for l in lines), "a huge weight does not dominate the picks")

    # --w keys by tile only inside a scene render; the editor keys by material ID.
    render = [json.loads(l) for l in run("sample", "--sub", "solid:1,0,0", "--sub", "solid:0,1,0",
                                         "--set", "rnd_by=2", "--context", "render",
                                         "--w", "3.7,3.2,-0.5,0.99").stdout.splitlines()]
    check(render[0]["color"] == render[1]["color"] and render[2]["color"] == render[3]["color"],
          "W values in one tile disagree")
    check([r["key"] for r in render] == [3.70000005, 3.20000005, -0.5, 0.99000001], "keys are not echoed: %s" % render)
    editor = [json.loads(l) for l in run("sample", "--sub", "solid:1,0,0", "--sub", "solid:0,1,0",
                                         "--set", "rnd_by=2", "--mtl", "7",
                                         "--w", "1,2,3").stdout.splitlines()]
    check(len({tuple(e["color"]) for e in editor}) == 1, "the editor context does not key by material ID")

    # Scripts: results, errors in the listener's form, syntax checks with positions.
    p = run("script", "-e", "m = Tilvara(); m.probability = #(3, 4); m.probability")
    check(p.stdout.strip() == "#(3, 4)", "script -e printed %r" % p.stdout)
    p = run("script", "-e", "undefined + 1", expect_ok=None)
    check(p.returncode != 0 and '-- No "+" function for undefined' in p.stderr,
          "a script error is not reported as the listener does: %r" % p.stderr)
    bad = os.path.join(tmp, "bad.ms")
    with open(bad, "w") as f:
        f.write("x = (1 + \n)\ny = #(1, 2\n")
    p = run("script", "--syntax-only", bad, expect_ok=None)
    check(p.returncode != 0 and (bad + ":2:1: syntax error") in p.stderr and (bad + ":4:1:") in p.stderr,
          "syntax errors are not reported with file, line and column: %r" % p.stderr)
    good = os.path.join(tmp, "good.ms")
    with open(good, "w") as f:
        f.write('m = Tilvara()\nprint m.ListView\nformat "%\\n" (classOf m)\n')
    p = run("script", good)
    check(p.stdout.splitlines() == ["undefined", "Tilvara"], "script file printed %r" % p.stdout)

    # The rollout picture.
    r = os.path.join(tmp, "rollout.png")
    run("rollout", "-o", r)
    check(os.path.exists(r) and os.path.getsize(r) > 1000, "rollout picture missing")

for f in failures:
    print("FAIL:", f)
print("%d failures" % len(failures))
sys.exit(1 if failures else 0)
