#pragma once

// Layout files (*.frf) are XML, written by hand. All lengths are in
// millimetres (at most 5000, pens 100), font sizes in points (at most 720),
// booleans "true"/"false", colours a name or #rrggbb; a text holds at most
// 10000 characters. Unknown elements or attributes are errors, so a typing
// slip shows up when the file is loaded rather than as a missing column.
//
// <report font="Loma" fontSize="10">            default font for the texts
//   <page size="A4" orientation="portrait"      A4 | A5 | Letter, or
//         left="10" top="10" right="10" bottom="10"/>  width="" height=""
//   <band type="data" height="8" stretch="true">
//     <text x="0" y="0" width="30" height="8" frame="all">[ProductCode]</text>
//     <line x1="0" y1="8" x2="190" y2="8" pen="0.3"/>
//     <rect x="0" y="0" width="190" height="8" pen="0" fill="#eeeeee"/>
//   </band>
// </report>
//
// <page> is optional (A4 portrait, 10 mm margins) and comes before the
// bands. Each band type appears at most once; item positions are relative
// to the band's top-left corner inside the left margin. Bands, in the order
// they fill a page:
//   pageHeader    top of every page
//   reportTitle   first page only, under the page header
//   columnHeader  every page, above the rows
//   data          once per row of the data source
//   summary       after the last row; moves to a new page when it does not fit
//   pageFooter    bottom of every page
// stretch="true" (reportTitle, data, summary) lets the band grow so that its
// wrap="true" texts fit; items reaching the band's bottom edge grow with it.
//
// <text> x y width height, and optionally
//   font size bold italic              overrides of the default font
//   align="left|center|right"  valign="top|middle|bottom" (middle)
//   wrap="true"                        break lines at the box width
//   frame="all|none" or any of "left top right bottom"
//   pen="0.2" style="solid|dash|dot" color fill padding="1" (inside the box)
// The element's content is the text; each line of it is trimmed.
// <line> x1 y1 x2 y2, pen style color.   <rect> x y width height, pen style
// color fill. pen="0" draws no line.
//
// Placeholders in texts, each optionally followed by ":picture":
//   [Field]        the row's field (data band only); [LINE] the row number
//   [Var.Name]     a variable set by the program
//   [PAGE] [PAGES] page number and page count
//   [COUNT] [SUM(Field)]  over the rows so far in the data band, all rows in
//                  reportTitle and summary, the page's rows in page bands
//   pictures: numbers "#,##0.00" ('0' digit, '#' optional digit, ','
//   grouping, text around kept: "#,##0.00 บาท"); dates "dd/MM/yyyy",
//   "d MMMM yyyy" (Thai month names), "hh:mm".
//   "[[" is a literal '['.
// Field and variable names match without regard to letter case. A field
// the data does not have, or a variable the program did not set, fails
// prepare() with the file, line and column of the text that asks for it.

#include "report/Layout.h"

#include <QByteArray>
#include <QString>

namespace report {

// Reads a layout; sourceName (the file's name) heads every error message.
// Throws ReportError.
Layout parseLayout(const QByteArray& xml, const QString& sourceName);

} // namespace report
