"""The SVG files quorva plot writes parse as XML: one chart group per chart, one curve per axis.

Usage: tool_svg_check.py QUORVA DIRECTORY
"""
import os
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

SVG = "{http://www.w3.org/2000/svg}"


def plot(tool, directory, name, *arguments):
    path = os.path.join(directory, name)
    subprocess.run([tool, "plot", *arguments, "-o", path], check=True, stdout=subprocess.DEVNULL)
    return ElementTree.parse(path).getroot()


def curves(chart):
    return [c.get("data-series") for c in chart.iter(SVG + "polyline") if c.get("class") == "curve"]


def main(tool, directory):
    os.makedirs(directory, exist_ok=True)
    root = plot(tool, directory, "list.svg", "list", "0:40", "3:-20", "0:-40")
    charts = [g for g in root.iter(SVG + "g") if g.get("class") == "chart"]
    assert len(charts) == 3, charts
    assert curves(charts[0]) == curves(charts[1]) == ["axis 0", "axis 3"], curves(charts[0])
    assert curves(charts[2]) == ["path"]
    root = plot(tool, directory, "move.svg", "move", "2", "5", "--title", "<A & B>")
    assert [t.text for t in root.iter(SVG + "text")][0] == "<A & B>"
    print("ok")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
