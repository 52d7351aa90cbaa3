#include "adapters/report/selection_sheet.h"

#include "adapters/report/calculation_page.h"
#include "adapters/report/font_substitutions.h"
#include "adapters/report/pdf_file.h"
#include "adapters/report/sheet_expression.h"
#include "adapters/report/sheet_template.h"
#include "core/ports/print_row.h"

#include <QDate>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <map>
#include <vector>

namespace {

// 300 dpi puts the one-pixel frames at a bit over three device units, so their dots
// stay visible when the PDF is printed or rasterised.
constexpr int kPdfResolution = 300;

// Template pixels to device units, fixed once per paint.
struct DeviceScale {
    double x;
    double y;

    explicit DeviceScale(const QPaintDevice& device)
        : x {device.logicalDpiX() / kSheetDpi}
        , y {device.logicalDpiY() / kSheetDpi}
    {
    }

    QRectF rect(const SheetObject& o) const { return {o.x * x, o.y * y, o.width * x, o.height * y}; }
};

QFont sheetFont(const SheetFont& f)
{
    QFont font;
    font.setFamilies(fontFamiliesFor(QString::fromUtf8(f.family)));
    font.setPointSize(f.pointSize);
    font.setWeight(f.bold ? QFont::Bold : QFont::Normal);
    return font;
}

// Centres the text in its box. The baseline comes from the font's own ascent and
// descent, not from the text: a cell whose Chinese comes from the taller CJK face
// sits on the same line as its Latin-only neighbours.
void drawText(QPainter& painter, const QRectF& box, const QFont& font, Qt::Alignment alignment, const QString& text)
{
    const QFontMetricsF metrics(font, painter.device());
    const double width = metrics.horizontalAdvance(text);
    double left = box.left();
    if (alignment & Qt::AlignHCenter)
        left = box.center().x() - width / 2;
    else if (alignment & Qt::AlignRight)
        left = box.right() - width;
    double baseline = box.top() + metrics.ascent();
    if (alignment & Qt::AlignVCenter)
        baseline = box.top() + (box.height() + metrics.ascent() - metrics.descent()) / 2;
    else if (alignment & Qt::AlignBottom)
        baseline = box.bottom() - metrics.descent();
    painter.setFont(font);
    painter.drawText(QPointF(left, baseline), text);
}

using Spans = std::vector<std::pair<int, int>>;

// Overlapping and touching spans joined, in order.
Spans joined(Spans spans)
{
    std::sort(spans.begin(), spans.end());
    Spans out;
    for (const auto& s : spans) {
        if (!out.empty() && s.first <= out.back().second)
            out.back().second = std::max(out.back().second, s.second);
        else
            out.push_back(s);
    }
    return out;
}

// The framed cells as grid lines, each drawn once: a shared edge drawn twice, or a
// line drawn in pieces, shifts the dot pattern until the frame looks solid.
void drawGrid(QPainter& painter, const DeviceScale& scale)
{
    std::map<int, Spans> rows;    // y -> x spans
    std::map<int, Spans> columns; // x -> y spans
    for (const SheetObject& o : sheetObjects()) {
        if (o.frame != SheetFrame::DottedGrid)
            continue;
        rows[o.y].push_back({o.x, o.x + o.width});
        rows[o.y + o.height].push_back({o.x, o.x + o.width});
        columns[o.x].push_back({o.y, o.y + o.height});
        columns[o.x + o.width].push_back({o.y, o.y + o.height});
    }
    const QColor green(kSheetGridRed, kSheetGridGreen, kSheetGridBlue);
    painter.setPen(QPen(green, scale.y, Qt::DotLine, Qt::FlatCap));
    for (const auto& [y, spans] : rows) {
        for (const auto& [x1, x2] : joined(spans))
            painter.drawLine(QPointF(x1 * scale.x, y * scale.y), QPointF(x2 * scale.x, y * scale.y));
    }
    painter.setPen(QPen(green, scale.x, Qt::DotLine, Qt::FlatCap));
    for (const auto& [x, spans] : columns) {
        for (const auto& [y1, y2] : joined(spans))
            painter.drawLine(QPointF(x * scale.x, y1 * scale.y), QPointF(x * scale.x, y2 * scale.y));
    }
}

void drawHorizontal(QPainter& painter, const DeviceScale& scale, double x1, double x2, double y, double thickness)
{
    painter.setPen(QPen(Qt::black, thickness * scale.y, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(x1 * scale.x, y * scale.y), QPointF(x2 * scale.x, y * scale.y));
}

} // namespace

QString selectionSheetTitle()
{
    return QStringLiteral("Corvane");
}

QString selectionSheetPreviewCaption(const QString& number)
{
    return QStringLiteral("打印预览 – 选型编号 %1").arg(number);
}

QString selectionSheetDate(const QDate& date)
{
    // A process without a locale (a fresh server, a service, CI) would print "10 Dec
    // 2026" on a Chinese sheet: it reads the date as a Chinese system would show it.
    const QLocale system = QLocale::system();
    const QLocale locale = system.language() == QLocale::C ? QLocale(QLocale::Chinese, QLocale::China) : system;
    return locale.toString(date, QLocale::ShortFormat);
}

QPageLayout selectionSheetPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
}

void paintSelectionSheet(QPainter& painter, const PrintRow& row, const QString& dateText)
{
    if (!painter.isActive() || !painter.device())
        return;
    const DeviceScale scale(*painter.device());
    painter.save();
    // Crisp frames: an antialiased one-pixel line at 96 dpi smears over two rows.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    painter.setPen(Qt::black);
    for (const SheetObject& o : sheetObjects()) {
        const QString text = expandSheetText(QString::fromUtf8(o.content), row, dateText);
        // Text wider than its box runs over the box's sides rather than being cut:
        // the title does so by a few pixels, and a cut value would misinform.
        drawText(painter, scale.rect(o), sheetFont(o.font), o.alignment, text);
    }

    drawGrid(painter, scale);
    for (const SheetObject& o : sheetObjects()) {
        if (o.frame == SheetFrame::Underline)
            drawHorizontal(painter, scale, o.x, o.x + o.width, o.y + o.height, 1);
    }
    for (const SheetLine& line : sheetLines())
        drawHorizontal(painter, scale, line.x1, line.x2, line.y, line.thickness);

    painter.restore();
}

QString sheetNotWrittenText(const QString& path, const QString& reason)
{
    return QStringLiteral("选型单未能保存为PDF文件：%1\n(%2)").arg(QDir::toNativeSeparators(path), reason);
}

bool writeSelectionSheetPdf(const QString& path, const PrintRow& row, const QString& dateText, QString* error,
    const CalculationSheet* calculation)
{
    const QString reason = writePdfFile(path, [&](QPdfWriter& writer) -> QString {
        // Zero margins: the page's top-left corner is the printable area's, which is
        // the template's origin.
        writer.setPageLayout(selectionSheetPageLayout());
        writer.setResolution(kPdfResolution);
        writer.setTitle(selectionSheetTitle());
        QPainter painter;
        if (!painter.begin(&writer))
            return QStringLiteral("no PDF could be started");
        paintSelectionSheet(painter, row, dateText);
        if (calculation) {
            if (!writer.newPage())
                return QStringLiteral("the PDF's second page could not be started");
            paintCalculationPage(painter, *calculation);
        }
        if (!painter.end())
            return QStringLiteral("the PDF could not be finished");
        return QString();
    });
    if (!reason.isEmpty() && error)
        *error = sheetNotWrittenText(path, reason);
    return reason.isEmpty();
}
