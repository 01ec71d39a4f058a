#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the printout templates as flat ODF spreadsheets (Velkara.fods, Ibraname.fods, Aciklama.fods).

The .fods files are the readable sources kept beside this script; the build converts them to the .xls
templates the program copies and fills. Run this script after changing a layout here, and commit both.

The program writes fixed cells (see the cell lists below), so the grid is made of many narrow columns and
the captions and value areas are merged blocks lined up with those cells.
"""

import re
import sys
from pathlib import Path
from xml.sax.saxutils import escape


def col_number(letters):
    n = 0
    for ch in letters.upper():
        n = n * 26 + ord(ch) - 64
    return n


def parse_ref(ref):
    m = re.fullmatch(r"([A-Za-z]+)(\d+)", ref)
    return int(m.group(2)), col_number(m.group(1))


class Sheet:
    def __init__(self, name, widths, default_row_height):
        self.name = name
        self.widths = widths  # cm, one per column from A
        self.default_row_height = default_row_height
        self.row_heights = {}
        self.cells = {}  # (row, col) -> (text lines or None, style)
        self.covered = {}  # (row, col) -> style
        self.print_range = None

    def put(self, ref, text=None, style="Default", to=None):
        """A cell with optional text; `to` merges it with the block up to that cell."""
        r1, c1 = parse_ref(ref)
        span = (1, 1)
        if to:
            r2, c2 = parse_ref(to)
            span = (r2 - r1 + 1, c2 - c1 + 1)
            for r in range(r1, r2 + 1):
                for c in range(c1, c2 + 1):
                    if (r, c) != (r1, c1):
                        self.covered[(r, c)] = style
        lines = None if text is None else text.split("\n")
        self.cells[(r1, c1)] = (lines, style, span)

    def height(self, first, last, cm):
        for r in range(first, last + 1):
            self.row_heights[r] = cm

    def xml(self, table_style):
        out = []
        pr = ""
        if self.print_range:
            a, b = self.print_range
            pr = f' table:print-ranges="{escape(self.name)}.{a}:{escape(self.name)}.{b}"'
        out.append(f'<table:table table:name="{escape(self.name)}" table:style-name="{table_style}"{pr}>')
        # Columns: runs of equal width share one style.
        i = 0
        while i < len(self.widths):
            j = i
            while j + 1 < len(self.widths) and self.widths[j + 1] == self.widths[i]:
                j += 1
            rep = f' table:number-columns-repeated="{j - i + 1}"' if j > i else ""
            out.append(f'<table:table-column table:style-name="{COLUMN_STYLES[self.widths[i]]}"{rep}'
                       ' table:default-cell-style-name="Default"/>')
            i = j + 1
        last_row = max(r for r, _ in list(self.cells) + list(self.covered))
        ncols = len(self.widths)
        for r in range(1, last_row + 1):
            h = self.row_heights.get(r, self.default_row_height)
            out.append(f'<table:table-row table:style-name="{ROW_STYLES[h]}">')
            run = 0  # pending empty cells
            cover = [None, 0]  # pending covered cells: their style and count

            def flush():
                nonlocal run
                if run:
                    rep = f' table:number-columns-repeated="{run}"' if run > 1 else ""
                    out.append(f"<table:table-cell{rep}/>")
                    run = 0
                if cover[1]:
                    rep = f' table:number-columns-repeated="{cover[1]}"' if cover[1] > 1 else ""
                    out.append(f'<table:covered-table-cell table:style-name="{cover[0]}"{rep}/>')
                    cover[1] = 0

            for c in range(1, ncols + 1):
                if (r, c) in self.cells:
                    flush()
                    lines, style, (rs, cs) = self.cells[(r, c)]
                    attrs = f' table:style-name="{style}"'
                    if rs > 1:
                        attrs += f' table:number-rows-spanned="{rs}"'
                    if cs > 1:
                        attrs += f' table:number-columns-spanned="{cs}"'
                    if lines is None:
                        out.append(f"<table:table-cell{attrs}/>")
                    else:
                        paras = "".join(f"<text:p>{escape(line)}</text:p>" for line in lines)
                        out.append(f'<table:table-cell{attrs} office:value-type="string">{paras}</table:table-cell>')
                elif (r, c) in self.covered:
                    if run or (cover[1] and cover[0] != self.covered[(r, c)]):
                        flush()
                    cover[0] = self.covered[(r, c)]
                    cover[1] += 1
                else:
                    if cover[1]:
                        flush()
                    run += 1
            flush()
            out.append("</table:table-row>")
        out.append("</table:table>")
        return "\n".join(out)


COLUMN_STYLES = {}
ROW_STYLES = {}


def size_styles(sheet):
    out = []
    for w in sorted(set(sheet.widths)):
        if w not in COLUMN_STYLES:
            COLUMN_STYLES[w] = f"co{len(COLUMN_STYLES) + 1}"
            out.append(f'<style:style style:name="{COLUMN_STYLES[w]}" style:family="table-column">'
                       f'<style:table-column-properties fo:break-before="auto" style:column-width="{w}cm"/>'
                       "</style:style>")
    heights = set(sheet.row_heights.values()) | {sheet.default_row_height}
    for h in sorted(heights):
        if h not in ROW_STYLES:
            ROW_STYLES[h] = f"ro{len(ROW_STYLES) + 1}"
            out.append(f'<style:style style:name="{ROW_STYLES[h]}" style:family="table-row">'
                       f'<style:table-row-properties style:row-height="{h}cm" fo:break-before="auto"'
                       ' style:use-optimal-row-height="false"/></style:style>')
    return out


# Number formats in the Turkish notation, whatever the locale of the office that shows the workbook.
NUMBER_STYLES = """
<number:number-style style:name="N_AMOUNT" number:language="tr" number:country="TR">
 <number:number number:decimal-places="2" number:min-decimal-places="2" number:min-integer-digits="1"
  number:grouping="true"/>
</number:number-style>
<number:number-style style:name="N_DAYS" number:language="tr" number:country="TR">
 <number:number number:decimal-places="0" number:min-decimal-places="0" number:min-integer-digits="1"/>
</number:number-style>
<number:date-style style:name="N_DATE" number:language="tr" number:country="TR">
 <number:day number:style="long"/><number:text>.</number:text><number:month number:style="long"/>
 <number:text>.</number:text><number:year number:style="long"/>
</number:date-style>
<number:text-style style:name="N_TEXT" number:language="tr" number:country="TR"><number:text-content/></number:text-style>
"""

THIN = "0.74pt solid #000000"


def cell_style(name, size=9, bold=False, italic=False, align=None, valign="middle", wrap=False,
               border=None, fill=None, data=None, underline=False, shrink=False):
    """One cell style: font, alignment, wrapping or shrinking to fit, borders (a string for all four, or a
    dict)."""
    cp = [f'style:vertical-align="{valign}"']
    if wrap:
        cp.append('fo:wrap-option="wrap"')
    if shrink:
        cp.append('style:shrink-to-fit="true"')
    if fill:
        cp.append(f'fo:background-color="{fill}"')
    if isinstance(border, str):
        cp.append(f'fo:border="{border}"')
    elif isinstance(border, dict):
        for side, line in border.items():
            cp.append(f'fo:border-{side}="{line}"')
    if align:
        cp.append('style:text-align-source="fix"')
    pp = f'<style:paragraph-properties fo:text-align="{align}"/>' if align else ""
    tp = [f'fo:font-size="{size}pt"', f'style:font-size-asian="{size}pt"', f'style:font-size-complex="{size}pt"',
          'style:font-name="Arial"']
    if bold:
        tp.append('fo:font-weight="bold"')
    if italic:
        tp.append('fo:font-style="italic"')
    if underline:
        tp.append('style:text-underline-style="solid" style:text-underline-width="auto"'
                  ' style:text-underline-color="font-color"')
    ds = f' style:data-style-name="{data}"' if data else ""
    return (f'<style:style style:name="{name}" style:family="table-cell" style:parent-style-name="Default"{ds}>'
            f'<style:table-cell-properties {" ".join(cp)}/>{pp}<style:text-properties {" ".join(tp)}/>'
            "</style:style>")


# The page number line of every paper's footer.
PAGE_LINE = "Sayfa {page} / {pages}"

# Text styles of the page footer.
FOOTER_TEXT_STYLES = {"bold": ("T_BOLD", 10, True), "plain": ("T_PLAIN", 9, False)}


def footer_styles():
    out = []
    for name, size, bold in FOOTER_TEXT_STYLES.values():
        weight = ' fo:font-weight="bold"' if bold else ""
        out.append(f'<style:style style:name="{name}" style:family="text"><style:text-properties'
                   f' style:font-name="Arial" fo:font-size="{size}pt"{weight}/></style:style>')
    return out


def footer_text(text):
    """A footer line's text: "{page}" and "{pages}" become the page number and the page count."""
    out = escape(text)
    out = out.replace("{page}", "<text:page-number>1</text:page-number>")
    return out.replace("{pages}", "<text:page-count>1</text:page-count>")


def footer_region(element, lines):
    """One side of the page footer: lines of (text style key, text); nothing for a side without lines."""
    if not lines:
        return ""
    paras = "".join(f'<text:p><text:span text:style-name="{FOOTER_TEXT_STYLES[kind][0]}">{footer_text(text)}'
                    "</text:span></text:p>" for kind, text in lines)
    return f"<style:{element}>{paras}</style:{element}>"


def document(sheet, cell_styles, page, footer=None, font_size=9):
    """The whole flat ODF spreadsheet for one sheet; page: (width, height, orientation, fit), where fit is
    "page" (the print range on one page) or "width" (one page wide, as many pages tall as the rows need);
    footer: None, or (left lines, centre lines, right lines, height) printed at the foot of every page;
    font_size: of the
    cells without a style of their own (those the program fills below a variable block, for instance)."""
    width, height, orientation, fit_to = page
    sizes = size_styles(sheet)
    fit = {"page": ' style:scale-to-X="1" style:scale-to-Y="1"',
           "width": ' style:scale-to-X="1" style:scale-to-Y="0"'}[fit_to]
    if footer:
        left, center, right, footer_height = footer
        footer_style = (f'<style:footer-style><style:header-footer-properties fo:min-height="{footer_height}"'
                        ' fo:margin-left="0cm" fo:margin-right="0cm" fo:margin-top="0.3cm"/></style:footer-style>')
        footer_xml = (f"<style:footer>{footer_region('region-left', left)}"
                      f"{footer_region('region-center', center)}"
                      f"{footer_region('region-right', right)}</style:footer>")
        text_styles = footer_styles()
    else:
        footer_style = "<style:footer-style/>"
        footer_xml = '<style:footer style:display="false"/>'
        text_styles = []
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:config="urn:oasis:names:tc:opendocument:xmlns:config:1.0"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:settings>
 <config:config-item-set config:name="ooo:view-settings">
  <config:config-item-map-indexed config:name="Views">
   <config:config-item-map-entry>
    <config:config-item config:name="ViewId" config:type="string">view1</config:config-item>
    <config:config-item config:name="ShowGrid" config:type="boolean">false</config:config-item>
    <config:config-item-map-named config:name="Tables">
     <config:config-item-map-entry config:name="{escape(sheet.name)}">
      <config:config-item config:name="ShowGrid" config:type="boolean">false</config:config-item>
     </config:config-item-map-entry>
    </config:config-item-map-named>
   </config:config-item-map-entry>
  </config:config-item-map-indexed>
 </config:config-item-set>
</office:settings>
<office:font-face-decls>
 <style:font-face style:name="Arial" svg:font-family="Arial" style:font-family-generic="swiss" style:font-pitch="variable"/>
</office:font-face-decls>
<office:styles>
{NUMBER_STYLES}
<style:default-style style:family="table-cell">
 <style:paragraph-properties style:tab-stop-distance="1.25cm"/>
 <style:text-properties style:font-name="Arial" fo:font-size="{font_size}pt" fo:language="tr" fo:country="TR"/>
</style:default-style>
<style:style style:name="Default" style:family="table-cell">
 <style:text-properties style:font-name="Arial" fo:font-size="{font_size}pt"/>
</style:style>
</office:styles>
<office:automatic-styles>
{chr(10).join(sizes)}
<style:style style:name="ta1" style:family="table" style:master-page-name="Sayfa">
 <style:table-properties table:display="true" style:writing-mode="lr-tb"/>
</style:style>
{chr(10).join(cell_styles)}
{chr(10).join(text_styles)}
<style:page-layout style:name="pm1">
 <style:page-layout-properties fo:page-width="{width}" fo:page-height="{height}" style:print-orientation="{orientation}"
  fo:margin-top="1cm" fo:margin-bottom="1cm" fo:margin-left="1cm" fo:margin-right="1cm"
  style:print="grid-off" style:table-centering="horizontal"{fit}/>
 <style:header-style/>{footer_style}
</style:page-layout>
</office:automatic-styles>
<office:master-styles>
 <style:master-page style:name="Sayfa" style:page-layout-name="pm1">
  <style:header style:display="false"/>{footer_xml}
 </style:master-page>
</office:master-styles>
<office:body>
<office:spreadsheet>
{sheet.xml("ta1")}
</office:spreadsheet>
</office:body>
</office:document>
"""


def velkara():
    """The payroll sheet, A4 landscape. Row 8 is the employee line; each column group lines up with a cell
    the program writes: A8, Q8, Y8, AH8, AO8, AV8, BA8, BH8, BR8, CA8, CI8, CS8, DA8."""
    # The day column holds 99999 and the amount columns 999.999.999,99 at the normal 9 pt; a longer number
    # shrinks to fit rather than print as "###". Names and numbers of the particulars wrap instead.
    groups = [  # (first column, last column, caption, total width in cm, data style)
        ("A", "P", "Adı Soyadı", 3.6, "v_text"),
        ("Q", "X", "SSK No", 2.7, "v_textc"),
        ("Y", "AG", "T.C. Kimlik No", 2.5, "v_textc"),
        ("AH", "AN", "Giriş Tarihi", 1.9, "v_date"),
        ("AO", "AU", "Çıkış Tarihi", 1.9, "v_date"),
        ("AV", "AZ", "Gün", 1.2, "v_days"),
        ("BA", "BG", "Brüt Ücret", 2.45, "v_amount"),
        ("BH", "BQ", "GV Matrahı", 2.45, "v_amount"),
        ("BR", "BZ", "Brüt Tazminat", 2.45, "v_amount"),
        ("CA", "CH", "Gelir Vergisi", 2.45, "v_amount"),
        ("CI", "CR", "Damga Vergisi", 2.45, "v_amount"),
        ("CS", "CZ", "Kesintiler Toplamı", 2.45, "v_amount"),
        ("DA", "DJ", "Net Ödenen", 2.6, "v_amount"),
    ]
    widths = []
    for first, last, _, total, _ in groups:
        n = col_number(last) - col_number(first) + 1
        widths += [round(total / n, 3)] * n
    s = Sheet("Bordro", widths, 0.5)
    s.height(1, 1, 0.9)
    s.height(2, 2, 0.3)
    s.height(3, 4, 0.55)
    s.height(5, 5, 0.3)
    s.height(6, 7, 0.45)
    s.height(8, 8, 0.7)
    s.height(10, 11, 0.4)
    s.height(14, 14, 1.2)

    s.put("A1", "KIDEM TAZMİNATI BORDROSU", "title", "DJ1")
    # Employer block: captions beside N3/N4 and CI3/CI4, the values in merged areas.
    s.put("A3", "İşveren Ünvanı:", "cap_r", "M3")
    s.put("N3", None, "v_particular", "BQ3")
    s.put("A4", "SSK Sicil No:", "cap_r", "M4")
    s.put("N4", None, "v_particular", "BQ4")
    s.put("BR3", "Vergi Dairesi:", "cap_r", "CH3")
    s.put("CI3", None, "v_particular", "DJ3")
    s.put("BR4", "Vergi No:", "cap_r", "CH4")
    s.put("CI4", None, "v_particular", "DJ4")
    # Column captions over rows 6 and 7, the employee line in row 8.
    for first, last, caption, _, data in groups:
        s.put(f"{first}6", caption, "head", f"{last}7")
        s.put(f"{first}8", None, data, f"{last}8")
    # Row 9: the ceiling line of the severance sheet runs from A9 to the right.
    s.put("A9", None, "note")
    # Signature areas.
    blocks = [("A", "AG", "Düzenleyen"), ("AV", "BZ", "İşveren / Yetkili (Kaşe - İmza)"),
              ("CI", "DJ", "Tazminatı Aldım (Personel)")]
    for first, last, caption in blocks:
        s.put(f"{first}11", caption, "sig_head", f"{last}11")
        s.put(f"{first}12", "Adı Soyadı:", "sig_label", f"{last}12")
        s.put(f"{first}13", "Tarih:", "sig_label", f"{last}13")
        s.put(f"{first}15", "İmza", "sig_line", f"{last}15")
    s.print_range = ("A1", "DJ15")
    styles = [
        cell_style("title", 14, bold=True, align="center"),
        cell_style("cap_r", 9, bold=True, align="end"),
        cell_style("v_particular", 9, align="start", data="N_TEXT", wrap=True,
                   border={"bottom": "0.5pt dotted #000000"}),
        cell_style("head", 8, bold=True, align="center", wrap=True, border=THIN, fill="#dddddd"),
        cell_style("v_text", 9, align="start", border=THIN, data="N_TEXT", wrap=True),
        cell_style("v_textc", 9, align="center", border=THIN, data="N_TEXT", wrap=True),
        cell_style("v_date", 9, align="center", border=THIN, data="N_DATE", shrink=True),
        cell_style("v_days", 9, align="center", border=THIN, data="N_DAYS", shrink=True),
        cell_style("v_amount", 9, align="end", border=THIN, data="N_AMOUNT", shrink=True),
        cell_style("note", 8, italic=True),
        cell_style("sig_head", 9, bold=True, align="center"),
        cell_style("sig_label", 8, align="start"),
        cell_style("sig_line", 8, align="center", valign="top", border={"top": "0.5pt dotted #000000"}),
    ]
    # The page number at the foot of every page.
    return document(s, styles, ("29.7cm", "21cm", "landscape", "page"),
                    ([], [("plain", PAGE_LINE)], [], "0.8cm"))


def ibraname():
    """The release letter, A4 portrait. The program writes AQ6 to AQ8, AQ10 to AQ15, merges A17 to column EX
    for the release text, then writes amount lines below it: the label in A, ":" in U, the amount
    right-aligned in AT, and a top border from W to AT over the total. The release text may have any number
    of lines, so nothing of the template lies below it: no merged cells from row 17 on, no print range, and
    the signatures are in the page footer, at the foot of every page."""
    widths = ([0.2] * 20          # A-T: the payment labels
              + [0.3]             # U: the colon
              + [0.15]            # V
              + [0.15] * 24       # W-AT: the amounts, right-aligned in AT
              + [0.099] * 108)    # AU-EX
    s = Sheet("İbraname", widths, 0.5)
    s.height(1, 1, 1.0)
    s.height(2, 4, 0.3)
    s.height(9, 9, 0.8)
    s.height(15, 15, 0.9)
    s.height(16, 16, 0.4)

    s.put("A1", "İBRANAME", "title", "EX1")
    s.put("A5", "İŞVERENİN", "section", "AP5")
    s.put("A9", "PERSONELİN", "section", "AP9")
    captions = {6: "Adı Soyadı / Ünvanı", 7: "SSK İşyeri Sicil No", 8: "Adresi", 10: "Adı Soyadı", 11: "SSK No",
                12: "T.C. Kimlik No", 13: "İşe Giriş Tarihi", 14: "İşten Çıkış Tarihi", 15: "Adresi"}
    # Every particular may be longer than its line: it wraps, its row grows, and the caption stays beside
    # its first line.
    for row, caption in captions.items():
        s.put(f"A{row}", caption, "cap_top", f"AN{row}")
        s.put(f"AO{row}", ":", "cap_top", f"AP{row}")
        s.put(f"AQ{row}", None, "v_date" if row in (13, 14) else "v_lines", f"EX{row}")
    # The release text: A17 carries the look of the merged block the program makes.
    s.put("A17", None, "body")
    # Signatures: the employer on the left, the employee on the right of the footer, with room to sign
    # above a dotted line; the program adds each one's name below it. In the middle the page number, and
    # above it the line the program puts the letter's date on ("Tarih: 07.12.2026").
    line = "." * 38
    room = ("plain", "\u00a0")  # an empty line would be lost in the .xls
    employer = [("bold", "İşveren / Yetkili"), ("plain", "(Kaşe - İmza)"), room, room, ("plain", line)]
    middle = [room, room, room, room, ("plain", PAGE_LINE)]
    employee = [("bold", "İbra Eden (Personel)"), ("plain", "Adı Soyadı - İmza"), room, room, ("plain", line)]
    styles = [
        cell_style("title", 16, bold=True, align="center", underline=True),
        cell_style("section", 10, bold=True, underline=True),
        cell_style("v_date", 10, align="start", valign="top", data="N_DATE"),
        cell_style("v_lines", 10, align="start", valign="top", wrap=True, data="N_TEXT"),
        cell_style("cap_top", 10, bold=True, align="start", valign="top"),
        cell_style("body", 10, align="justify", valign="top", wrap=True),
    ]
    # The payment lines are written into unstyled cells: they take the letter's body size.
    return document(s, styles, ("21cm", "29.7cm", "portrait", "width"), (employer, middle, employee, "2.6cm"),
                    font_size=10)


# The statement's grid: a narrow caption column, the names, four columns of texts (or of the summary's
# amounts) and the amounts' column; 19 cm, the page's width inside its margins.
ACIKLAMA_WIDTHS = [0.6, 5.0, 2.7, 2.7, 2.7, 2.7, 2.6]
# The rows below the particulars that the statement's lines may take, laid out at one height. Each column's
# cells have its look (a caption in A, a name in B, a text in C to F, an amount in G) as the column's default,
# so that the program writes the lines without giving any cell a look of its own, on as many rows as a case
# needs.
ACIKLAMA_LAST_ROW = 300
ACIKLAMA_COLUMN_LOOKS = ["caption", "name", "text", "text", "text", "text", "amount"]


def column_looks(xml, looks):
    """The sheet's columns, in order, with these default cell styles (a column repeated over several has
    the first one's)."""
    out, at, column = [], 0, 0
    while True:
        start = xml.find("<table:table-column ", at)
        if start < 0:
            break
        end = xml.index("/>", start)
        element = xml[start:end]
        out.append(xml[at:start])
        out.append(element.replace('table:default-cell-style-name="Default"',
                                   f'table:default-cell-style-name="{looks[column]}"'))
        repeated = re.search(r'table:number-columns-repeated="(\d+)"', element)
        column += int(repeated.group(1)) if repeated else 1
        at = end
    out.append(xml[at:])
    return "".join(out)


def aciklama():
    """The statement of how each figure was reached, A4 portrait. The particulars are in C4 to C6 and C9 to
    C13 (each merged to G); the statement's lines go from row 15 down: a caption in A (running on over the
    empty cells to its right), a figure's name in B, its text in C (running on over D to F), its amount in G,
    right-aligned; each column's cells have that look by default. Row 14 holds the looks the program gives the cells of a line that differs: A14 a caption,
    B14 and C14 a text that wraps (merged over the columns it needs), E14 a column's heading, G14 an
    amount. The date and the signature follow the last line."""
    s = Sheet("Hesap Açıklaması", ACIKLAMA_WIDTHS, 0.42)
    s.height(1, 1, 1.0)
    s.height(2, 2, 0.3)
    s.height(3, 3, 0.6)
    s.height(7, 7, 0.3)
    s.height(8, 8, 0.6)
    s.height(14, 14, 0.25)

    s.put("A1", "HESAP AÇIKLAMASI", "title", "G1")
    s.put("A3", "İŞVEREN", "section", "G3")
    s.put("A8", "PERSONEL", "section", "G8")
    captions = {4: "Ünvanı", 5: "SSK İşyeri Sicil No", 6: "Adresi", 9: "Adı Soyadı", 10: "T.C. Kimlik No",
                11: "SSK No", 12: "İşe Giriş Tarihi", 13: "İşten Çıkış Tarihi"}
    # A long particular wraps and its row grows; the caption stays beside its first line.
    for row, caption in captions.items():
        s.put(f"A{row}", caption + ":", "cap_top", f"B{row}")
        s.put(f"C{row}", None, "v_lines", f"G{row}")
    s.put("A14", None, "caption")
    s.put("B14", None, "wrap")
    s.put("C14", None, "wrap")
    s.put("E14", None, "head")
    s.put("G14", None, "amount")
    # The rows down to the last one laid out are written out, empty, at the statement's row height.
    s.put(f"A{ACIKLAMA_LAST_ROW}", None, "caption")
    styles = [
        cell_style("title", 16, bold=True, align="center", underline=True),
        cell_style("section", 10, bold=True, underline=True),
        cell_style("cap_top", 9, bold=True, align="start", valign="top"),
        cell_style("v_lines", 9, align="start", valign="top", wrap=True, data="N_TEXT"),
        # The looks of the statement's cells.
        cell_style("caption", 9, bold=True, align="start", valign="top", data="N_TEXT"),
        cell_style("name", 9, align="start", valign="top", data="N_TEXT"),
        cell_style("text", 9, align="start", valign="top", data="N_TEXT"),
        cell_style("wrap", 9, align="start", valign="top", wrap=True, data="N_TEXT"),
        cell_style("head", 9, bold=True, align="end", valign="top", data="N_TEXT"),
        cell_style("amount", 9, align="end", valign="top", data="N_TEXT"),
    ]
    return column_looks(document(s, styles, ("21cm", "29.7cm", "portrait", "width"),
                                 ([], [("plain", PAGE_LINE)], [], "0.8cm")), ACIKLAMA_COLUMN_LOOKS)


def main():
    here = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent
    (here / "Velkara.fods").write_text(velkara(), encoding="utf-8")
    COLUMN_STYLES.clear()
    ROW_STYLES.clear()
    (here / "Ibraname.fods").write_text(ibraname(), encoding="utf-8")
    COLUMN_STYLES.clear()
    ROW_STYLES.clear()
    (here / "Aciklama.fods").write_text(aciklama(), encoding="utf-8")


if __name__ == "__main__":
    main()
