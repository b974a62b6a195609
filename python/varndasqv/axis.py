"""Axes of a motion board: units, speeds, moves, positions and status."""
import enum
import time
from dataclasses import dataclass


class SpeedMode(enum.IntEnum):
    CONSTANT = 0
    TRAPEZOIDAL = 1
    S_CURVE = 2


class Signals(enum.IntFlag):
    """Mechanical-signal bits of an axis status (QUORVA_MC_GetMioStatus)."""

    ALARM = 1 << 1
    LIMIT_PLUS = 1 << 2
    LIMIT_MINUS = 1 << 3
    HOME = 1 << 4
    IN_POSITION = 1 << 5


def _setting(getter, setter, doc):
    """A property read and written through a pair of the axis's library functions."""
    return property(lambda axis: axis._call(getter),
                    lambda axis, value: axis._call(setter, value), doc=doc)


@dataclass(frozen=True)
class AxisStatus:
    done: bool  # the axis has finished its motion
    state: int  # operation-state code: 0 stopped, 0xB accelerating, 0xC running, 0xD decelerating
    signals: Signals


class Axis:
    """One axis of an opened board. Distances, positions and speeds are in user units: the
    pulses per unit are `unit_distance` and `unit_speed` (both 1.0 at first)."""

    def __init__(self, board, number):
        self.board = board
        self.number = number

    def __repr__(self):
        return f"<Axis {self.number} of {self.board!r}>"

    def _call(self, name, *args):
        return self.board.call(name, self.number, *args)

    # Units and speeds.

    unit_distance = _setting("QUORVA_MC_GetUnitDistance", "QUORVA_MC_SetUnitDistance",
                             "Pulses per user distance unit (0 stands for 1.0).")
    unit_speed = _setting("QUORVA_MC_GetUnitSpeed", "QUORVA_MC_SetUnitSpeed",
                          "Pulses per second per user speed unit (0 stands for 1.0).")

    def set_speed(self, start, work, accel=None, decel=None, mode=None, max_speed=None):
        """Start and working speed; with `accel` (and `decel`, default the same) the ramps;
        with `mode` the profile shape; with `max_speed` the speed range, set first."""
        if max_speed is not None:
            self._call("QUORVA_MC_SetSpeedRange", max_speed)
        self._call("QUORVA_MC_SetSpeed", start, work)
        if accel is not None:
            self._call("QUORVA_MC_SetAccel", accel, accel if decel is None else decel)
        if mode is not None:
            self._call("QUORVA_MC_SetSpeedMode", int(mode))

    # Moves.

    def move(self, distance, wait=True):
        """Moves by `distance`; returns when the axis has arrived unless `wait` is False."""
        self._call("QUORVA_MC_Move" if wait else "QUORVA_MC_StartMove", distance)

    def move_to(self, position, wait=True):
        """Moves to `position`; returns when the axis has arrived unless `wait` is False."""
        self._call("QUORVA_MC_MoveTo" if wait else "QUORVA_MC_StartMoveTo", position)

    def run(self, direction=1):
        """Runs at the working speed until stopped, positive for `direction` > 0."""
        self._call("QUORVA_MC_StartVMove", direction)

    def stop(self, emergency=False):
        """Decelerating stop, or an immediate one with `emergency`."""
        self._call("QUORVA_MC_EmgStop" if emergency else "QUORVA_MC_Stop")

    @property
    def done(self):
        return bool(self._call("QUORVA_MC_Done"))

    def wait(self, timeout=None, poll=0.001):
        """Waits until the axis is done; returns False when `timeout` seconds passed first."""
        deadline = None if timeout is None else time.monotonic() + timeout
        while not self.done:
            if deadline is not None and time.monotonic() >= deadline:
                return False
            time.sleep(poll)
        return True

    # Positions and status.

    position = _setting("QUORVA_MC_GetPosition_C", "QUORVA_MC_SetPosition_C",
                        "Command position; setting it presets the counter (moves begin there).")
    actual_position = _setting("QUORVA_MC_GetPosition_A", "QUORVA_MC_SetPosition_A",
                               "Feedback position (encoder counter); setting it presets it.")

    @property
    def status(self):
        return AxisStatus(self.done, self._call("QUORVA_MC_GetMotionStatus"),
                          Signals(self._call("QUORVA_MC_GetMioStatus")))
