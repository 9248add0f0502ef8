#!/usr/bin/env python3
"""Checks a source tree's links and includes against the layers its build declares.

    check-layers.py [--readme README.md] [--configure=ARGUMENTS...] SOURCE_ROOT

The tree is configured in a temporary folder natively, and once more for each --configure, with
those CMake arguments ("--configure=-DVIGREL_FUZZ=ON", "--configure=--toolchain=FILE"), so that
the graph holds the targets of every build. From each, CMake's own link graph (--graphviz) and
its record of the tree's targets (vigrel-targets.txt, written by cmake/VigrelTargets.cmake) are
read. It fails when
  - a target of the tree is made outside vigrel_target, or links one of the tree's targets it
    does not declare (a plain target_link_libraries);
  - the folders' links make a cycle: a link that points up;
  - a quoted include lands in a folder its own folder does not link, directly or through others
    (a folder is the longest folder with a target that holds the file; a generated header, from
    cmake/NAME.in, is below every folder); is written relative to its file; or names no file;
  - units (a .h and its .cpp) include each other in a cycle, through any path;
  - with --readme, the Layout table does not give each folder with a target exactly the folders
    it may include: a new link across folders, up or sideways, is refused until the table says
    so.
Angle-bracket includes are the system's and the test framework's, and are not read. The trees
under tests/layers are small trees of their own, checked as roots by their tests.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

EDGE = re.compile(r'^\s*"(node\d+)" -> "(node\d+)"')
NODE = re.compile(r'^\s*"(node\d+)" \[ label = "([^"\\]+)')
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SOURCES = {".h", ".cpp", ".rc"}


def configure(root, build, arguments):
    """Configures ROOT in BUILD; returns {target: (folder, declared, [declared deps])} and the
    links CMake has between targets of the tree."""
    command = ["cmake", "-S", str(root), "-B", str(build), "-G", "Ninja",
               "-DVIGREL_WINDOWS_RUN=all", "--graphviz=" + str(build / "graph" / "links.dot"),
               *arguments.split()]
    (build / "graph").mkdir(parents=True, exist_ok=True)
    done = subprocess.run(command, capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"layers: cmake cannot configure {root}:\n{done.stdout}{done.stderr}")
    targets = {}
    for line in (build / "vigrel-targets.txt").read_text().splitlines():
        name, folder, declared, links, needs = line.split("\t")
        targets[name] = (folder, declared == "1", links.split(";"), needs.split(";"))
    names, links = {}, set()
    for line in (build / "graph" / "links.dot").read_text().splitlines():
        if node := NODE.match(line):
            names[node[1]] = node[2]
        elif edge := EDGE.match(line):
            links.add((names[edge[1]], names[edge[2]]))
    return targets, {(a, b) for a, b in links if a in targets and b in targets}


def folder_cycle(edges):
    """A cycle among the folders' links, as a list of folders, or None."""
    state, path = {}, []

    def visit(folder):
        state[folder] = "open"
        path.append(folder)
        for to in sorted(edges.get(folder, ())):
            if state.get(to) == "open":
                return path[path.index(to):] + [to]
            if to not in state and (found := visit(to)):
                return found
        state[folder] = "done"
        path.pop()
        return None

    for folder in sorted(edges):
        if folder not in state and (found := visit(folder)):
            return found
    return None


def reach(edges, start):
    seen, todo = set(), [start]
    while todo:
        for to in edges.get(todo.pop(), ()):
            if to not in seen:
                seen.add(to)
                todo.append(to)
    seen.discard(start)
    return seen


def owner(path, folders):
    """The longest folder of FOLDERS that holds PATH, or None."""
    best = None
    for folder in folders:
        if (path.startswith(folder + "/") or folder == ".") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def unit_cycle(edges):
    state = {}

    def visit(unit, path):
        state[unit] = "open"
        for to in sorted(edges.get(unit, ())):
            if state.get(to) == "open":
                return path[path.index(to):] + [to] if to in path else [unit, to]
            if to not in state and (found := visit(to, path + [to])):
                return found
        state[unit] = "done"
        return None

    for unit in sorted(edges):
        if unit not in state and (found := visit(unit, [unit])):
            return found
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--readme", type=Path)
    parser.add_argument("--configure", action="append", default=[])
    parser.add_argument("root", type=Path)
    options = parser.parse_args()
    root = options.root.resolve()
    errors = []

    targets, links = {}, set()
    with tempfile.TemporaryDirectory() as work:
        for number, arguments in enumerate([""] + options.configure):
            found, linked = configure(root, Path(work) / str(number), arguments)
            targets.update(found)
            links |= linked

    for name, (folder, declared, _, _) in sorted(targets.items()):
        if not declared:
            errors.append(f"{folder}/CMakeLists.txt: {name} is made outside vigrel_target")
    edges, why, linked_targets = {}, {}, {}
    for a, b in sorted(links):
        folder, declared, linked, needed = targets[a]
        if not declared or b in needed:
            continue
        if b not in linked:
            errors.append(f"{folder}/CMakeLists.txt: {a} links {b} outside its vigrel_target")
        linked_targets.setdefault(a, set()).add(b)
        source, to = folder, targets[b][0]
        if source != to:
            edges.setdefault(source, set()).add(to)
            why.setdefault((source, to), f"{a} -> {b}")
    if cycle := folder_cycle(edges):
        steps = ", ".join(why[(a, b)] for a, b in zip(cycle, cycle[1:]))
        errors.append("links point up: " + " -> ".join(f + "/" for f in cycle) + f" ({steps})")

    # A folder may include the folders of the targets its own targets link, directly or through
    # others.
    folders = sorted({folder for folder, _, _, _ in targets.values()})
    allowed = {folder: set() for folder in folders}
    for name, (folder, _, _, _) in targets.items():
        allowed[folder] |= {targets[t][0] for t in reach(linked_targets, name)} - {folder}
    os.chdir(root)
    units, files, arrows = {}, 0, 0
    for path in sorted(Path(".").rglob("*")):
        text = path.as_posix()
        if path.suffix not in SOURCES or text.startswith(("build/", "tests/layers/", ".")):
            continue
        files += 1
        unit = text.rsplit(".", 1)[0]
        units.setdefault(unit, set())
        layer = owner(text, folders)
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            if not (match := INCLUDE.match(line)):
                continue
            included = match[1]
            beside = os.path.normpath(os.path.join(os.path.dirname(text), included))
            written = os.path.normpath(included)
            if os.path.isfile(beside) and beside != written:
                errors.append(f'{text}:{number}: "{included}" is written relative to the file: write "{beside}"')
                target = beside
            elif os.path.isfile(written):
                target = written
            elif "/" not in included and os.path.isfile(f"cmake/{included}.in"):
                continue
            else:
                errors.append(f'{text}:{number}: "{included}" is no file of the tree')
                continue
            arrows += 1
            to = owner(target, folders)
            if layer is None or to is None:
                errors.append(f'{text}:{number}: "{included}": {"its" if layer is None else "the included"} file is in no folder with a target')
            elif to != layer and to not in allowed[layer]:
                others = " ".join(f + "/" for f in sorted(allowed[layer])) or "no other folder"
                errors.append(f'{text}:{number}: {layer}/ may not include {to}/ ("{included}"): '
                              f"its links reach {others}")
            if target.rsplit(".", 1)[0] != unit:
                units[unit].add(target.rsplit(".", 1)[0])
    if cycle := unit_cycle(units):
        errors.append("include cycle among these units:\n" + "\n".join(cycle))

    if options.readme:
        table = options.readme.read_text()
        for folder in folders:
            mine = ", ".join(f"`{f}/`" for f in sorted(allowed[folder])) or "—"
            row = re.search(rf"^\| `{re.escape(folder)}/` \|.*\| ([^|]*) \|$", table, re.M)
            if not row:
                errors.append(f"{options.readme}: no Layout row for {folder}/, which may include {mine}")
            elif {f.rstrip("/") for f in re.findall(r"`([^`]*/)`", row[1])} != allowed[folder]:
                errors.append(f"{options.readme}: {folder}/ may include {mine}, as its links say")

    for error in errors:
        print(error, file=sys.stderr)
    if errors:
        sys.exit(f"{len(errors)} layer errors")
    print(f"layers kept: {len(targets)} targets in {len(folders)} folders, {len(links)} links, "
          f"{files} files, {arrows} includes, no cycle")


if __name__ == "__main__":
    main()
