#include "adapters/report/calculation_page.h"

#include "adapters/report/font_substitutions.h"
#include "core/ports/calculation_sheet.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kPageWidthMm = 210;
constexpr double kPageHeightMm = 297;
constexpr double kMarginMm = 20;
constexpr double kLabelWidthMm = 52;

// The page is laid out in millimetres; the device decides what one is in its units.
class PageLayout {
public:
    PageLayout(QPainter& painter)
        : m_painter(painter)
        , m_unit(painter.device()->logicalDpiX() / kMmPerInch)
        , m_y(kMarginMm * m_unit)
    {
    }

    double mm(double v) const { return v * m_unit; }
    double left() const { return mm(kMarginMm); }
    double width() const { return mm(kPageWidthMm - 2 * kMarginMm); }
    double y() const { return m_y; }
    void down(double units) { m_y += units; }

    QFont font(double points, bool bold = false) const
    {
        // the sheet's own face for figures and Chinese alike: its CJK stand-in keeps
        // the characters findable and copyable in the PDF
        QFont f;
        f.setFamilies(fontFamiliesFor(QStringLiteral("Arial")));
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    }

    // Text in a box of the given width from the current line down, wrapped at its
    // edge; returns the height it took.
    double text(double x, double w, const QFont& font, const QString& text, int flags = Qt::AlignLeft)
    {
        m_painter.setFont(font);
        const QRectF box(x, m_y, w, mm(kPageHeightMm));
        const QRectF used = m_painter.boundingRect(box, flags | Qt::TextWordWrap, text);
        m_painter.drawText(box, flags | Qt::TextWordWrap, text);
        return used.height();
    }

    QPainter& painter() { return m_painter; }

private:
    QPainter& m_painter;
    double m_unit;
    double m_y;
};

void table(PageLayout& page, const CalculationSheet::Section& s)
{
    const QFont font = page.font(8.5);
    const QFont headFont = page.font(8.5, true);
    const int columns = static_cast<int>(s.tableHeader.size());
    // the first column names the row; the others share the rest
    const double pad = page.mm(0.7);
    double first = page.mm(22);
    const QFontMetricsF headMetrics(headFont, page.painter().device());
    for (const QStringList& row : s.tableRows) {
        if (!row.isEmpty())
            first = std::max(first, headMetrics.horizontalAdvance(row.first()) + 2 * pad);
    }
    const double other = (page.width() - first) / std::max(1, columns - 1);
    auto rowOf = [&](const QStringList& cells, const QFont& f) {
        const QFontMetricsF metrics(f, page.painter().device());
        const double height = metrics.height() + 2 * pad;
        double x = page.left();
        for (int i = 0; i < columns; ++i) {
            const double w = i == 0 ? first : other;
            const QRectF cell(x, page.y(), w, height);
            page.painter().drawRect(cell);
            page.painter().setFont(f);
            page.painter().drawText(cell.adjusted(pad, 0, -pad, 0),
                Qt::AlignVCenter | (i == 0 ? Qt::AlignLeft : Qt::AlignRight), i < cells.size() ? cells[i] : QString());
            x += w;
        }
        page.down(height);
    };
    rowOf(s.tableHeader, headFont);
    for (const QStringList& row : s.tableRows)
        rowOf(row, font);
    page.down(page.mm(2));
}

} // namespace

void paintCalculationPage(QPainter& painter, const CalculationSheet& sheet)
{
    if (!painter.isActive() || !painter.device())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    QPen pen(Qt::black);
    pen.setWidthF(painter.device()->logicalDpiX() / 200.0);
    painter.setPen(pen);

    PageLayout page(painter);
    page.down(page.text(page.left(), page.width(), page.font(16, true), sheet.title, Qt::AlignHCenter));
    page.down(page.mm(2));
    page.down(page.text(page.left(), page.width(), page.font(10), sheet.subtitle, Qt::AlignHCenter));
    page.down(page.mm(3));

    const QFont body = page.font(9.5);
    for (const CalculationSheet::Section& s : sheet.sections) {
        page.down(page.text(page.left(), page.width(), page.font(11, true), s.heading));
        page.down(page.mm(1));
        for (const CalculationSheet::Line& line : s.lines) {
            const double labelHeight = page.text(page.left() + page.mm(4), page.mm(kLabelWidthMm), body, line.label);
            const double x = page.left() + page.mm(4 + kLabelWidthMm);
            const double valueHeight = page.text(x, page.left() + page.width() - x, body, line.value);
            page.down(std::max(labelHeight, valueHeight) + page.mm(0.4));
        }
        if (!s.tableHeader.isEmpty())
            table(page, s);
        for (const QString& note : s.notes)
            page.down(page.text(page.left() + page.mm(4), page.width() - page.mm(4), body, note) + page.mm(0.4));
        page.down(page.mm(2));
    }
    for (const QString& warning : sheet.warnings)
        page.down(page.text(page.left(), page.width(), body, QStringLiteral("警告：") + warning) + page.mm(0.8));

    // the signatures and the foot of the page, whatever the sections took
    if (!sheet.signatures.isEmpty()) {
        painter.setFont(body);
        const QFontMetricsF metrics(body, painter.device());
        const double baseline = page.mm(kPageHeightMm - kMarginMm - 4);
        const double part = page.width() / sheet.signatures.size();
        for (int i = 0; i < sheet.signatures.size(); ++i) {
            const double x = page.left() + i * part;
            painter.drawText(QPointF(x, baseline), sheet.signatures[i]);
            const double lineStart = x + metrics.horizontalAdvance(sheet.signatures[i]);
            painter.drawLine(
                QPointF(lineStart, baseline + page.mm(0.8)), QPointF(x + part - page.mm(10), baseline + page.mm(0.8)));
        }
    }
    const QFont small = page.font(8);
    painter.setFont(small);
    const QRectF foot(page.left(), page.mm(kPageHeightMm - kMarginMm), page.width(), page.mm(6));
    painter.drawLine(QPointF(foot.left(), foot.top()), QPointF(foot.right(), foot.top()));
    painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter, sheet.footer);
    painter.restore();
}
