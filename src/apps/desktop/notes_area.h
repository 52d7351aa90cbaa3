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

    // A window's frame holding `widget`, outside the area until addFrame adds it.
    static QMdiSubWindow* frame(QWidget* widget);
    // Adds the frame to the area, to be shown by showAdded.
    void addFrame(QMdiSubWindow* sub);

    // Shows a window just added, which makes it the active one. Qt then visits every
    // other window to tell it that it is not active: each works out its elided title
    // and frame again, and asks to repaint it. With hundreds of windows open that cost
    // more than the new window itself, though only the window active before changes.
    // Here only that window is told.
    void showAdded(QMdiSubWindow* sub);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static QPixmap drawNotes(qreal ratio, const QBrush& background);

    QPixmap m_notes;
    QBrush m_notesBackground;
};
