#pragma once

class QPainter;
struct CalculationSheet;

// The calculation record's page: A4 portrait like the selection sheet, laid out from
// the record's sections top to bottom (headings, label/value lines, the corners'
// table, notes) with the program and date at the foot. Paints onto the painter's
// device, whose origin is taken as the page's top-left corner.
void paintCalculationPage(QPainter& painter, const CalculationSheet& sheet);
