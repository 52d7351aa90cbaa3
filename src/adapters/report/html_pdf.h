#pragma once

#include <QString>

// Writes an HTML document as an A4 PDF with its fonts embedded. False, with the
// message in `error`, when the file cannot be written completely; no file is left
// at `path` then. Needs a QGuiApplication for its fonts.
bool writeHtmlPdf(const QString& path, const QString& html, const QString& title, QString* error = nullptr);
