#!/usr/bin/env python3
"""Black-box behaviour of the command-line host: what a user sees on stdout, stderr and in
the files it writes."""
import hashlib
import json
import os
import re
import resource
import signal
import struct
import subprocess
import sys
import tempfile
import time

# The command that runs tilvara: its path, after the emulator that runs it when there is one.
TILVARA = sys.argv[1:]
EXE = TILVARA[-1]
# A Windows build has no devices, named pipes or signals; the checks of those are Linux's.
WINDOWS = EXE.lower().endswith(".exe")
DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")
failures = []


with open(EXE, "rb") as _f:
    # AddressSanitizer reserves terabytes of address space for its shadow memory, so a
    # sanitized build cannot run under an address-space cap; its script heap limit still holds.
    SANITIZED = b"__asan_init" in _f.read()


def bounded():
    """Runs in the child: a script that escapes its heap limit fails here instead of
    exhausting the machine."""
    if not SANITIZED and not WINDOWS:  # Wine reserves more address space than that
        resource.setrlimit(resource.RLIMIT_AS, (8 << 30, 8 << 30))


def run(*args, expect_ok=True, timeout=120):
    """expect_ok: True, False (a 'tilvara: error:' exit) or None (checked by the caller)."""
    p = subprocess.run([*TILVARA, *args], capture_output=True, text=True, timeout=timeout,
                       preexec_fn=bounded)
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
    for text in ("Korvane Tilvara", "class:       Tilvara", "internal name: Tilvara",
                 "(0x55C6D763, 0xC637BB2E)", "super class:   0xC10"):
        check(text in out, "plugins output lacks %r" % text)
    # The host interface of 2020; other years' numbers are checked by the plug-in's own tests.
    if os.environ.get("TILVARA_MAX_VERSION", "2020") == "2020":
        check("version:     0x55F03700" in out, "plugins output lacks the 2020 version: %r" % out)
    else:
        check(re.search(r"version:     0x[0-9A-F]{8}\n", out), "plugins output lacks a version: %r" % out)

    # Renders are the same bit for bit whatever the number of threads.
    a, b = os.path.join(tmp, "a.png"), os.path.join(tmp, "b.png")
    p = run("render", "--size", "96x64", "--threads", "1", "-o", a)
    # (A Windows build names the file by its Windows path.)
    wrote = ("wrote " in p.stdout and os.path.basename(a) in p.stdout) if WINDOWS else \
        ("wrote " + a) in p.stdout
    check(wrote, "render does not say where it wrote the image")
    run("render", "--size", "96x64", "--threads", "3", "-o", b)
    check(os.path.exists(a) and digest(a) == digest(b), "1- and 3-thread renders differ")
    # Paths are UTF-8 on every platform: a file named outside ASCII is written under its name.
    named = os.path.join(tmp, "d\u00e9j\u00e0-\u6728.png")
    p = run("render", "--size", "8x8", "-o", named)
    check(os.path.exists(named), "a non-ASCII output name was not kept: %r" % os.listdir(tmp))
    check(os.path.basename(named) in p.stdout, "render names its file wrongly: %r" % p.stdout)
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

    # A truncated library beside a good one: skipped with its reason, the good one still works.
    mixed = os.path.join(tmp, "mixed-plugins")
    os.mkdir(mixed)
    good_dlt = os.path.join(os.path.dirname(EXE), "plugins", "Tilvara.dlt")
    with open(good_dlt, "rb") as f:
        whole = f.read()
    with open(os.path.join(mixed, "Tilvara.dlt"), "wb") as f:
        f.write(whole)
    with open(os.path.join(mixed, "broken.dlt"), "wb") as f:
        f.write(whole[:4096])
    p = run("--plugins-dir", mixed, "plugins", expect_ok=False)
    check("Korvane Tilvara" in p.stdout, "the good library beside a truncated one is not listed")
    check(p.stderr.count("tilvara: error:") == 1 and "broken.dlt" in p.stderr and
          "LoadPlugin: " in p.stderr, "the truncated library is not reported once: %r" % p.stderr)
    run("--plugins-dir", mixed, "render", "--size", "16x16", "-o", os.path.join(tmp, "mixed.png"))

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
    check(p.returncode != 0 and '-- No ""+"" function for undefined' in p.stderr,
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

# Hostile input to the command line: a clear error naming the offending text, at once.
with tempfile.TemporaryDirectory() as tmp:
    # Out-of-range values are refused with the range, not clamped; numbers beyond 32 bits
    # are refused, not stored as 0.
    p = run("render", "--set", "seed=-5", "--size", "8x8", expect_ok=False)
    check("tilvara: error: --set seed=-5: out of range 1 to 99999" in p.stderr,
          "an out-of-range seed is not refused with its range: %r" % p.stderr)
    p = run("render", "--set", "rotate=361", "--size", "8x8", expect_ok=False)
    check("out of range 0 to 360" in p.stderr, "an angle's range is not in degrees: %r" % p.stderr)
    p = run("render", "--set", "seed=4294967297", "--size", "8x8", expect_ok=False)
    check("beyond 32 bits" in p.stderr, "a seed beyond 32 bits is not refused: %r" % p.stderr)
    p = run("render", "--set", "probability=1,3000000000", "--size", "8x8", expect_ok=False)
    check("beyond 32 bits" in p.stderr, "a weight beyond 32 bits is not refused: %r" % p.stderr)
    run("render", "--set", "seed=99999", "--set", "rotate=360", "--size", "8x8",
        "-o", os.path.join(tmp, "edge.png"))

    # Only regular files run as scripts, and only up to the engine's size limit.
    for special in (tmp,) if WINDOWS else ("/dev/zero", tmp):
        p = run("script", special, expect_ok=False, timeout=20)
        check(special in p.stderr, "refusing %s does not name it: %r" % (special, p.stderr))
    fifo = os.path.join(tmp, "pipe.ms")
    if WINDOWS:
        os.mkdir(fifo)  # no named pipes: a folder is what is not a regular file there
    else:
        os.mkfifo(fifo)
    run("script", fifo, expect_ok=False, timeout=20)
    huge = os.path.join(tmp, "huge.ms")
    with open(huge, "w") as f:
        f.write("-- padding\n" * ((17 << 20) // 11 + 1) + "print 1\n")
    p = run("script", huge, expect_ok=False, timeout=60)
    check("larger than" in p.stderr, "an oversized script is not refused: %r" % p.stderr)

    # Endless scripts end at --timeout with the engine's message, try or no try.
    for name in ("inf.ms", "inf_try.ms"):
        start = time.monotonic()
        p = run("script", "--timeout", "0.5", os.path.join(DATA, name), expect_ok=False, timeout=60)
        check(time.monotonic() - start < 20, "%s outlived its timeout" % name)
        check("time limit" in p.stderr, "%s: no time-limit message: %r" % (name, p.stderr))
    # Runaway allocation ends at --heap-limit.
    for name in ("alloc_loop.ms", "strdouble.ms"):
        p = run("script", "--heap-limit", "64", os.path.join(DATA, name), expect_ok=False, timeout=120)
        check(p.returncode == 1 and "memory" in p.stderr.lower(),
              "%s: not stopped by the heap limit (exit %d): %r" % (name, p.returncode, p.stderr[-300:]))

    # Ctrl-C interrupts a running script as the Escape key does (a signal here; a Windows
    # console's Ctrl-C cannot be sent to a program under Wine).
    endless = os.path.join(tmp, "endless.ms")
    with open(endless, "w") as f:
        f.write('print "running"\ni = 0\nwhile true do i += 1\n')
    if not WINDOWS:
        child = subprocess.Popen([*TILVARA, "script", endless], stdout=subprocess.PIPE,
                                 stderr=subprocess.PIPE, text=True, preexec_fn=bounded)
        first = child.stdout.readline()
        child.send_signal(signal.SIGINT)
        try:
            out, err = child.communicate(timeout=20)
            check(first.strip() == '"running"', "the script did not start: %r" % first)
            check(child.returncode == 1 and "tilvara: error: " + endless in err and "interrupted" in err,
                  "SIGINT did not interrupt the script cleanly (exit %d): %r" % (child.returncode, err))
        except subprocess.TimeoutExpired:
            child.kill()
            child.communicate()
            failures.append("SIGINT did not stop the script")

    # A saved material library renders as the same settings given with --set.
    lib = os.path.join(tmp, "look.tlvs")
    tex = os.path.join(tmp, "tex.png")
    run("render", "--size", "16x16", "-o", tex)
    look = ["--set", "seed=777", "--set", "rnd_hue=40", "--set", "rnd_gamma=0.6", "--texture", tex,
            "--texture", tex]
    a, b, c = (os.path.join(tmp, n) for n in ("set.png", "lib.png", "plain.png"))
    run("render", *look, "--scene", "faces", "--size", "48x48", "--save-library", lib, "-o", a)
    run("render", "--library", lib, "--scene", "faces", "--size", "48x48", "-o", b)
    run("render", "--texture", tex, "--texture", tex, "--scene", "faces", "--size", "48x48", "-o", c)
    check(os.path.exists(b) and digest(a) == digest(b), "the library renders unlike its settings")
    check(os.path.exists(c) and digest(a) != digest(c), "the settings change nothing")
    # --set applies on top of the library's map.
    d = os.path.join(tmp, "lib-seed.png")
    run("render", "--library", lib, "--set", "seed=778", "--scene", "faces", "--size", "48x48", "-o", d)
    check(os.path.exists(d) and digest(d) != digest(b), "--set does not apply to a library's map")
    # A library that cannot be written fails the render; one without its textures says so.
    unwritable = os.path.join(tmp, "no-such-folder", "full.tlvs") if WINDOWS else "/dev/full"
    p = run("render", *look, "--size", "8x8", "--save-library", unwritable,
            "-o", os.path.join(tmp, "full.png"), expect_ok=False)
    check("--save-library " + unwritable in p.stderr, "a failed save is not named: %r" % p.stderr)
    p = run("render", "--size", "8x8", "--save-library", os.path.join(tmp, "woods.tlvs"),
            "-o", os.path.join(tmp, "woods.png"))
    check("warning" in p.stderr and "--texture" in p.stderr,
          "saving the generated textures gives no warning: %r" % p.stderr)
    # Missing, broken and special files are clear errors.
    p = run("render", "--library", os.path.join(tmp, "missing.tlvs"), expect_ok=False)
    check("--library" in p.stderr, "a missing library is not named: %r" % p.stderr)
    broken = os.path.join(tmp, "broken.tlvs")
    with open(lib, "rb") as src, open(broken, "wb") as dst:
        dst.write(src.read()[:40])
    run("render", "--library", broken, expect_ok=False)
    # The same library with its one root moved to the map's parameter block: no map in it.
    with open(lib, "rb") as f:
        data = bytearray(f.read())
    check(struct.unpack("<I", data[-8:-4])[0] == 1, "the saved library has not one root")
    data[-4:] = struct.pack("<i", 1)
    mapless = os.path.join(tmp, "mapless.tlvs")
    with open(mapless, "wb") as f:
        f.write(data)
    p = run("render", "--library", mapless, expect_ok=False)
    check("holds no map" in p.stderr, "a library without a map is not reported: %r" % p.stderr)
    run("render", "--library", tmp if WINDOWS else "/dev/zero", expect_ok=False, timeout=20)
    run("render", "--texture", fifo, expect_ok=False, timeout=20)

for f in failures:
    print("FAIL:", f)
print("%d failures" % len(failures))
sys.exit(1 if failures else 0)
