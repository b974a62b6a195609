#!/usr/bin/env python3
"""Writes varndasqv/_declarations.py, the ctypes declarations of the public headers.

    python3 python/generate_declarations.py           regenerate after changing a header
    python3 python/generate_declarations.py --check   exit 1 when the module is out of date

The headers follow one style, and this reader understands exactly that style: integer
#defines, `typedef <type> <Name>;` aliases, `typedef struct Name { ... } Name;` records and
`QUORVA_API <type> QUORVA_CALL QUORVA_Name(<parameters>);` functions. A declaration it cannot
read is an error, never skipped, so the binding cannot silently miss a function.
"""
import argparse
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DEFAULT_INCLUDE = ROOT / "include"
DEFAULT_OUTPUT = ROOT / "python" / "varndasqv" / "_declarations.py"
HEADERS = ("VarnDasQv.h", "VarnDasQvSim.h")
REGENERATE = "python3 python/generate_declarations.py"

SCALARS = {
    "char": "ctypes.c_char",
    "signed char": "ctypes.c_byte",
    "unsigned char": "ctypes.c_ubyte",
    "short": "ctypes.c_short",
    "unsigned short": "ctypes.c_ushort",
    "int": "ctypes.c_int",
    "unsigned": "ctypes.c_uint",
    "unsigned int": "ctypes.c_uint",
    "long": "ctypes.c_long",
    "unsigned long": "ctypes.c_ulong",
    "long long": "ctypes.c_longlong",
    "unsigned long long": "ctypes.c_ulonglong",
    "float": "ctypes.c_float",
    "double": "ctypes.c_double",
    "int8_t": "ctypes.c_int8",
    "uint8_t": "ctypes.c_uint8",
    "int16_t": "ctypes.c_int16",
    "uint16_t": "ctypes.c_uint16",
    "int32_t": "ctypes.c_int32",
    "uint32_t": "ctypes.c_uint32",
    "int64_t": "ctypes.c_int64",
    "uint64_t": "ctypes.c_uint64",
    "size_t": "ctypes.c_size_t",
    "intptr_t": "ctypes.c_ssize_t",
    "uintptr_t": "ctypes.c_size_t",
}

INTEGER_DEFINE = re.compile(
    r"^#\s*define\s+(QUORVA_\w+)\s+\(?\s*(-?\s*(?:0[xX][0-9A-Fa-f]+|\d+))[uUlL]*\s*\)?\s*$")
ALIAS = re.compile(r"\btypedef\s+([^;{}()]+?)\s*\b(\w+)\s*;")
RECORD = re.compile(r"\btypedef\s+struct\s*(\w*)\s*\{([^{}]*)\}\s*(\w+)\s*;")
FUNCTION = re.compile(
    r"\bQUORVA_API\s+([^;{}()]+?)\s*\bQUORVA_CALL\s+(QUORVA_\w+)\s*\(([^;{}()]*)\)\s*;")
# Names as a C compiler sees them, independent of the parser above: the coverage test compares.
DECLARED_NAME = re.compile(r"\bQUORVA_CALL\s+(QUORVA_\w+)\s*\(")


class HeaderError(Exception):
    pass


def strip_comments(text):
    # A block comment becomes a space and its line breaks, so that lines stay lines.
    text = re.sub(r"/\*.*?\*/", lambda m: " " + "\n" * m.group().count("\n"), text, flags=re.S)
    return re.sub(r"//[^\n]*", " ", text)


def declared_function_names(include_dir):
    """Every function the headers declare, found without the generator's parser."""
    names = set()
    for header in HEADERS:
        text = strip_comments((pathlib.Path(include_dir) / header).read_text())
        names.update(DECLARED_NAME.findall(text))
    return names


class Header:
    """The declarations of one header, in the order they appear."""

    def __init__(self, name, text, known_types, defined_constants):
        self.name = name
        self.known = known_types  # C type name -> Python expression, grows as types appear
        self.defined = defined_constants  # integer constants of this and earlier headers
        text = strip_comments(text).replace("\\\n", " ")
        lines = text.splitlines()
        self.constants = [m.groups() for m in map(INTEGER_DEFINE.match, lines) if m]
        code = "\n".join(line for line in lines if not line.lstrip().startswith("#"))
        self.items = []  # (position, kind, payload)
        self._read_records(code)
        self._read_aliases(code)
        self._read_functions(code)
        self.items.sort(key=lambda item: item[0])

    def _read_records(self, code):
        for match in RECORD.finditer(code):
            self.items.append((match.start(), "record", (match.group(3), match.group(2))))
        self._expect(code, r"\btypedef\s+struct\b", len(self.items), "record")

    def _read_aliases(self, code):
        aliases = [m for m in ALIAS.finditer(code) if not m.group(1).startswith("struct")]
        for match in aliases:
            self.items.append((match.start(), "alias", (match.group(2), match.group(1))))
        records = sum(1 for item in self.items if item[1] == "record")
        self._expect(code, r"\btypedef\b", records + len(aliases), "typedef")

    def _read_functions(self, code):
        found = list(FUNCTION.finditer(code))
        for match in found:
            self.items.append((match.start(), "function", match.groups()))
        self._expect(code, r"\bQUORVA_API\b", len(found), "function")

    def _expect(self, code, pattern, count, what):
        seen = len(re.findall(pattern, code))
        if seen != count:
            raise HeaderError(f"{self.name}: {seen} {what} declarations, {count} understood; "
                              "extend python/generate_declarations.py for the new form")

    def python_type(self, c_type, where):
        """The ctypes expression of a C type such as `const unsigned short*`."""
        words = c_type.replace("*", " * ").split()
        pointers = words.count("*")
        base = " ".join(w for w in words if w not in ("*", "const", "volatile", "struct"))
        if pointers and base in ("char", "void"):  # strings and untyped addresses
            return self._pointer(f"ctypes.c_{base}_p", pointers - 1)
        if base == "void":
            return "None"
        if base not in self.known:
            raise HeaderError(f"{self.name}: unknown type `{c_type}` in {where}")
        return self._pointer(self.known[base], pointers)

    @staticmethod
    def _pointer(expression, depth):
        for _ in range(depth):
            expression = f"ctypes.POINTER({expression})"
        return expression

    def array_size(self, size, where):
        size = size.strip()
        if re.fullmatch(r"\d+", size) or size in self.defined:
            return size
        raise HeaderError(f"{self.name}: array size `{size}` in {where} is not a constant")

    def fields(self, record, body):
        fields = []
        for declaration in filter(None, (d.strip() for d in body.split(";"))):
            if ":" in declaration:
                raise HeaderError(f"{self.name}: bit-field in {record}")
            head = re.match(r"^(.*?[\s*])(\**\s*\w+\s*(?:\[[^\]]*\]\s*)*(?:,.*)?)$", declaration)
            if not head:
                raise HeaderError(f"{self.name}: cannot read `{declaration}` in {record}")
            for declarator in head.group(2).split(","):
                parts = re.fullmatch(r"\s*(\**)\s*(\w+)\s*((?:\[[^\]]*\]\s*)*)", declarator)
                if not parts:
                    raise HeaderError(f"{self.name}: cannot read `{declarator}` in {record}")
                stars, name, arrays = parts.groups()
                where = f"{record}.{name}"
                expression = self.python_type(head.group(1) + stars, where)
                for size in reversed(re.findall(r"\[([^\]]*)\]", arrays)):
                    expression = f"{expression} * {self.array_size(size, where)}"
                fields.append((name, expression))
        return fields

    def parameters(self, function, text):
        text = text.strip()
        if text in ("", "void"):
            return []
        parameters = []
        for index, parameter in enumerate(p.strip() for p in text.split(",")):
            match = re.fullmatch(r"(.*?)\b(\w+)\s*(\[\s*\w*\s*\])?", parameter)
            c_type, name, array = match.groups() if match else (parameter, "", None)
            if not c_type.strip() or name in SCALARS or name in self.known:
                c_type, name = parameter, f"arg{index}"  # an unnamed parameter
            where = f"parameter {name} of {function}"
            parameters.append((name, self.python_type(c_type + ("*" if array else ""), where)))
        return parameters

    def render(self, out):
        """Writes this header's constants, types and records; returns its functions."""
        out.append(f"# {self.name}\n")
        for name, value in self.constants:
            out.append(f"{name} = {value.replace(' ', '')}")
            self.defined.add(name)
        functions = []
        for _, kind, payload in self.items:
            if kind == "alias":
                name, c_type = payload
                self.known[name] = name
                out.append(f"\n{name} = {self.python_type(c_type, name)}")
            elif kind == "record":
                name, body = payload
                self.known[name] = name
                lines = [f'        ("{field}", {expression}),' for field, expression in
                         self.fields(name, body)]
                out.append(f"\n\nclass {name}(ctypes.Structure):\n    _fields_ = [\n"
                           + "\n".join(lines) + "\n    ]\n")
            else:
                c_type, name, parameters = payload
                functions.append((name, self.python_type(c_type, f"result of {name}"),
                                  self.parameters(name, parameters)))
        out.append("\n")
        return functions


def render_function(name, restype, parameters):
    items = [f'("{p}", {t})' for p, t in parameters]
    params = ", ".join(items) + ("," if len(items) == 1 else "")  # a tuple also of one
    one_line = f'    Function("{name}", {restype}, ({params})),'
    if len(one_line) <= 100:
        return one_line
    lines = [f'    Function("{name}", {restype}, (']
    lines += [f"        {item}," for item in items]
    lines.append("    )),")
    return "\n".join(lines)


def render(include_dir):
    """The module text for the headers in `include_dir`."""
    out = [f'''"""ctypes declarations of {", ".join(HEADERS)}: constants, records and functions.

Generated by python/generate_declarations.py; do not edit. After changing a public header:
    {REGENERATE}
"""
import ctypes
from collections import namedtuple

# A function: its name, its ctypes result type (None for void) and its (name, type) parameters.
Function = namedtuple("Function", "name restype params")

HEADERS = {HEADERS!r}
''']
    known, constants, functions = dict(SCALARS), set(), []
    for header in HEADERS:
        text = (pathlib.Path(include_dir) / header).read_text()
        functions += Header(header, text, known, constants).render(out)
    out.append("FUNCTIONS = (")
    out += [render_function(*function) for function in functions]
    out.append(")\n")
    # Blocks are written with blank lines around them; at most two stay between blocks.
    return re.sub(r"\n{4,}", "\n\n\n", "\n".join(out))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--include", default=DEFAULT_INCLUDE, help="directory of the headers")
    parser.add_argument("--output", default=DEFAULT_OUTPUT, help="module to write")
    parser.add_argument("--check", action="store_true", help="only report whether it is current")
    args = parser.parse_args()
    try:
        text = render(args.include)
    except HeaderError as error:
        sys.exit(f"generate_declarations: {error}")
    output = pathlib.Path(args.output)
    if args.check:
        if not output.exists() or output.read_text() != text:
            sys.exit(f"{output} is out of date with the headers; run: {REGENERATE}")
        return
    output.write_text(text)


if __name__ == "__main__":
    main()
