"""Tests run the binding on the simulated driver, against the library named by QUORVA_LIBRARY
(the build tree's or an installed one) and the headers in QUORVA_INCLUDE_DIR (default: the
repository's include/)."""
import os
import pathlib
import sys

import pytest

PYTHON_DIR = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(PYTHON_DIR))

import varndasqv  # noqa: E402

INCLUDE_DIR = pathlib.Path(os.environ.get("QUORVA_INCLUDE_DIR", PYTHON_DIR.parent / "include"))


@pytest.fixture
def sim():
    """A simulated 8-axis motion board (index 0) and analog board (index 1), virtual clock."""
    varndasqv.sim.configure("A508,A101")
    varndasqv.sim.set_clock(varndasqv.sim.VIRTUAL)
    return varndasqv.sim


@pytest.fixture
def board(sim):
    with varndasqv.Board(0xA508) as opened:
        yield opened


@pytest.fixture
def axis(board):
    """Axis 0 in millimetres of 100 pulses, 1 to 50 mm/s with ramps of 500 mm/s²."""
    axis = board.axis(0)
    axis.unit_distance = axis.unit_speed = 100
    axis.set_speed(1, 50, accel=500, mode=varndasqv.SpeedMode.TRAPEZOIDAL)
    return axis
