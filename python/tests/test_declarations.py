"""The generated declarations against the headers: complete, current, and laid out as the C
compiler lays out the records."""
import ctypes
import os
import shutil
import subprocess

import pytest

import generate_declarations as generator
from conftest import INCLUDE_DIR
from varndasqv import declarations

REGENERATE = f"regenerate with: {generator.REGENERATE}"


def test_every_declared_function_is_in_the_binding():
    bound = {function.name for function in declarations.FUNCTIONS}
    missing = sorted(generator.declared_function_names(INCLUDE_DIR) - bound)
    assert not missing, f"functions missing from the binding: {missing}; {REGENERATE}"


def test_generated_module_is_current():
    committed = open(declarations.__file__).read()
    assert generator.render(INCLUDE_DIR) == committed, f"the binding is out of date; {REGENERATE}"


def records():
    return [value for value in vars(declarations).values()
            if isinstance(value, type) and issubclass(value, ctypes.Structure)]


def constants():
    return {name: value for name, value in vars(declarations).items()
            if name.startswith("QUORVA_") and isinstance(value, int)}


PROBE_HELPERS = """
template <class T> void Kind() {
  if constexpr (std::is_void_v<T>)
    std::printf(" void");
  else
    std::printf(" %c%zu", std::is_pointer_v<T> ? 'p' : std::is_floating_point_v<T> ? 'f'
                          : std::is_signed_v<T> ? 'i' : 'u', sizeof(T));
}
// Only the function's type is used, so the probe needs no library to link with.
template <class F> struct Signature;
template <class R, class... A> struct Signature<R (*)(A...)> {
  static void Print(const char* name) {
    std::printf("%s", name);
    Kind<R>();
    (Kind<A>(), ...);
    std::printf("\\n");
  }
};
"""


def probe_source():
    """A C++ program printing what the compiler makes of every record, constant and function,
    in the lines expected_probe_output() predicts from the ctypes side."""
    lines = ["#include <cstddef>", "#include <cstdio>", "#include <type_traits>"]
    lines += [f'#include "{header}"' for header in declarations.HEADERS]
    lines += [PROBE_HELPERS, "int main() {"]
    for record in records():
        name = record.__name__
        lines.append(f'  std::printf("{name} %zu\\n", sizeof({name}));')
        for field, _ in record._fields_:
            lines.append(f'  std::printf("{name}.{field} %zu %zu\\n", offsetof({name}, {field}), '
                         f"sizeof((({name}*)0)->{field}));")
    for name in constants():
        lines.append(f'  std::printf("{name} %lld\\n", (long long)({name}));')
    for function in declarations.FUNCTIONS:
        lines.append(f'  Signature<decltype(&{function.name})>::Print("{function.name}");')
    lines.append("}\n")
    return "\n".join(lines)


def kind(type_):
    """What a calling convention sees of a ctypes type, written as Kind<T>() writes it."""
    if type_ is None:
        return "void"
    size = ctypes.sizeof(type_)
    if type_ in (ctypes.c_void_p, ctypes.c_char_p) or issubclass(type_, ctypes._Pointer):
        return f"p{size}"
    if type_ in (ctypes.c_float, ctypes.c_double):
        return f"f{size}"
    return f"{'i' if type_ is ctypes.c_char or type_(-1).value < 0 else 'u'}{size}"


def expected_probe_output():
    lines = []
    for record in records():
        lines.append(f"{record.__name__} {ctypes.sizeof(record)}")
        for field, _ in record._fields_:
            descriptor = getattr(record, field)
            lines.append(f"{record.__name__}.{field} {descriptor.offset} {descriptor.size}")
    lines += [f"{name} {value}" for name, value in constants().items()]
    for function in declarations.FUNCTIONS:
        kinds = [kind(function.restype)] + [kind(type_) for _, type_ in function.params]
        lines.append(" ".join([function.name] + kinds))
    return lines


def test_records_constants_and_functions_match_the_compiler(tmp_path):
    compiler = shutil.which(os.environ.get("CXX", "c++"))
    if compiler is None:
        pytest.skip("no C++ compiler to compare the declarations with")
    (tmp_path / "probe.cpp").write_text(probe_source())
    subprocess.run([compiler, "-std=c++17", "-I", str(INCLUDE_DIR), "-o", str(tmp_path / "probe"),
                    str(tmp_path / "probe.cpp")], check=True)
    output = subprocess.run([str(tmp_path / "probe")], check=True, capture_output=True,
                            text=True).stdout
    compiled, declared = output.splitlines(), expected_probe_output()
    differences = [f"compiler: {c}, binding: {d}" for c, d in zip(compiled, declared) if c != d]
    assert not differences and len(compiled) == len(declared), "\n".join(differences)
    assert {r.__name__ for r in records()} >= {"DevInfo", "DevList", "QUORVA_SIM_AXIS_STATE"}


HEADER_START = '#include "VarnDasQv.h"\n'


@pytest.mark.parametrize("declaration, complaint", [
    ("QUORVA_API widget QUORVA_CALL QUORVA_Make(int count);", "unknown type `widget`"),
    ("QUORVA_API int QUORVA_CALL QUORVA_Each(void (*visit)(int));", "function declarations"),
    ("typedef struct Flags { unsigned ready : 1; } Flags;", "bit-field in Flags"),
    ("typedef struct Rows { int cells[ROWS]; } Rows;", "array size `ROWS`"),
    ("typedef enum Mode { A, B } Mode;", "typedef declarations"),
])
def test_generator_refuses_what_it_cannot_read(tmp_path, declaration, complaint):
    (tmp_path / "VarnDasQv.h").write_text((INCLUDE_DIR / "VarnDasQv.h").read_text())
    (tmp_path / "VarnDasQvSim.h").write_text(HEADER_START + declaration + "\n")
    with pytest.raises(generator.HeaderError, match=complaint.replace("(", r"\(")):
        generator.render(tmp_path)


def test_generator_reads_every_form_the_headers_use(tmp_path):
    (tmp_path / "VarnDasQv.h").write_text((INCLUDE_DIR / "VarnDasQv.h").read_text())
    (tmp_path / "VarnDasQvSim.h").write_text(HEADER_START + """
#define QUORVA_SIDE (4u) /* a comment */
typedef unsigned int QUORVA_WORD;
typedef struct Grid { double cells[QUORVA_SIDE][2], *next; char label[8]; } Grid;
QUORVA_API const char* QUORVA_CALL QUORVA_Name(const Grid* grid, QUORVA_WORD,
                                               unsigned short values[]);
""")
    namespace = {}
    exec(generator.render(tmp_path), namespace)
    grid = namespace["Grid"]
    assert namespace["QUORVA_SIDE"] == 4
    assert [(name, ctypes.sizeof(type_)) for name, type_ in grid._fields_] == [
        ("cells", 64), ("next", ctypes.sizeof(ctypes.c_void_p)), ("label", 8)]
    name = namespace["FUNCTIONS"][-1]
    assert name.restype is ctypes.c_char_p
    assert name.params == (("grid", ctypes.POINTER(grid)), ("arg1", ctypes.c_uint),
                           ("values", ctypes.POINTER(ctypes.c_ushort)))
