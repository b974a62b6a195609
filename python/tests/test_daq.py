"""Analog inputs and buffered scans, retrieved into NumPy arrays or array.array."""
import array

import pytest

import varndasqv
from varndasqv import daq

DIGIT_VOLTS = 20.0 / 4096  # one digit of the ±10 V range


@pytest.fixture
def analog(sim):
    sim.set_analog_signal(1, 0, "constant", offset=1.0)
    sim.set_analog_signal(1, 1, "constant", offset=-2.0)
    with varndasqv.Board(0xA101) as board:
        yield board


def test_single_conversion(analog):
    assert analog.volts(1) == pytest.approx(-2.0, abs=DIGIT_VOLTS)


def test_us1_retrieval_into_numpy(sim, analog):
    numpy = pytest.importorskip("numpy")
    with analog.us1_scan([0, 1], 1000, 100) as scan:
        sim.advance(0.02)
        count = scan.count
        assert count >= 20
        first = scan.channel(0)
        assert first.dtype == numpy.float64 and len(first) == count
        assert first == pytest.approx(1.0, abs=DIGIT_VOLTS)
        assert scan.channel(1, kind="volts32").dtype == numpy.float32
        assert scan.channel(1, kind="digits")[0] == round((10 - 2.0) / DIGIT_VOLTS)
        assert len(scan.channel(0, start=10, count=-3)) == 3
        block = scan.block(1, 5)
        assert block.shape == (5, 2)
        assert block[:, 1] == pytest.approx(-2.0, abs=DIGIT_VOLTS)


def test_us1_retrieval_without_numpy(sim, analog, monkeypatch):
    monkeypatch.setattr(daq, "numpy", None)
    with analog.us1_scan([0, 1], 1000, 100) as scan:
        sim.advance(0.01)
        values = scan.channel(1, 1, 4)
        assert isinstance(values, array.array) and values.typecode == "d" and len(values) == 4
        assert len(scan.block(1, 3, kind="digits")) == 6


def test_us2_scan(sim, analog):
    with analog.us2_scan([0, 1], 100000, 4096) as scan:
        assert scan.frequency == 100000.0
        sim.advance(0.1)
        assert scan.count == 8192  # whole transfers of 4096 scans
        assert list(scan.channel(1, count=4)) == pytest.approx([-2.0] * 4, abs=DIGIT_VOLTS)


@pytest.mark.parametrize("start", [
    lambda board: board.us1_scan(list(range(40)), 1000, 10),
    lambda board: board.us2_scan([0], 0, 10),
])
def test_refused_scans_raise(analog, start):
    with pytest.raises(varndasqv.VarnDasQvError):
        start(analog)
