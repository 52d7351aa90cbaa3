#pragma once

class QPainter;
struct CalculationSheet;

// The calculation record's page: A4 portrait like the selection sheet, laid out from
// the record's sections top to bottom (headings, label/value lines, the corners'
// table, notes), then the warnings, each as "警告：…", and at the foot the
// signature lines over the program and date. Paints onto the painter's
// device, whose origin is taken as the page's top-left corner.
void paintCalculationPage(QPainter& painter, const CalculationSheet& sheet);
