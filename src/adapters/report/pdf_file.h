#pragma once

#include <QString>

#include <functional>

class QPdfWriter;

// Writes a PDF into `path` through `draw`, which sets the writer up and draws every
// page; it returns why it could not, or nothing. The file is replaced only by a
// whole PDF: on any failure no file is left at `path`, and one that was there stays
// as it was. Returns why the PDF was not written, or nothing. Needs a
// QGuiApplication for the fonts.
QString writePdfFile(const QString& path, const std::function<QString(QPdfWriter&)>& draw);
