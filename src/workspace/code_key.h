#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The key of the model codes ("流量计参数代号"), written from the composers' own
// template table and placeholder table and from the tables that fill the option
// lists, so that it says what the composers do.

struct CodeKeyPosition {
    QString name; // "S"
    QString meaning;
    QStringList values; // every value the position takes; empty: as entered
};

struct CodeKeyTemplate {
    QString text; // "VRNA-{S}-{N}-{B}"
    QString when;
    QStringList parts; // the values of its {P}, placeholders in them as written ("KEV-{L}")
};

struct CodeKeySeries {
    QString series;
    std::vector<CodeKeyTemplate> templates;
    std::vector<CodeKeyPosition> positions; // those its templates use, in table order
};

// Every product series the composers can name, in the order of the template table.
// {P} takes, in each template, the texts of the part table for that template; the
// series' position {P} lists them all.
std::vector<CodeKeySeries> codeKey();

// What "选型" may add after any of the codes above, in the order it adds them.
std::vector<CodeKeyTemplate> codeKeySuffixes();

// The key as an HTML document: a section a series, its templates and a table of its
// positions.
QString codeKeyHtml(const std::vector<CodeKeySeries>& key);
