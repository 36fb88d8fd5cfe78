#!/usr/bin/env python3
"""Checks the layering from the compiler's own record of what each translation unit includes.

Reads the dependency data of a finished build (Ninja's deps log through `ninja -t deps`, or the
compiler's .d files for other generators), so every header counts, however deeply it is
included. A unit fails when, directly or through other headers, it includes:
  - a layer above its own (base < platform < classlib < Src, lib < app; Src and lib are peers
    that never include each other);
  - for lib/'s own files, a lib/ folder after their own (skin < graphics < controls < forms <
    dialogs);
  - X11 headers outside platform/backend/x11/;
  - FFmpeg or SDL headers outside Src/'s own units, so the Src/ headers other layers include
    stay free of them;
  - platform's internal headers (anything but its public set, below) outside platform/.

Usage: check_layers.py SOURCE_DIR BUILD_DIR [NINJA]
"""
import glob
import os
import re
import subprocess
import sys

LAYERS = ["base", "platform", "classlib", "Src", "lib", "app"]
RANK = {"base": 0, "platform": 1, "classlib": 2, "Src": 3, "lib": 3, "app": 4}
PEERS = {"Src", "lib"}
TOP = 5  # tools/, bench/, fuzz/: above every layer
LIB_FOLDERS = ["skin", "graphics", "controls", "forms", "dialogs"]

# What of platform/ the other layers may see: the Win32-shaped API at its top, the pixel
# kernels the skin engine draws with too, the shell's interface with the environment tests
# install, and the choice of backend with the headless backend's hooks for tests. The rest
# (the rest of gdi/, text/, window/, backend internals such as the Xlib-based X11Backend.h) is
# platform's own.
PLATFORM_PUBLIC = re.compile(
    r"^platform/([^/]+\.h"
    r"|gdi/PixelKernels\.h"
    r"|shell/(Shell|ShellApi|Services|ChangeNotify|Environment)\.h"
    r"|backend/(Backend|Choose)\.h|backend/headless/[^/]+\.h|backend/x11/X11\.h)$")

X11_HEADER = re.compile(r"^/usr/include/X11/")
MEDIA_HEADER = re.compile(r"^/usr/include/(?:[^/]+/)?(?:libav[a-z]*|libsw[a-z]*|libpostproc|SDL2?)/")

# Units outside Src/ and tests/Src/ that drive the media libraries themselves, as Src's tests
# do: Src's fuzz targets and benchmarks, and the catalogue and main-window run tests, which read
# the converted files back through the library.
MEDIA_DRIVERS = {
    "fuzz/options.cpp", "fuzz/optdispatch.cpp", "fuzz/probe.cpp",
    "bench/transcode.cpp", "bench/player.cpp",
    "tests/app/catalogue/CatalogueConvertTest.cpp", "tests/app/forms/RunTest.cpp",
}


class Unit:
    """Where a source file sits: its layer (None above them all), its lib/ folder, and whose
    insides it may see."""

    def __init__(self, rel):
        self.rel = rel
        parts = rel.split("/")
        self.tests = parts[0] == "tests"
        if self.tests:
            parts = parts[1:]
        self.layer = parts[0] if len(parts) > 1 and parts[0] in LAYERS else None
        self.rank = RANK[self.layer] if self.layer else TOP
        # The folder order binds lib/'s own files; its tests drive whole forms from any folder.
        self.folder = None
        if self.layer == "lib" and not self.tests and len(parts) > 2 and parts[1] in LIB_FOLDERS:
            self.folder = parts[1]
        self.platform_own = self.layer == "platform"
        self.media_own = self.layer == "Src" or rel in MEDIA_DRIVERS
        # The backend itself, and tests that read a real X server back through Xlib.
        self.x11_own = rel.startswith("platform/backend/x11/") or (self.tests and "x11" in parts[1:-1])


def header_of(rel):
    """A project header's layer and lib/ folder, or (None, None)."""
    parts = rel.split("/")
    if len(parts) < 2 or parts[0] not in LAYERS:
        return None, None
    folder = parts[1] if parts[0] == "lib" and len(parts) > 2 else None
    return parts[0], folder


def read_ninja_deps(build, ninja):
    out = subprocess.run([ninja, "-C", build, "-t", "deps"], check=True, capture_output=True, text=True).stdout
    units, current, stale = {}, None, []
    for line in out.splitlines():
        if not line.strip():
            continue
        if not line.startswith(" "):
            target = line.split(":", 1)[0]
            current = units.setdefault(target, [])
            if "(STALE)" in line:
                stale.append(target)
        else:
            current.append(line.strip())
    return units, stale


def read_depfiles(build):
    units = {}
    for path in glob.glob(os.path.join(build, "**", "*.d"), recursive=True):
        with open(path, errors="replace") as f:
            text = f.read().replace("\\\n", " ")
        # The first rule of the file: "object: source headers...".
        rule = text.split("\n", 1)[0]
        if ":" not in rule:
            continue
        target, deps = rule.split(": ", 1) if ": " in rule else rule.split(":", 1)
        units[target] = deps.split()
    return units, []


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    source = os.path.realpath(sys.argv[1])
    build = os.path.realpath(sys.argv[2])
    ninja = sys.argv[3] if len(sys.argv) > 3 else "ninja"
    generated = os.path.join(build, "generated")

    def relative(path):
        """A dependency as the project names it: relative to the sources (generated files by
        the layer they belong to), or absolute for anything outside."""
        if not os.path.isabs(path):
            path = os.path.join(build, path)
        path = os.path.normpath(path)
        for root in (generated, source):
            if path.startswith(root + "/"):
                return path[len(root) + 1:], True
        return path, False

    if os.path.exists(os.path.join(build, "build.ninja")):
        units, stale = read_ninja_deps(build, ninja)
    else:
        units, stale = read_depfiles(build)
    if not units:
        sys.exit(f"error: no dependency data in {build}: build the project first")
    for target in stale:
        print(f"warning: {target} is older than its sources; rebuild for an exact check", file=sys.stderr)

    order = " < ".join(LIB_FOLDERS)
    # One error per unit and broken rule: the first offending header in include order (the
    # one nearest the unit's own includes), and how many more the same rule catches.
    faults = {}

    def fault(src, rule, rel, text):
        entry = faults.setdefault((src, rule), [text, 0])
        entry[1] += 1

    checked = 0
    for target, deps in units.items():
        if not deps:
            continue
        src, inside = relative(deps[0])
        if not inside or not src.endswith((".c", ".cpp", ".cc")):
            continue  # the compiler's own probes
        unit = Unit(src)
        checked += 1
        for dep in deps[1:]:
            rel, inside = relative(dep)
            if not inside:
                if X11_HEADER.match(rel) and not unit.x11_own:
                    fault(src, "x11", rel, f"{src}: includes X11 header {rel}: X11 headers are included only "
                               "inside platform/backend/x11/")
                elif MEDIA_HEADER.match(rel) and not unit.media_own:
                    fault(src, "media", rel, f"{src}: includes media header {rel}: FFmpeg and SDL headers are included "
                               "only by Src/'s own units (keep them out of the Src/ headers others include)")
                continue
            layer, folder = header_of(rel)
            if layer is None:
                continue  # helpers of the tests, fuzz targets and benchmarks
            if unit.layer and layer != unit.layer and (RANK[layer] > unit.rank or {layer, unit.layer} == PEERS):
                why = "Src/ and lib/ never include each other" if {layer, unit.layer} == PEERS else \
                    f"{unit.layer}/ is below {layer}/"
                fault(src, "layer " + layer, rel, f"{src}: includes {rel}: {why}")
            if layer == "lib":
                if folder not in LIB_FOLDERS:
                    fault(src, "lib folder", rel, f"{src}: includes {rel}: lib/'s headers live in its folders ({order})")
                elif unit.folder and LIB_FOLDERS.index(folder) > LIB_FOLDERS.index(unit.folder):
                    fault(src, "lib " + folder, rel, f"{src}: lib/{unit.folder}/ includes {rel} of lib/{folder}/: a lib/ folder "
                               f"includes only its own and earlier ones ({order})")
            if layer == "platform" and not unit.platform_own and not PLATFORM_PUBLIC.match(rel):
                fault(src, "platform", rel, f"{src}: includes {rel}, internal to platform/ (its public headers: "
                           "platform/*.h, gdi/PixelKernels.h, shell/{Shell,ShellApi,Services,ChangeNotify,Environment}.h, "
                           "backend/{Backend,Choose}.h, backend/headless/*.h, backend/x11/X11.h)")

    for (src, rule), (text, count) in sorted(faults.items()):
        more = f"; {count - 1} more such header(s)" if count > 1 else ""
        print(f"error: {text} (directly or through another header{more})")
    if faults:
        print(f"{len(faults)} layering error(s) in {checked} units", file=sys.stderr)
        return 1
    print(f"layering: {checked} units checked")
    return 0


if __name__ == "__main__":
    sys.exit(main())
