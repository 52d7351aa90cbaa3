#pragma once

#include <QString>

class QPagedPaintDevice;

// Lays an HTML document out in the pages of `device` and draws them there, numbered
// at the foot. A heading never ends a page: it moves to the next one with what it
// introduces; a table's header row does not end a page alone, and a table that goes
// on to the next page shows its header rows there again (<thead>). Needs a
// QGuiApplication for its fonts.
void printHtml(const QString& html, QPagedPaintDevice& device);

// Writes an HTML document as an A4 PDF with its fonts embedded, laid out as
// printHtml does. False, with the message in `error`, when the file cannot be
// written completely; no file is left at `path` then.
bool writeHtmlPdf(const QString& path, const QString& html, const QString& title, QString* error = nullptr);
