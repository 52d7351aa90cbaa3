#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The key of the model codes ("流量计参数代号"), written from the composers' own
// template table and placeholder table and from the tables that fill the option
// lists, so that it says what the composers do.

struct CodeKeyPosition {
    QString name;      // "S"
    QString meaning;
    QStringList values; // every value the position takes; empty: as entered or worked out
};

struct CodeKeyTemplate {
    QString text; // "VRNA-{S}-{N}-{B}"
    QString when;
};

struct CodeKeySeries {
    QString series;
    std::vector<CodeKeyTemplate> templates;
    std::vector<CodeKeyPosition> positions; // those its templates use, in table order
};

// Every product series the composers can name, in the order of the template table;
// the parts that several series share ({P}) are kept with the series that use them.
std::vector<CodeKeySeries> codeKey();

// The key as an HTML document: a section a series, its templates and a table of its
// positions.
QString codeKeyHtml(const std::vector<CodeKeySeries>& key);
