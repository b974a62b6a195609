#!/usr/bin/env python3
"""Cost per call of the Python binding against the C call, on the simulated driver.

    QUORVA_LIBRARY=build/src/libVarnDasQv.so python3 bench/binding_overhead.py \
        --c-bench build/bench/quorva_bench

Times each call through ctypes (the generated declarations) and through the Pythonic layer,
and runs the Google Benchmark of the same C call for the difference.
"""
import argparse
import json
import pathlib
import subprocess
import sys
import timeit

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "python"))
import varndasqv  # noqa: E402

# Per call: its C benchmark, the function and its arguments after the handle, and the same
# call through the Pythonic layer (`axis` is axis 0).
CASES = (
    ("QUORVA_MC_GetUnitDistance, no request", "BM_GetUnitDistance", "QUORVA_MC_GetUnitDistance",
     "0", "axis.unit_distance"),
    ("QUORVA_MC_Done, one request", "BM_DoneTraceOff", "QUORVA_MC_Done", "0", "axis.done"),
    ("QUORVA_MC_ReadRegister, one request", "BM_ReadRegister", "QUORVA_MC_ReadRegister",
     "0, 29", None),
)


def python_ns(statement, names, repeat):
    """Best of `repeat` runs (of at least 0.2 s each) of `statement`, ns per execution."""
    timer = timeit.Timer(statement, globals=names)
    number, _ = timer.autorange()
    return min(timer.repeat(repeat=repeat, number=number)) / number * 1e9


def c_ns(program, min_time):
    """CPU ns per call of each case's C benchmark."""
    pattern = "|".join(case[1] for case in CASES)
    output = subprocess.run([program, f"--benchmark_filter=^({pattern})$",
                             "--benchmark_format=json", f"--benchmark_min_time={min_time}"],
                            check=True, capture_output=True, text=True).stdout
    return {b["name"]: b["cpu_time"] for b in json.loads(output)["benchmarks"]}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--c-bench", required=True, help="the quorva_bench program")
    parser.add_argument("--quick", action="store_true", help="one short run of each (CI)")
    args = parser.parse_args()
    c = c_ns(args.c_bench, 0.01 if args.quick else 0.5)
    varndasqv.sim.configure("A508")
    varndasqv.sim.set_clock(varndasqv.sim.VIRTUAL)
    lib = varndasqv.lib()
    print(f"{'ns per call':38} {'C':>6} {'ctypes':>7} {'overhead':>9} {'Pythonic':>9}")
    repeat = 1 if args.quick else 5
    with varndasqv.Board(0xA508) as board:
        for name, benchmark, function, arguments, pythonic in CASES:
            names = {"fn": getattr(lib, function), "handle": board.handle, "axis": board.axis(0)}
            through_ctypes = python_ns(f"fn(handle, {arguments})", names, repeat)
            layer = f"{python_ns(pythonic, names, repeat):9.0f}" if pythonic else ""
            print(f"{name:38} {c[benchmark]:6.0f} {through_ctypes:7.0f} "
                  f"{through_ctypes - c[benchmark]:9.0f} {layer:>9}")

if __name__ == "__main__":
    main()
