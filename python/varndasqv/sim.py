"""The simulated driver built into the library: boards, clock, input signals, request log.

Boards are addressed by enumeration index (0 = the first of the configured list). Everything
the simulator's C interface offers is reachable through `varndasqv.lib()`; these are the calls
a script needs most, raising VarnDasQvError where the simulator refuses.
"""
import ctypes

from . import _declarations as _d
from ._library import library
from .errors import check

VIRTUAL = _d.QUORVA_SIM_CLOCK_VIRTUAL
REALTIME = _d.QUORVA_SIM_CLOCK_REALTIME
INPUTS = {
    "limit_plus": _d.QUORVA_SIM_INPUT_EL_PLUS,
    "limit_minus": _d.QUORVA_SIM_INPUT_EL_MINUS,
    "alarm": _d.QUORVA_SIM_INPUT_ALARM,
    "in_position": _d.QUORVA_SIM_INPUT_INP,
    "home": _d.QUORVA_SIM_INPUT_HOME,
    "latch": _d.QUORVA_SIM_INPUT_LATCH,
}
SIGNALS = {
    "constant": _d.QUORVA_SIM_SIGNAL_CONSTANT,
    "sine": _d.QUORVA_SIM_SIGNAL_SINE,
    "ramp": _d.QUORVA_SIM_SIGNAL_RAMP,
}


def _checked(name, *args):
    return check(getattr(library(), name)(*args), name)


def configure(boards=None):
    """Replaces the simulated boards with `boards` ("A508,A101"; None for the default set),
    resets them and selects the simulated driver. Returns the number of boards."""
    return _checked("QUORVA_SIM_Configure", boards.encode() if boards else None)


def set_clock(mode, factor=1.0):
    """VIRTUAL: time moves only with requests and advance(); REALTIME: host time × factor."""
    _checked("QUORVA_SIM_SetClock", mode, factor)


def time():
    """Simulated seconds since the boards were configured."""
    return library().QUORVA_SIM_GetTime()


def advance(seconds):
    _checked("QUORVA_SIM_AdvanceTime", seconds)


def set_input(board, axis, input_, active=True):
    """Drives an axis input: one of INPUTS ("limit_plus", "alarm", ...)."""
    _checked("QUORVA_SIM_SetAxisInput", board, axis, INPUTS[input_], int(active))


def set_analog_signal(board, channel, kind="constant", amplitude=0.0, frequency=0.0,
                      offset=0.0, phase=0.0):
    """The signal of an analog input: "constant" (`offset` volts), "sine" or "ramp"."""
    _checked("QUORVA_SIM_SetAnalogSignal", board, channel, SIGNALS[kind], amplitude, frequency,
             offset, phase)


def axis_state(board, axis):
    """The axis's motion now (QUORVA_SIM_AXIS_STATE: position and speed in pulses, ...)."""
    state = _d.QUORVA_SIM_AXIS_STATE()
    _checked("QUORVA_SIM_GetAxisState", board, axis, ctypes.byref(state))
    return state


def requests():
    """The driver requests logged so far, oldest first (QUORVA_SIM_REQUEST records)."""
    lib = library()
    log = (_d.QUORVA_SIM_REQUEST * lib.QUORVA_SIM_RequestCount())()
    for index, request in enumerate(log):
        check(lib.QUORVA_SIM_GetRequest(index, ctypes.byref(request)), "QUORVA_SIM_GetRequest")
    return list(log)


def clear_requests():
    library().QUORVA_SIM_ClearRequests()
