#!/usr/bin/env python3
"""Moves three axes of a simulated 8-axis board and plots position and speed over time
(with matplotlib when it is installed, else prints a table).

    QUORVA_LIBRARY=build/src/libVarnDasQv.so python3 examples/move_and_plot.py --output moves.png
"""
import argparse
import pathlib
import sys

try:
    import varndasqv
except ImportError:  # run from the repository without installing the package
    sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "python"))
    import varndasqv

MOVES = {0: 40.0, 1: -25.0, 2: 10.0}  # axis: millimetres
SAMPLE_EVERY = 0.01  # simulated seconds


def run():
    """Starts the moves and samples them until every axis is done: returns the times and, per
    axis, positions (mm) and speeds (mm/s)."""
    varndasqv.sim.configure("A508")
    varndasqv.sim.set_clock(varndasqv.sim.VIRTUAL)
    times, positions, speeds = [], {n: [] for n in MOVES}, {n: [] for n in MOVES}
    with varndasqv.Board(0xA508) as board:
        axes = [board.axis(n) for n in MOVES]
        for axis in axes:
            axis.unit_distance = axis.unit_speed = 100  # 100 pulses per millimetre
            axis.set_speed(1, 20 + 20 * axis.number, accel=100,
                           mode=varndasqv.SpeedMode.TRAPEZOIDAL, max_speed=500)
        for axis in axes:
            axis.move(MOVES[axis.number], wait=False)
        start = varndasqv.sim.time()
        while True:
            times.append(varndasqv.sim.time() - start)
            for axis in axes:
                positions[axis.number].append(axis.position)
                speeds[axis.number].append(varndasqv.sim.axis_state(0, axis.number).speed / 100)
            if all(axis.done for axis in axes):
                return times, positions, speeds
            varndasqv.sim.advance(SAMPLE_EVERY)


def plot(times, positions, speeds, output):
    import matplotlib

    if output:
        matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    figure, (top, bottom) = plt.subplots(2, 1, sharex=True, figsize=(8, 6))
    for number in MOVES:
        top.plot(times, positions[number], label=f"axis {number}")
        bottom.plot(times, speeds[number], label=f"axis {number}")
    top.set_ylabel("position (mm)")
    bottom.set_ylabel("speed (mm/s)")
    bottom.set_xlabel("simulated time (s)")
    top.legend()
    figure.tight_layout()
    if output:
        figure.savefig(output)
    else:
        plt.show()


def print_table(times, positions, speeds):
    print("time s  " + "".join(f"  axis {n}: mm   mm/s" for n in MOVES))
    for row, time in enumerate(times):
        if row % 10 == 0 or row == len(times) - 1:
            print(f"{time:6.2f}  " + "".join(
                f"  {positions[n][row]:8.2f} {speeds[n][row]:6.1f}" for n in MOVES))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", help="image file to write instead of showing a window")
    parser.add_argument("--table", action="store_true", help="print a table, do not plot")
    args = parser.parse_args()
    samples = run()
    if not args.table:
        try:
            return plot(*samples, args.output)
        except ImportError:
            print("matplotlib is not installed: a table instead", file=sys.stderr)
    print_table(*samples)


if __name__ == "__main__":
    main()
