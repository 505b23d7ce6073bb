#!/usr/bin/env python3
"""Prints each figure of this build's runs beside the same figure of the build
before (runs named this.N and before.N in a folder), with this build's target."""
import pathlib
import re
import sys

# "  name   value unit target <  limit ratio r  met": the name ends where a number follows.
FIGURE = re.compile(r"^  (\S.*?)\s+(-?\d[\d.]*)(?:\s+(.*))?$")


def figures(path: pathlib.Path):
    """The heading, the figures by name (value, unit, target) and the verdict line."""
    heading, found, verdict = "", {}, ""
    for line in path.read_text().splitlines():
        if line.startswith("== "):
            heading = line[3:]
        elif match := FIGURE.match(line):
            name, value, rest = match.group(1), match.group(2), (match.group(3) or "").split()
            target = " ".join(rest[rest.index("target") + 1:rest.index("ratio")]) if "target" in rest else ""
            unit = " ".join(rest[:rest.index("target")] if "target" in rest else rest)
            found[name] = (value, unit, target)
        elif line.startswith("  "):
            verdict = line.strip()
    return heading, found, verdict


def main() -> None:
    folder, ref = pathlib.Path(sys.argv[1]), sys.argv[2]
    this = [figures(p) for p in sorted(folder.glob("this.*"))]
    before = [figures(p) for p in sorted(folder.glob("before.*"))]
    print(f"\n== {this[0][0]}\n   this build against the build before ({ref}), runs in turn")
    print(f"  {'':40} {'this build':>22} {'build before':>22}  target (this build)")
    names = dict(this[0][1])
    for run in before:  # figures the build before printed under other names
        names.update({name: (value, unit, "") for name, (value, unit, _) in run[1].items() if name not in names})
    for name, (_, unit, target) in names.items():
        mine = " ".join(run[1].get(name, ("-",))[0] for run in this)
        theirs = " ".join(run[1].get(name, ("-",))[0] for run in before)
        print(f"  {name:40} {mine:>22} {theirs:>22}  {unit} {target}".rstrip())
    for label, runs in (("this build", this), ("build before", before)):
        for run in runs:
            print(f"  {label}: {run[2]}")


main()
