#pragma once

#include <QMdiArea>
#include <QPixmap>

// The frame that holds the selection windows; behind them it shows the notes on
// which meters suit which gases.
class NotesArea : public QMdiArea {
    Q_OBJECT

public:
    explicit NotesArea(QWidget* parent = nullptr);

    static QString notesText();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static QPixmap drawNotes(qreal ratio, const QBrush& background);

    QPixmap m_notes;
    QBrush m_notesBackground;
};
