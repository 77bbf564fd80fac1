#!/usr/bin/env python3
"""Fails when the project's library targets depend on each other in a cycle.

The graph is CMake's own: `cmake --graphviz` run on a configured build tree. Executables and
imported targets (names with "::") are left out; every other library node counts.

    library_cycles.py BUILD_DIR [--cmake CMAKE]
    library_cycles.py --self-test
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

NODE = re.compile(r'^\s*"(node\d+)" \[ label = "([^"]+)", shape = (\w+) \];')
EDGE = re.compile(r'^\s*"(node\d+)" -> "(node\d+)"')
LIBRARY_SHAPES = {"octagon", "doubleoctagon", "tripleoctagon", "pentagon", "hexagon"}


def library_graph(dot_text):
    """The project's library targets and the links between them, from graphviz text."""
    names = {}
    for line in dot_text.splitlines():
        m = NODE.match(line)
        if m and m.group(3) in LIBRARY_SHAPES and "::" not in m.group(2):
            names[m.group(1)] = m.group(2)
    edges = {name: set() for name in names.values()}
    for line in dot_text.splitlines():
        m = EDGE.match(line)
        if m and m.group(1) in names and m.group(2) in names:
            edges[names[m.group(1)]].add(names[m.group(2)])
    return edges


def cycles(edges):
    """Every strongly connected group of more than one target, and every self-link (Tarjan)."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(edges[v]):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1 or v in edges[v]:
                found.append(sorted(group))

    sys.setrecursionlimit(10000)
    for v in sorted(edges):
        if v not in index:
            visit(v)
    return found


def graph_of(build_dir, cmake):
    with tempfile.TemporaryDirectory() as scratch:
        dot = os.path.join(scratch, "targets.dot")
        subprocess.run([cmake, f"--graphviz={dot}", build_dir], check=True,
                       stdout=subprocess.DEVNULL)
        with open(dot, encoding="utf-8") as f:
            return f.read()


def self_test():
    dot = "\n".join([
        '    "node0" [ label = "low", shape = octagon ];',
        '    "node1" [ label = "mid", shape = octagon ];',
        '    "node2" [ label = "high", shape = octagon ];',
        '    "node3" [ label = "tests", shape = egg ];',
        '    "node4" [ label = "Ext::lib", shape = octagon ];',
        '    "node1" -> "node0" [ style = dashed ] // mid -> low',
        '    "node2" -> "node1" [ style = dashed ] // high -> mid',
        '    "node0" -> "node2" [ style = dashed ] // low -> high',
        '    "node3" -> "node3" // tests -> tests',
        '    "node4" -> "node4" // Ext::lib -> Ext::lib',
    ])
    edges = library_graph(dot)
    assert set(edges) == {"low", "mid", "high"}, edges
    assert cycles(edges) == [["high", "low", "mid"]], cycles(edges)
    edges["low"].discard("high")
    assert cycles(edges) == [], cycles(edges)
    edges["mid"].add("mid")
    assert cycles(edges) == [["mid"]], cycles(edges)
    print("self-test passed")
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build_dir", nargs="?")
    parser.add_argument("--cmake", default="cmake")
    parser.add_argument("--self-test", action="store_true")
    args = parser.parse_args()
    if args.self_test:
        return self_test()
    if not args.build_dir:
        parser.error("the build tree is missing")
    edges = library_graph(graph_of(args.build_dir, args.cmake))
    if not edges:
        print("no library targets found in CMake's graph")
        return 1
    found = cycles(edges)
    for group in found:
        print("cycle among library targets: " + " <-> ".join(group))
    if found:
        return 1
    print(f"{len(edges)} library targets, no cycle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
