"""Exceptions raised where the library reports a failure."""
from . import _declarations as _d

# Texts of the library's error codes.
MESSAGES = {
    -1: "no such board, axis or argument",
    _d.QUORVA_ERR_NOT_SUPPORTED: "not supported",
    _d.QUORVA_ERR_MEMORY: "out of memory",
    _d.QUORVA_ERR_FILE_OPEN: "cannot open the file",
    _d.QUORVA_ERR_FILE_CREATE: "cannot create the file",
    _d.QUORVA_ERR_INTERRUPT: "interrupt error",
    _d.QUORVA_ERR_MEMORY_ALLOC: "cannot allocate memory",
}


class VarnDasQvError(Exception):
    """A failure the library reported; `code` is its negative error code where it gave one."""

    def __init__(self, message, code=None):
        super().__init__(message)
        self.code = code


class BoardNotFound(VarnDasQvError):
    """No board with the asked DeviceId and instance could be opened."""


def check(code, call):
    """Returns `code` when it is not negative, else raises with the call's name in the text."""
    if code < 0:
        raise VarnDasQvError(f"{call}: {MESSAGES.get(code, 'error')} ({code})", code)
    return code
