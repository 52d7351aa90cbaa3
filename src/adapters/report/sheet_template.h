#pragma once

#include <QtCore/qnamespace.h>

#include <span>

// The selection sheet as data: one A4 portrait page, two bands, and the objects
// placed on it. Positions are pixels at kSheetDpi from the top-left corner of the
// printable area; the painter converts them to device units.

inline constexpr double kSheetDpi = 96.0;

enum class SheetBandKind {
    PageHeader,
    PageFooter,
};

// Bands only group the objects; they draw nothing themselves.
struct SheetBand {
    SheetBandKind kind;
    int y;
    int height;
    int width;
};

struct SheetFont {
    const char* family; // the name the sheet asks for; font_substitutions.h resolves it
    int pointSize;
    bool bold;
};

enum class SheetFrame {
    None,
    DottedGrid, // 1 px dotted green on all four sides; shared edges are one grid line
    Underline,  // 1 px solid black along the bottom edge
};

struct SheetObject {
    SheetBandKind band;
    int x;
    int y;
    int width;
    int height;
    SheetFont font;
    Qt::Alignment alignment;
    SheetFrame frame;
    const char* content; // UTF-8; bracketed parts are expressions (sheet_expression.h)
};

// A horizontal rule, centred on y.
struct SheetLine {
    SheetBandKind band;
    int x1;
    int x2;
    int y;
    int thickness;
};

// The sheet's frame colour: RGB 0, 128, 0.
inline constexpr int kSheetGridRed = 0;
inline constexpr int kSheetGridGreen = 128;
inline constexpr int kSheetGridBlue = 0;

std::span<const SheetBand> sheetBands();
std::span<const SheetObject> sheetObjects();
std::span<const SheetLine> sheetLines();
