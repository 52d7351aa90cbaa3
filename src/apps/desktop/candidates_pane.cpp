#include "apps/desktop/candidates_pane.h"

#include <QHeaderView>

namespace {

enum Column { TypeColumn, SizeColumn, RangeColumn, UseColumn, MarginColumn, VelocityColumn, FitColumn, kColumns };

QStringList headerTexts()
{
    return {QStringLiteral("流量计类型"), QStringLiteral("通径规格"), QStringLiteral("流量范围(m³/h)"),
        QStringLiteral("上限利用率(%)"), QStringLiteral("下限余量(倍)"), QStringLiteral("流速(m/s)"),
        QStringLiteral("匹配")};
}

QStringList cellTexts(const SizeCandidate& c)
{
    return {c.meterType, c.sizeSpec, c.use.capacity.rangeText(), c.use.useAtMax, c.use.marginAtMin, c.velocity,
        c.fitWord()};
}

} // namespace

CandidatesPane::CandidatesPane(QWidget* parent)
    : QTableWidget(0, kColumns, parent)
{
    setObjectName(QStringLiteral("candidatesPane"));
    setHorizontalHeaderLabels(headerTexts());
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setStretchLastSection(true);
    setToolTip(QStringLiteral("双击一行即选用该类型和规格"));
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (row >= 0 && row < static_cast<int>(m_shown.size()))
            emit candidateChosen(m_shown[row]);
    });
}

QColor CandidatesPane::widenedBackground()
{
    return QColor(0xff, 0xf2, 0xcc);
}

QColor CandidatesPane::overRangeText()
{
    return QColor(0xc0, 0x00, 0x00);
}

void CandidatesPane::showCandidates(std::vector<SizeCandidate> candidates)
{
    if (candidates == m_shown)
        return;
    m_shown = std::move(candidates);
    clearContents();
    setRowCount(static_cast<int>(m_shown.size()));
    for (int row = 0; row < rowCount(); ++row) {
        const SizeCandidate& c = m_shown[row];
        const QStringList texts = cellTexts(c);
        for (int column = 0; column < kColumns; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            if (column >= UseColumn && column <= VelocityColumn)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c.widened)
                item->setBackground(widenedBackground());
            if (c.overRange())
                item->setForeground(overRangeText());
            setItem(row, column, item);
        }
    }
}

void CandidatesPane::markChosen(const QString& meterType, const QString& sizeSpec)
{
    for (int row = 0; row < rowCount(); ++row) {
        const bool chosen = m_shown[row].meterType == meterType && m_shown[row].sizeSpec == sizeSpec;
        for (int column = 0; column < kColumns; ++column) {
            QTableWidgetItem* cell = item(row, column);
            if (cell->font().bold() != chosen) {
                QFont font = cell->font();
                font.setBold(chosen);
                cell->setFont(font);
            }
        }
    }
}
