#pragma once
// Reads a printed PDF back the way a reader sees it, through poppler-utils: the number of sheets,
// the text of a sheet or of a band of it, and a sheet rendered to pixels.

#include <QImage>
#include <QString>

// Sheets in the file; -1 when pdfinfo cannot read it.
int PdfPageCount(const QString& path);

// The text of sheets first..last (counted from 1). With a band (in points from the sheet's top
// left: x, y, width, height), only the text inside it.
struct CPdfBand {
    double x = 0, y = 0, width = 0, height = 0;
};
QString PdfText(const QString& path, int first, int last);
QString PdfText(const QString& path, int page, const CPdfBand& band);
// The text of one sheet with its physical layout kept: rows of text top to bottom, each read
// left to right.
QString PdfLayoutText(const QString& path, int page);

// One sheet rendered at dpi without antialiasing, so every colour drawn stays exact.
QImage RenderPdfPage(const QString& path, int page, int dpi);
