#pragma once

#include "workspace/size_candidates.h"

#include <QTableWidget>

#include <vector>

// The pane "规格比较": every meter type and size the window's working flows could
// take, with the figures to weigh them by. It only shows what it is given; a
// double-click asks for that candidate to be chosen.
class CandidatesPane : public QTableWidget {
    Q_OBJECT

public:
    explicit CandidatesPane(QWidget* parent = nullptr);

    // Shows `candidates` in their order; the same candidates again leave the rows,
    // the selection and the scroll position as they are.
    void showCandidates(std::vector<SizeCandidate> candidates);
    const std::vector<SizeCandidate>& shown() const { return m_shown; }
    // Marks the row of this meter type and size as the window's choice (none: no row).
    void markChosen(const QString& meterType, const QString& sizeSpec);

    // The colours that tell a size offered by the widened fitting, and one whose range
    // the working flows reach beyond.
    static QColor widenedBackground();
    static QColor overRangeText();

signals:
    void candidateChosen(const SizeCandidate& candidate);

private:
    std::vector<SizeCandidate> m_shown;
};
