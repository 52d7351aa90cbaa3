#include "workspace/code_key.h"

#include "core/form/vocabulary.h"
#include "core/modelcode/code_templates.h"
#include "core/modelcode/model_code.h"
#include "core/rules/rating_rules.h"
#include "core/rules/sensor_ranges.h"
#include "core/rules/size_tables.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

void addOnce(QStringList& list, const QString& value)
{
    if (!list.contains(value))
        list << value;
}

// The labels of the sizes a family offers, as "80B(13<=Qg<=250)".
QStringList sizeLabels(CodeFamily family)
{
    std::vector<SizeTable> tables;
    switch (family) {
    case CodeFamily::Turbine: tables = {turbineTable(true), turbineTable(false)}; break;
    case CodeFamily::Vortex: tables = {vortexTable(0), vortexTable(1)}; break;
    case CodeFamily::RotaryLobe:
        for (int variant = 0; variant < 3; ++variant) {
            tables.push_back(domesticRotaryLobeTable(variant));
            tables.push_back(importedRotaryLobeTable(variant));
        }
        break;
    }
    QStringList out;
    for (const SizeTable& table : tables) {
        for (const SizeTableEntry& entry : table) {
            if (const auto* size = std::get_if<TSizeCandidate>(&entry))
                addOnce(out, size->label);
        }
    }
    return out;
}

QStringView meterTypeOf(CodeFamily family)
{
    switch (family) {
    case CodeFamily::Turbine: return vocab::Turbine;
    case CodeFamily::Vortex: return vocab::Vortex;
    case CodeFamily::RotaryLobe: return vocab::RotaryLobe;
    }
    return {};
}

// What {S}, {R} and {D} take from a size label, as the composers cut it.
QString sizeCode(const QString& label)
{
    return label.left(label.indexOf(u'('));
}
QString boreOf(const QString& label)
{
    qsizetype i = 0;
    while (i < label.size() && label[i].isDigit())
        ++i;
    return label.left(i);
}

QStringList valuesOf(QStringView name, CodeFamily family)
{
    QStringList out;
    if (name == u"S" || name == u"R" || name == u"D") {
        for (const QString& label : sizeLabels(family)) {
            const QString code = sizeCode(label);
            addOnce(out, name == u"S" ? code : name == u"R" ? code.mid(boreOf(label).size()) : boreOf(label));
        }
    } else if (name == u"U") {
        out = allSensorRanges();
    } else if (name == u"N") {
        out = ratingsOfMeterType(meterTypeOf(family));
    } else if (name == u"B") {
        out = {vocab::Class10.toString(), vocab::Class05.toString()};
    } else if (name == u"C") {
        out = {vocab::Class15.toString(), vocab::Class10.toString()};
    } else if (name == u"A") {
        out = {vocab::Class05.toString(), vocab::Class10.toString()};
    } else if (name == u"L") {
        out = codeLetterValues();
    } else if (name == u"I") {
        out = {QString(), QStringLiteral("-C")};
    } else if (name.size() == 2 && name[0] == u'M') {
        for (const QString& suffix : modeSuffixValues(name[1].digitValue()))
            addOnce(out, suffix);
    }
    return out;
}

QStringList partsOf(CodeTemplateId templ)
{
    QStringList out;
    for (const CodePart& part : codeParts()) {
        if (part.templ == templ)
            addOnce(out, QString::fromUtf16(part.text));
    }
    return out;
}

// Values as the key shows them: an empty value is named, a list is one line.
QString valuesHtml(const QStringList& values)
{
    QStringList shown;
    for (const QString& v : values)
        shown << (v.isEmpty() ? QStringLiteral("（空）") : v.toHtmlEscaped());
    return shown.join(QStringLiteral("，"));
}

QStringList placeholdersIn(QStringView text)
{
    static const QRegularExpression brace(QStringLiteral("\\{(\\w+)\\}"));
    QStringList out;
    for (const QRegularExpressionMatch& m : brace.globalMatch(text))
        addOnce(out, m.captured(1));
    return out;
}

} // namespace

std::vector<CodeKeySeries> codeKey()
{
    std::vector<CodeKeySeries> key;
    std::vector<CodeFamily> families;
    for (const CodeTemplate& t : codeTemplates()) {
        const QString series = QString::fromUtf16(t.series);
        auto it = std::find_if(key.begin(), key.end(), [&](const CodeKeySeries& s) { return s.series == series; });
        if (it == key.end()) {
            key.push_back({series, {}, {}});
            families.push_back(t.family);
            it = key.end() - 1;
        }
        it->templates.push_back({QString::fromUtf16(t.text), QString::fromUtf8(t.when), partsOf(t.id)});
    }
    for (size_t i = 0; i < key.size(); ++i) {
        QStringList used;
        for (const CodeKeyTemplate& t : key[i].templates) {
            // the placeholders of the template, and those inside the values of its {P}
            const QStringList texts = QStringList(t.parts) << t.text;
            for (const QString& text : texts)
                for (const QString& name : placeholdersIn(text))
                    addOnce(used, name);
        }
        for (const CodePlaceholder& p : codePlaceholders()) {
            if (!used.contains(p.name.toString()))
                continue;
            QStringList values = valuesOf(p.name, families[i]);
            if (p.name == u"P") {
                for (const CodeKeyTemplate& t : key[i].templates)
                    for (const QString& part : t.parts)
                        addOnce(values, part);
            }
            key[i].positions.push_back({p.name.toString(), p.meaning, values});
        }
    }
    return key;
}

std::vector<CodeKeyTemplate> codeKeySuffixes()
{
    std::vector<CodeKeyTemplate> out;
    for (const CodeSuffix& suffix : codeSuffixes())
        out.push_back({QString::fromUtf16(suffix.text), QString::fromUtf8(suffix.when), {}});
    return out;
}

QString codeKeyHtml(const std::vector<CodeKeySeries>& key)
{
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>流量计参数代号</title></head><body>"
                                  "<h1>流量计参数代号</h1>"
                                  "<p>型号规格由模板写成：花括号中的代号按下表取值，其余照写。</p>");
    for (const CodeKeySeries& s : key) {
        html += QStringLiteral("<h2>%1</h2><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">"
                               "<thead><tr><th>型号模板</th><th>适用</th></tr></thead>")
                    .arg(s.series.toHtmlEscaped());
        for (const CodeKeyTemplate& t : s.templates)
            html += QStringLiteral("<tr><td><code>%1</code></td><td>%2</td></tr>")
                        .arg(t.text.toHtmlEscaped(), t.when.toHtmlEscaped());
        html += QStringLiteral("</table><p></p><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">"
                               "<thead><tr><th>代号</th><th>含义</th><th>取值</th></tr></thead>");
        for (const CodeKeyPosition& p : s.positions) {
            QString shown = valuesHtml(p.values);
            if (p.name == u"P") {
                // the values by template, where the series has more than one with {P}
                QStringList byTemplate;
                for (const CodeKeyTemplate& t : s.templates) {
                    if (!t.parts.isEmpty())
                        byTemplate
                            << QStringLiteral("<code>%1</code>：%2").arg(t.text.toHtmlEscaped(), valuesHtml(t.parts));
                }
                if (byTemplate.size() > 1)
                    shown = byTemplate.join(QStringLiteral("<br>"));
            }
            html += QStringLiteral("<tr><td><code>{%1}</code></td><td>%2</td><td>%3</td></tr>")
                        .arg(p.name, p.meaning.toHtmlEscaped(), shown.isEmpty() ? QStringLiteral("照输入写") : shown);
        }
        html += QStringLiteral("</table>");
    }
    html += QStringLiteral(
        "<h2>型号后缀</h2><p>以上型号之后，按下表依次加写：</p>"
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><thead><tr><th>后缀</th><th>适用</th></tr></thead>");
    for (const CodeKeyTemplate& suffix : codeKeySuffixes())
        html += QStringLiteral("<tr><td><code>%1</code></td><td>%2</td></tr>")
                    .arg(suffix.text.toHtmlEscaped(), suffix.when.toHtmlEscaped());
    html += QStringLiteral("</table>");
    html += QStringLiteral("</body></html>");
    return html;
}
