#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The calculation record printed after a selection sheet: what was computed and from
// what, as finished text. The workspace fills it; the report only lays it out, so the
// numbers on paper are the window's own.
struct CalculationSheet {
    struct Line {
        QString label;
        QString value;
    };
    // A heading, its label/value lines, and a table when `tableHeader` is not empty.
    struct Section {
        QString heading;
        std::vector<Line> lines;
        QStringList tableHeader;
        std::vector<QStringList> tableRows;
        QStringList notes; // whole lines of text after the table
    };

    QString title;
    QString subtitle; // the selection number and the model code
    std::vector<Section> sections;
    // The warnings the window shows for the selection, one text each: listed on the
    // record under their own heading, so that a checker signs knowing them.
    QStringList warnings;
    QStringList signatures; // "编制：", "校核：": who drew the record up and who checked it
    QString footer;         // the program, its version and the date
};
