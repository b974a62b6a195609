"""Boards: finding them, opening one as a context manager, its axes and analog inputs."""
import ctypes
import os
from dataclasses import dataclass, replace

from . import _declarations as _d
from ._library import library
from .axis import Axis
from .daq import Us1Scan, Us2Scan
from .errors import BoardNotFound, check

INVALID_HANDLE = ctypes.c_void_p(-1).value


@dataclass(frozen=True)
class BoardInfo:
    """What a board reports about itself (the DevInfo record)."""

    device_id: int
    instance: int
    model: str
    resource_flags: int
    analog_inputs: int
    analog_outputs: int
    digital_inputs: int
    digital_outputs: int
    axes: int

    @classmethod
    def from_record(cls, record):
        return cls(record.DeviceId, record.instance, record.modelName.decode("ascii", "replace"),
                   record.resourceFlags, record.analogInputs, record.analogOutputs,
                   record.digitalInputs, record.digitalOutputs, record.axes)


def list_boards():
    """Every installed board, sorted by DeviceId, with instances numbered per DeviceId."""
    boards = _d.DevList()
    library().QUORVA_GetAvailDevList(ctypes.byref(boards))
    return [BoardInfo.from_record(boards.boards[i]) for i in range(boards.count)]


class Board:
    """An opened board; closes itself at the end of a `with` block or on close().

        with Board(0xA508) as board:
            board.axis(0).move(10.0)
    """

    def __init__(self, device_id, instance=0):
        self.lib = library()
        handle = self.lib.QUORVA_LoadDevice(device_id, instance)
        if handle in (None, INVALID_HANDLE):
            raise BoardNotFound(f"no board 0x{device_id:04X} instance {instance}")
        self.handle = handle
        record = _d.DevInfo()
        self.lib.QUORVA_GetDevInfo(handle, ctypes.byref(record))
        self.info = replace(BoardInfo.from_record(record), instance=instance)
        self.axes = tuple(Axis(self, n) for n in range(self.info.axes))

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def __repr__(self):
        state = "closed" if self.handle is None else f"handle 0x{self.handle:x}"
        info = self.info
        return f"<Board 0x{info.device_id:04X}:{info.instance} {info.model}, {state}>"

    def close(self):
        """Unloads the board; further calls on it raise ValueError. Closing twice is harmless."""
        if self.handle is not None:
            self.lib.QUORVA_UnloadDevice(self.handle)
            self.handle = None

    def call(self, name, *args):
        """Calls library function `name` with this board's handle first."""
        if self.handle is None:
            raise ValueError("the board is closed")
        return getattr(self.lib, name)(self.handle, *args)

    def axis(self, number):
        """Axis `number` (0 = first) of a motion board."""
        if not 0 <= number < len(self.axes):
            raise IndexError(f"{self.info.model} has {len(self.axes)} axes, no axis {number}")
        return self.axes[number]

    def enable_trace(self, path, level=1):
        """Traces calls into `path` at `level` (0 off, 1 commands, 2 reads, 3 polling)."""
        check(self.call("QUORVA_EnableDebugLog", os.fsencode(path), level),
              "QUORVA_EnableDebugLog")

    def volts(self, channel):
        """One conversion of analog input `channel`, in volts."""
        return self.call("QUORVA_AD_GetVolt", channel)

    def set_range(self, channel, lower, upper):
        """Input range of analog input `channel`, in whole volts."""
        self.call("QUORVA_AD_SetRange", channel, lower, upper)

    def us1_scan(self, channels, frequency, size, endless=True):
        """Starts a scan of `channels` at `frequency` Hz into a ring of `size` scans."""
        return Us1Scan(self, channels, frequency, size, endless)

    def us2_scan(self, channels, frequency, size, endless=True):
        """Starts a scan of `channels` at `frequency` Hz into one ring of `size` scans each."""
        return Us2Scan(self, channels, frequency, size, endless)
