#!/usr/bin/env python3
"""The engine against its peers, in one run, interleaved: every round runs each
program once, in turn, so that the machine's ups and downs hit all alike.
Prints the median of each figure and the engine / peer ratios (Markdown).

  bench/peers/run.py BUILD_DIR [--rounds N] [--only sprites|startup|idle]

BUILD_DIR is a Release build with the targets tindervale, sprite_peers, bare_peer
and (optional) sfml_peer. SFML needs an X display: the script starts Xvfb for it
and for the idle figure; the rest runs with SDL's offscreen driver."""
import argparse, os, resource, shutil, statistics, subprocess, sys, tempfile, time

ap = argparse.ArgumentParser()
ap.add_argument("build")
ap.add_argument("--rounds", type=int, default=5)
ap.add_argument("--only")
args = ap.parse_args()
build = os.path.abspath(args.build)
peers = os.path.join(build, "bench", "sprite_peers")
bare = os.path.join(build, "bench", "bare_peer")
sfml = os.path.join(build, "bench", "sfml_peer")
game = os.path.join(build, "tindervale")

env = dict(os.environ, SDL_VIDEODRIVER="offscreen", SDL_AUDIODRIVER="dummy",
           XDG_CONFIG_HOME=tempfile.mkdtemp(prefix="tv-bench-"))
env.pop("DISPLAY", None)
xvfb = None
def xdisplay():
    global xvfb
    if xvfb is None and shutil.which("Xvfb"):
        xvfb = subprocess.Popen(["Xvfb", ":97", "-screen", "0", "640x960x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.5)
    return dict(env, DISPLAY=":97", SDL_VIDEODRIVER="x11") if xvfb else None

def run(cmd, e):
    out = subprocess.run(cmd, env=e, capture_output=True, text=True, timeout=600)
    if out.returncode != 0:
        raise RuntimeError(f"{cmd}: {out.stderr.strip()[-300:]}")
    return out.stdout

def rusage_run(cmd, e):
    """Wall seconds and CPU seconds (user + system) of one process."""
    start = time.monotonic()
    p = subprocess.Popen(cmd, env=e, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, ru = os.wait4(p.pid, 0)
    if status != 0:
        raise RuntimeError(f"{cmd} failed")
    return time.monotonic() - start, ru.ru_utime + ru.ru_stime

rows = []
def table(title, results, engine_key, peers_):
    med = {k: statistics.median(v) for k, v in results.items() if v}
    for p in peers_:
        if p in med and engine_key in med:
            rows.append((title, p, med[engine_key], med[p], med[engine_key] / med[p],
                         min(a / b for a, b in zip(results[engine_key], results[p]))
                         , max(a / b for a, b in zip(results[engine_key], results[p]))))

if args.only in (None, "sprites"):
    for size, count in ((32, 2000), (4, 20000)):
        modes = ["engine", "sdl-copy", "sdl-geometry", "gles-batch"]
        have_sfml = os.path.exists(sfml) and xdisplay() is not None
        if have_sfml:
            modes += ["sfml-sprite", "sfml-vertexarray"]
        # The atlas against the peers that also draw every quad in one call.
        atlas = size == 4
        if atlas:
            modes.append("engine-atlas")
        results = {m: [] for m in modes}
        for r in range(args.rounds):
            for m in modes:
                if m.startswith("sfml"):
                    out = run([sfml, m, str(size), str(count), "100"], xdisplay())
                else:
                    out = run([peers, m, str(size), str(count), "100"], env)
                results[m].append(float(out.split()[1]))
        sprite_peers_ = [m for m in modes[1:] if m != "engine-atlas"]
        table(f"{count} moving {size}x{size} sprites, ms/frame", results, "engine", sprite_peers_)
        if atlas:
            table(f"{count} moving {size}x{size} atlas quads, one call, ms/frame", results, "engine-atlas",
                  [m for m in sprite_peers_ if m in ("sdl-geometry", "gles-batch", "sfml-vertexarray")])

if args.only in (None, "startup"):
    # bare-picture: the bare program also showing one textured picture, as the game's first frame does.
    results = {"engine": [], "bare": [], "bare-picture": []}
    for r in range(args.rounds * 2):
        results["engine"].append(rusage_run([game, "--headless", "--frames", "1"], env)[0])
        results["bare"].append(rusage_run([bare, "frames", "1"], env)[0])
        results["bare-picture"].append(rusage_run([bare, "picture", "1"], env)[0])
    table("start-up, exec to exit, s", results, "engine", ["bare", "bare-picture"])

if args.only in (None, "idle") and xdisplay():
    results = {"engine": [], "bare": []}
    for r in range(max(2, args.rounds // 2)):
        wall, cpu = rusage_run([game, "--scale", "1", "--frames", "300"], xdisplay())
        results["engine"].append(cpu / wall * 100)
        wall, cpu = rusage_run([bare, "idle", "5"], xdisplay())
        results["bare"].append(cpu / wall * 100)
    table("CPU % of a core, main menu standing still (Xvfb)", results, "engine", ["bare"])

print("| Figure | Peer | Engine | Peer | Engine / peer (median) | range |")
print("|---|---|---|---|---|---|")
for title, p, e, v, ratio, lo, hi in rows:
    print(f"| {title} | {p} | {e:.3f} | {v:.3f} | {ratio:.2f}x | {lo:.2f}-{hi:.2f} |")
if xvfb:
    xvfb.terminate()
