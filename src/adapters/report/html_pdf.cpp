#include "adapters/report/html_pdf.h"

#include "adapters/report/font_substitutions.h"
#include "adapters/report/pdf_file.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>
#include <cmath>

namespace {

int pageOf(qreal y, qreal pageHeight)
{
    return int(std::floor(y / pageHeight));
}

// The top of the first row below a table's header rows, where a reader starts
// reading it; the table's own top when it has no such row.
qreal firstBodyRowTop(const QTextDocument& document, QTextTable* table)
{
    const int row = std::min(table->format().headerRowCount(), table->rows() - 1);
    const QTextBlock cell = table->cellAt(row, 0).firstCursorPosition().block();
    return document.documentLayout()->blockBoundingRect(cell).top();
}

qreal headerTop(const QTextDocument& document, QTextTable* table)
{
    const QTextBlock cell = table->cellAt(0, 0).firstCursorPosition().block();
    return document.documentLayout()->blockBoundingRect(cell).top();
}

// QTextDocument knows no "keep with next", so the paginated layout is walked in
// reading order and a page break is put before a run of headings (with the lines
// that introduce a table) whose table would only start on a later page, and before
// a table whose header row would stay alone at the foot of a page. Each break only
// moves what follows it, so one pass over the document settles every page.
void keepHeadingsWithTables(QTextDocument& document)
{
    const qreal pageHeight = document.pageSize().height();
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    QTextBlock leadIn; // the first heading of the run that introduces what comes next
    for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
            const qreal start = leadIn.isValid() ? layout->blockBoundingRect(leadIn).top() : headerTop(document, table);
            const qreal body = firstBodyRowTop(document, table);
            if (pageOf(start, pageHeight) != pageOf(body + 1, pageHeight)) {
                if (leadIn.isValid()) {
                    QTextCursor cursor(leadIn);
                    QTextBlockFormat format = leadIn.blockFormat();
                    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                    cursor.setBlockFormat(format);
                } else {
                    QTextTableFormat format = table->format();
                    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                    table->setFormat(format);
                }
            }
            leadIn = QTextBlock();
            continue;
        }
        const QTextBlock block = it.currentBlock();
        if (block.blockFormat().headingLevel() > 0 && !leadIn.isValid())
            leadIn = block;
    }
}

} // namespace

void printHtml(const QString& html, QPagedPaintDevice& device)
{
    QTextDocument document;
    // laid out in the device's own units, so what is measured here is what is drawn
    document.documentLayout()->setPaintDevice(&device);
    // the sheet's face: its CJK stand-in keeps the text findable in the PDF
    QFont font;
    font.setFamilies(fontFamiliesFor(QStringLiteral("Arial")));
    font.setPointSize(9);
    document.setDefaultFont(font);
    document.setHtml(html);
    const QRect page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    // the foot of every page keeps room for its number, below the document's page
    // (a frame margin would be scaled as screen pixels, not the device's)
    const QFontMetricsF metrics(font, &device);
    const qreal foot = 2 * metrics.height();
    const QSizeF body(page.width(), page.height() - foot);
    document.setPageSize(body);
    keepHeadingsWithTables(document);

    QPainter painter(&device);
    painter.setFont(font);
    const int pages = document.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            device.newPage();
        painter.save();
        painter.translate(0, -i * body.height());
        const QRectF view(QPointF(0, i * body.height()), body);
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        painter.drawText(
            QRectF(0, body.height(), page.width(), foot), Qt::AlignRight | Qt::AlignBottom, QString::number(i + 1));
    }
}

bool writeHtmlPdf(const QString& path, const QString& html, const QString& title, QString* error)
{
    const QString reason = writePdfFile(path, [&](QPdfWriter& writer) -> QString {
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15)));
        writer.setTitle(title);
        printHtml(html, writer);
        return QString();
    });
    if (!reason.isEmpty() && error)
        *error = QStringLiteral("%1未能保存为PDF文件：%2\n(%3)").arg(title, QDir::toNativeSeparators(path), reason);
    return reason.isEmpty();
}
