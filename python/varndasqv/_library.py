"""Finds the shared library, loads it and gives every exported function its prototype."""
import ctypes
import ctypes.util
import os
import pathlib
import sys

from . import _declarations
from .errors import VarnDasQvError

LIBRARY_VARIABLE = "QUORVA_LIBRARY"
PACKAGE_DIR = pathlib.Path(__file__).resolve().parent

if sys.platform == "win32":
    FILE_PATTERNS = ("VarnDasQv.dll",)
elif sys.platform == "darwin":
    FILE_PATTERNS = ("libVarnDasQv.dylib", "libVarnDasQv.*.dylib")
else:
    FILE_PATTERNS = ("libVarnDasQv.so", "libVarnDasQv.so.*")


class LibraryNotFound(VarnDasQvError):
    pass


def candidates():
    """Where the library is looked for, in order: the file named by QUORVA_LIBRARY (and
    nothing else when it is set), a copy inside this package, the system's library path."""
    named = os.environ.get(LIBRARY_VARIABLE)
    if named:
        return [named]
    bundled = sorted(p for pattern in FILE_PATTERNS for p in PACKAGE_DIR.glob(pattern))
    system = ctypes.util.find_library("VarnDasQv")
    return [str(p) for p in bundled[:1]] + ([system] if system else []) + [FILE_PATTERNS[0]]


def bind(library):
    """Sets result and argument types of every declared function; all must be exported."""
    missing = []
    for function in _declarations.FUNCTIONS:
        try:
            entry = getattr(library, function.name)
        except AttributeError:
            missing.append(function.name)
            continue
        entry.restype = function.restype
        entry.argtypes = [type_ for _, type_ in function.params]
    if missing:
        raise LibraryNotFound(f"{library._name} lacks {len(missing)} functions of this binding: "
                              + ", ".join(missing))
    return library


_loaded = None


def library():
    """The loaded library, ready to call (loaded on first use)."""
    global _loaded
    if _loaded is None:
        errors = []
        for candidate in candidates():
            try:
                _loaded = bind(ctypes.CDLL(candidate))
                break
            except OSError as error:
                errors.append(f"{candidate}: {error}")
        else:
            raise LibraryNotFound("cannot load the VarnDasQv library (set "
                                  f"{LIBRARY_VARIABLE} to its path): " + "; ".join(errors))
    return _loaded
