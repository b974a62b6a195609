"""Buffered analog scans and their retrieval into NumPy arrays (array.array without NumPy)."""
import array
import ctypes

from . import _declarations as _d
from .errors import VarnDasQvError, check

try:
    import numpy
except ImportError:  # NumPy is optional
    numpy = None

# Retrieval kinds: raw 16-bit digits, volts as float, volts as double.
KINDS = {
    "digits": (_d.QUORVA_RETRIEVE_DIGITS, "H", "uint16"),
    "volts": (_d.QUORVA_RETRIEVE_DOUBLE, "d", "float64"),
    "volts32": (_d.QUORVA_RETRIEVE_FLOAT, "f", "float32"),
}


def retrieve(fill, length, kind):
    """Allocates `length` values of `kind`, lets `fill(address, type)` store into them and
    returns the part it stored (its result) as a NumPy array, or an array.array."""
    type_, code, dtype = KINDS[kind]
    if numpy is not None:
        values = numpy.zeros(length, dtype=dtype)
        stored = fill(values.ctypes.data_as(ctypes.c_void_p), type_) if length else 0
        return values[:stored]
    values = array.array(code, bytes(length * array.array(code).itemsize))
    stored = fill(values.buffer_info()[0], type_) if length else 0
    del values[stored:]
    return values


class Scan:
    """A running buffered scan; a context manager that stops and releases it at the end."""

    PREFIX = None

    def __init__(self, board, channels):
        self.board = board
        self.channels = tuple(channels)
        self.channel_list = (ctypes.c_int * len(self.channels))(*self.channels)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _call(self, operation, *args):
        return self.board.call(self.PREFIX + operation, *args)

    def stop(self):
        self._call("Stop", 0)

    def close(self):
        """Stops the scan and releases its ring (retrieved arrays are copies and stay)."""
        self.stop()
        self._call("ReleaseBuf")

    def _span(self, start, count):
        """Number of values to make room for: the scans from `start` to the newest, or |count|."""
        return max(self.count - start + 1, 0) if count is None else abs(count)

    def channel(self, index, start=1, count=None, kind="volts"):
        """Samples of channel index `index` (position in `channels`) from scan `start` (counted
        from 1): `count` scans, by default up to the newest; a negative count asks for the
        scans before `start`."""
        length = self._span(start, count)
        wanted = length if count is None else count
        return retrieve(lambda dest, type_: self._call("RetrvChannel", index, start, wanted,
                                                       dest, type_), length, kind)


class Us1Scan(Scan):
    """A US1 scan: every channel in one interleaved ring of `size` scans."""

    PREFIX = "QUORVA_US1_"

    def __init__(self, board, channels, frequency, size, endless=True):
        super().__init__(board, channels)
        check(self._call("Start", len(self.channels), self.channel_list, frequency, size,
                         0 if endless else 1), "QUORVA_US1_Start")

    @property
    def count(self):
        """Scans acquired so far."""
        return self._call("CurCount")

    def block(self, start=1, count=None, kind="volts"):
        """Whole scans from `start` as rows of one value per channel (a 2-D NumPy array; a
        flat array.array without NumPy)."""
        width = len(self.channels)
        scans = self._span(start, count)
        wanted = scans if count is None else count
        values = retrieve(lambda dest, type_: width * self._call("RetrvBlock", start, wanted,
                                                                 dest, type_),
                          scans * width, kind)
        return values.reshape(-1, width) if numpy is not None else values


class Us2Scan(Scan):
    """A US2 scan: one ring of `size` scans (rounded up to 4096) per channel."""

    PREFIX = "QUORVA_US2_"

    def __init__(self, board, channels, frequency, size, endless=True):
        super().__init__(board, channels)
        self.frequency = self._call("Start", len(self.channels), self.channel_list, frequency,
                                    1 if endless else 0, size)
        if self.frequency == 0.0:
            raise VarnDasQvError("QUORVA_US2_Start: the driver refused the scan")

    @property
    def count(self):
        """Scans acquired so far (whole transfers of 4096)."""
        return self._call("DmaCount") * 4096
