"""Finding and binding the shared library."""
import types

import pytest

import varndasqv
from varndasqv import _library, declarations


def test_variable_names_the_only_candidate(monkeypatch, tmp_path):
    monkeypatch.setenv("QUORVA_LIBRARY", str(tmp_path / "missing.so"))
    assert _library.candidates() == [str(tmp_path / "missing.so")]
    monkeypatch.setattr(_library, "_loaded", None)
    with pytest.raises(varndasqv.LibraryNotFound, match="QUORVA_LIBRARY"):
        varndasqv.lib()


def test_copy_inside_the_package_comes_before_the_system(monkeypatch, tmp_path):
    monkeypatch.delenv("QUORVA_LIBRARY", raising=False)
    monkeypatch.setattr(_library, "PACKAGE_DIR", tmp_path)
    bundled = tmp_path / _library.FILE_PATTERNS[0]
    bundled.touch()
    assert _library.candidates()[0] == str(bundled)


def test_a_library_without_a_declared_function_is_refused():
    entries = {f.name: types.SimpleNamespace() for f in declarations.FUNCTIONS[1:]}
    stale = types.SimpleNamespace(_name="old.so", **entries)
    with pytest.raises(varndasqv.LibraryNotFound, match=declarations.FUNCTIONS[0].name):
        _library.bind(stale)


def test_every_function_is_bound_with_its_prototype():
    lib = varndasqv.lib()
    for function in declarations.FUNCTIONS:
        entry = getattr(lib, function.name)
        assert entry.restype is function.restype
        assert entry.argtypes == [type_ for _, type_ in function.params]
