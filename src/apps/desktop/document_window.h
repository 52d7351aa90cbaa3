#pragma once

#include <QWidget>

class QLineEdit;
class QTextBrowser;

// A window of its own for a document of the menus: the text, and a box that finds
// text in it. The manual ("选型软件使用说明") is read from its Markdown file with the
// pictures beside it; the key of the model codes ("流量计参数代号") is written by the
// program and can be printed and saved as a PDF.
class DocumentWindow : public QWidget {
    Q_OBJECT

public:
    // `path` must be readable (see documentFileProblem).
    static DocumentWindow* manual(const QString& path, QWidget* parent);
    static DocumentWindow* codeKey(QWidget* parent);

    QTextBrowser* browser() const { return m_browser; }
    QLineEdit* findBox() const { return m_find; }
    // Finds the box's text after the selection, wrapping round once; false when the
    // document does not hold it.
    bool findNext();

    // The widest a picture is shown: the text's width, so that no page scrolls sideways.
    int pictureWidth() const;

protected:
    // The first showing places the window in the middle of its screen, sized to it.
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    DocumentWindow(const QString& title, const QString& objectName, QWidget* parent);
    // Pictures wider than the text are shown at the text's width, their proportions kept.
    void fitPictures();

    QTextBrowser* m_browser;
    QLineEdit* m_find;
    bool m_placed = false;
};
