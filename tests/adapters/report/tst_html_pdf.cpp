#include "adapters/report/html_pdf.h"
#include "support/tool_output.h"
#include "workspace/code_key.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// What a reader sees on a line, its spacing aside.
QString squeezed(const QString& line)
{
    return QString(line).remove(QRegularExpression(QStringLiteral("\\s")));
}

// The non-empty lines of each page of a PDF, squeezed.
QList<QStringList> pagesOf(const QString& pdf)
{
    const QRegularExpressionMatch pages
        = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption)
              .match(toolOutput(QStringLiteral("/usr/bin/pdfinfo"), {pdf}));
    QList<QStringList> out;
    for (int page = 1; page <= pages.captured(1).toInt(); ++page) {
        const QString n = QString::number(page);
        QStringList lines;
        for (const QString& line :
            toolOutput(QStringLiteral("/usr/bin/pdftotext"), {"-layout", "-f", n, "-l", n, pdf, "-"}).split(u'\n')) {
            if (!squeezed(line).isEmpty())
                lines << squeezed(line);
        }
        out << lines;
    }
    return out;
}

// A long document of its own: tables long and short, so that headings and header
// rows fall at the foot of pages and tables run on over several pages.
QString longTables(QStringList* headings)
{
    QString html = QStringLiteral("<html><body>");
    int serial = 0;
    for (const int rows : {4, 37, 2, 61, 9, 23, 3, 88, 5, 14, 1, 40}) {
        const QString heading = QStringLiteral("系列%1").arg(++serial);
        *headings << heading;
        html += QStringLiteral("<h2>%1</h2><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">"
                               "<thead><tr><th>代号</th><th>含义</th></tr></thead>")
                    .arg(heading);
        for (int r = 0; r < rows; ++r)
            html += QStringLiteral("<tr><td>%1-%2</td><td>第%2行</td></tr>").arg(serial).arg(r + 1);
        html += QStringLiteral("</table>");
    }
    return html + QStringLiteral("</body></html>");
}

} // namespace

class TestHtmlPdf final : public QObject {
    Q_OBJECT

private slots:
    // Every page of the PDF, as pdftotext reads it back: it ends with its number, the
    // line above the number is neither a heading nor a table's header row, and a
    // page that does not open with a heading opens inside a table, with its header.
    void pagesBreakWhereAReaderExpects_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QStringList>("headings");
        QTest::addColumn<QStringList>("headerRows");

        QStringList keyHeadings {QStringLiteral("流量计参数代号"), QStringLiteral("型号后缀")};
        for (const CodeKeySeries& series : codeKey())
            keyHeadings << series.series;
        QTest::newRow("code key") << codeKeyHtml(codeKey()) << keyHeadings
                                  << QStringList {QStringLiteral("型号模板适用"), QStringLiteral("代号含义取值"),
                                         QStringLiteral("后缀适用")};
        QStringList headings;
        const QString html = longTables(&headings);
        QTest::newRow("long tables") << html << headings << QStringList {QStringLiteral("代号含义")};
    }
    void pagesBreakWhereAReaderExpects()
    {
        QFETCH(QString, html);
        QFETCH(QStringList, headings);
        QFETCH(QStringList, headerRows);
        for (QString& h : headings)
            h = squeezed(h);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("key.pdf"));
        QString error;
        QVERIFY2(writeHtmlPdf(path, html, QStringLiteral("流量计参数代号"), &error), qPrintable(error));
        const QList<QStringList> pages = pagesOf(path);
        QVERIFY(pages.size() > 1);
        for (int i = 0; i < pages.size(); ++i) {
            const QStringList& lines = pages[i];
            const QString where = QStringLiteral("page %1:\n").arg(i + 1) + lines.join(u'\n');
            QVERIFY2(lines.size() >= 3, qPrintable(where));
            QCOMPARE(lines.last(), QString::number(i + 1));
            const QString last = lines[lines.size() - 2];
            QVERIFY2(!headings.contains(last) && !headerRows.contains(last), qPrintable(where));
            QVERIFY2(headings.contains(lines.first()) || headerRows.contains(lines.first()), qPrintable(where));
        }
    }
};

QTEST_MAIN(TestHtmlPdf)
#include "tst_html_pdf.moc"
