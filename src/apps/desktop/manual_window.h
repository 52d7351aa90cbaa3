#pragma once

#include <QWidget>

class QLineEdit;
class QTextBrowser;

// The user manual ("选型软件使用说明"): the Markdown file rendered with its pictures,
// which lie beside it, and a box that finds text in it.
class ManualWindow : public QWidget {
    Q_OBJECT

public:
    // `path` must be readable (see documentFileProblem).
    explicit ManualWindow(const QString& path, QWidget* parent = nullptr);

    QTextBrowser* browser() const { return m_browser; }
    QLineEdit* findBox() const { return m_find; }
    // Finds the box's text after the selection, wrapping round once; false when the
    // manual does not hold it.
    bool findNext();

private:
    QTextBrowser* m_browser;
    QLineEdit* m_find;
};
