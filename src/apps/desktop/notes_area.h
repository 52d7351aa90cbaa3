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

    // Shows a window just added, which makes it the active one. Qt then tells every
    // other window that it is not active, and each repaints its frame; with hundreds
    // of windows open that costs more than the new window itself. Only the window
    // that was active looks different, so the others repaint nothing meanwhile.
    void showAdded(QMdiSubWindow* sub);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static QPixmap drawNotes(qreal ratio, const QBrush& background);

    QPixmap m_notes;
    QBrush m_notesBackground;
};
