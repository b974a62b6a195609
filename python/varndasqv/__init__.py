"""Python binding of VarnDasQv, the library of the Quorva motion-control and data-acquisition
boards, over its shared library with ctypes.

    import varndasqv
    varndasqv.sim.configure("A508")            # the simulated driver, one 8-axis board
    with varndasqv.Board(0xA508) as board:
        x = board.axis(0)
        x.unit_distance = x.unit_speed = 100   # 100 pulses per mm
        x.set_speed(1, 50, accel=500, mode=varndasqv.SpeedMode.TRAPEZOIDAL)
        x.move(25.0)
        print(x.position)

`varndasqv.lib()` is the library itself with every exported function declared, for the calls
the classes do not cover: `varndasqv.lib().QUORVA_MC_ReadRegister(board.handle, 0, 29)`. The
library is found through the QUORVA_LIBRARY variable (a file path), inside this package, or on
the system's library path.
"""
from . import _declarations as declarations
from . import sim
from ._library import LibraryNotFound
from ._library import library as lib
from .axis import Axis, AxisStatus, Signals, SpeedMode
from .board import Board, BoardInfo, list_boards
from .daq import Us1Scan, Us2Scan
from .errors import BoardNotFound, VarnDasQvError

__version__ = "0.1.0"
__all__ = ["Axis", "AxisStatus", "Board", "BoardInfo", "BoardNotFound", "LibraryNotFound",
           "Signals", "SpeedMode", "Us1Scan", "Us2Scan", "VarnDasQvError", "declarations", "lib",
           "list_boards", "sim"]
