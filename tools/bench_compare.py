#!/usr/bin/env python3
"""Search speed of several engines side by side: each contender runs the
fixed-depth benchmark ("-d DEPTH -bench", one thread) in turn, for several
interleaved rounds, so that other work on the machine falls on all of them
alike. Printed per contender: the node count (equal node counts mean the
same search), the best nodes per second by the engine's own clock, and
the best nodes per processor-second (the engine's processor time, which
time spent waiting for a busy machine does not inflate).

Usage: bench_compare.py [--depth D] [--rounds N] "label=binary [args...]" ...
"""
import argparse
import os
import re
import resource
import shlex
import subprocess
import sys

TOTAL = re.compile(r"total time= *([\d.]+) seconds, nodes= *(\d+), nps= *(\d+)")
KERNELS = re.compile(r"network kernels: (.+)")


def run_once(command, depth):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    out = subprocess.run(command + ["-d", str(depth), "-bench"], capture_output=True, text=True).stdout
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    total = TOTAL.search(out)
    if not total:
        sys.exit("no benchmark total from: " + " ".join(command))
    kernels = KERNELS.search(out)
    return int(total.group(2)), int(total.group(3)), cpu, kernels.group(1) if kernels else "?"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--depth", type=int, default=10)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("contenders", nargs="+")
    args = parser.parse_args()
    contenders = []
    for entry in args.contenders:
        label, _, command = entry.partition("=")
        contenders.append({"label": label, "command": shlex.split(command), "nps": 0, "cpu_nps": 0})
    load_before = os.getloadavg()[0]
    for _ in range(args.rounds):
        for c in contenders:
            nodes, nps, cpu, kernels = run_once(c["command"], args.depth)
            c.update(nodes=nodes, kernels=kernels, nps=max(c["nps"], nps),
                     cpu_nps=max(c["cpu_nps"], nodes / cpu if cpu > 0 else 0))
    load_after = os.getloadavg()[0]
    print(f"depth {args.depth}, one thread, best of {args.rounds} interleaved rounds")
    for c in contenders:
        print(f"{c['label']:<28} nodes {c['nodes']:>9}  {c['nps']:>9} nodes/s  "
              f"{c['cpu_nps']:>11.0f} nodes/processor-s  kernels {c['kernels']}")
    base = contenders[0]
    for c in contenders[1:]:
        print(f"{c['label']} against {base['label']}: {100.0 * (c['nps'] / base['nps'] - 1):+.1f} % nodes/s, "
              f"{100.0 * (c['cpu_nps'] / base['cpu_nps'] - 1):+.1f} % nodes/processor-s")
    cores = os.cpu_count() or 1
    if max(load_before, load_after) > 1.0:
        print(f"measured under load (load average {load_before:.1f} before, {load_after:.1f} after, {cores} cores)")


if __name__ == "__main__":
    main()
