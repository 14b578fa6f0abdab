#!/usr/bin/python3
"""Writes the demo workbook DemoLathmere.xls: a short cutting list as the
entry sheet, and a Help sheet. Uses Debian's python3-xlwt."""
import sys

import xlwt

CUTS = [
    # part, material, length mm, width mm, thickness mm, quantity
    ("Side panel", "Oak", 720, 560, 18, 2),
    ("Top", "Oak", 800, 560, 18, 1),
    ("Bottom", "Oak", 764, 560, 18, 1),
    ("Shelf", "Birch plywood", 762, 540, 18, 2),
    ("Back", "Hardboard", 780, 700, 3, 1),
    ("Door", "Oak", 716, 398, 18, 2),
]

HELP = [
    "Lathmere: cutting list",
    "",
    "Enter one part a row: part, material, length, width, thickness, quantity.",
    "Do not delete the columns, rows or fields of the entry sheet.",
    "",
    "What if the application is damaged",
    "Copy 'Lathmere-copy.xls', rename the copy 'Lathmere.xls' and use it.",
]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "DemoLathmere.xls"
    book = xlwt.Workbook(encoding="utf-8")
    bold = xlwt.easyxf("font: bold on")
    sheet = book.add_sheet("Cutting list")
    headers = ["Part", "Material", "Length (mm)", "Width (mm)", "Thickness (mm)",
               "Quantity", "Area (m2)"]
    for column, header in enumerate(headers):
        sheet.write(0, column, header, bold)
        sheet.col(column).width = 256 * (16 if column < 2 else 13)
    for row, cut in enumerate(CUTS, start=1):
        for column, value in enumerate(cut):
            sheet.write(row, column, value)
        r = row + 1
        sheet.write(row, 6, xlwt.Formula(f"C{r}*D{r}*F{r}/1000000"))
    total = len(CUTS) + 1
    sheet.write(total, 0, "Total", bold)
    sheet.write(total, 5, xlwt.Formula(f"SUM(F2:F{total})"), bold)
    sheet.write(total, 6, xlwt.Formula(f"SUM(G2:G{total})"), bold)
    help_sheet = book.add_sheet("Help")
    help_sheet.col(0).width = 256 * 80
    for row, line in enumerate(HELP):
        style = bold if row in (0, 5) else xlwt.Style.default_style
        help_sheet.write(row, 0, line, style)
    book.save(out)


if __name__ == "__main__":
    main()
