"""Builds formatted sheets in a running Calc and copies ranges from them.

Runs under /usr/bin/python3 (the one with LibreOffice's `uno` module) and
talks to the Calc of the test suite over its UNO socket:

    office = Office(port)                  # waits for the connection
    doc = office.new_doc()                 # visible, so its copy is real
    build(doc, SHEET_3X3)                  # cells, formats, merges
    copy(office, doc, "A1:C3")             # the range onto the CLIPBOARD
    office.document_count()                # documents the Calc holds
    doc.close(False)

A sheet is a dict: "cells" maps an address ("B2") to (content, props),
where content starting with "=" is a formula and props holds UNO cell
property names with plain values (see prop()); "merges" lists ranges.
"""
import time

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.table import BorderLine2

CONNECT = "uno:socket,host=localhost,port=%d;urp;StarOffice.ComponentContext"
DOUBLE = 3          # com.sun.star.table.BorderLineStyle.DOUBLE
SOLID = 0           # com.sun.star.table.BorderLineStyle.SOLID


def pv(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def border(outer, inner=0, color=0, distance=0):
    """A border line by its widths (1/100 mm).  Two widths make a double
    line; LibreOffice keeps them only with the double style."""
    b = BorderLine2()
    b.Color = color
    b.OuterLineWidth = outer
    b.InnerLineWidth = inner
    if inner and outer:
        b.LineDistance = distance or inner
        b.LineStyle = DOUBLE
        b.LineWidth = outer + inner + b.LineDistance
    else:
        b.LineStyle = SOLID
        b.LineWidth = outer + inner
    return b


def enum(type_name, value):
    return uno.Enum(type_name, value)


HORI = {"standard": "STANDARD", "left": "LEFT", "center": "CENTER", "right": "RIGHT"}
VERT = {"standard": 0, "top": 1, "center": 2, "bottom": 3}


def prop(name, value):
    """UNO value of a cell property given in test shorthand: HoriJustify
    and VertJustify by word, CharPosture by "italic"/"oblique"/"none",
    the four borders as BorderLine2 (see border())."""
    if name == "HoriJustify":
        return enum("com.sun.star.table.CellHoriJustify", HORI[value])
    if name == "VertJustify":
        return VERT[value]
    if name == "CharPosture":
        return enum("com.sun.star.awt.FontSlant", value.upper())
    return value


class Office:
    """The connection to the suite's Calc."""

    def __init__(self, port=2083, timeout=60):
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local)
        end = time.time() + timeout
        while True:
            try:
                self.ctx = resolver.resolve(CONNECT % port)
                break
            except Exception:
                if time.time() > end:
                    raise
                time.sleep(0.5)
        smgr = self.ctx.ServiceManager
        self.desktop = smgr.createInstanceWithContext("com.sun.star.frame.Desktop", self.ctx)
        self.dispatcher = smgr.createInstanceWithContext(
            "com.sun.star.frame.DispatchHelper", self.ctx)

    def new_doc(self, hidden=False):
        return self.desktop.loadComponentFromURL(
            "private:factory/scalc", "_blank", 0, (pv("Hidden", hidden),))

    def open_doc(self, path, hidden=False):
        return self.desktop.loadComponentFromURL(
            uno.systemPathToFileUrl(path), "_blank", 0, (pv("Hidden", hidden),))

    def documents(self):
        out = []
        e = self.desktop.Components.createEnumeration()
        while e.hasMoreElements():
            out.append(e.nextElement())
        return out

    def document_count(self):
        return len(self.documents())

    def dispatch(self, doc, command, args=()):
        frame = doc.CurrentController.Frame
        return self.dispatcher.executeDispatch(frame, command, "", 0, tuple(args))


def build(doc, sheet, index=0):
    """Fill sheet `index` of doc from the description (see module doc)."""
    sh = doc.Sheets.getByIndex(index)
    for addr, (content, props) in sheet.get("cells", {}).items():
        cell = sh.getCellRangeByName(addr)
        if content is not None:
            cell.setFormula(content)
        for name, value in (props or {}).items():
            cell.setPropertyValue(name, prop(name, value))
    for area in sheet.get("merges", []):
        sh.getCellRangeByName(area).merge(True)
    return sh


def fill(doc, cols, rows, text="セル%d", index=0):
    """A plain block of cols x rows texts at A1, in one call."""
    sh = doc.Sheets.getByIndex(index)
    data = tuple(tuple(text % (r * cols + c) for c in range(cols)) for r in range(rows))
    sh.getCellRangeByPosition(0, 0, cols - 1, rows - 1).setDataArray(data)
    return sh


def copy(office, doc, area, index=0):
    """Select the range in doc's window and copy it to the CLIPBOARD."""
    sh = doc.Sheets.getByIndex(index)
    doc.CurrentController.select(sh.getCellRangeByName(area))
    office.dispatch(doc, ".uno:Copy")


def save(doc, path):
    doc.storeToURL(uno.systemPathToFileUrl(path), (pv("FilterName", "calc8"),))
