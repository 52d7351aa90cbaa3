#include "apps/desktop/document_window.h"

#include "adapters/report/html_pdf.h"
#include "apps/desktop/widget_platform.h"
#include "workspace/code_key.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <QVBoxLayout>

DocumentWindow::DocumentWindow(const QString& title, const QString& objectName, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
    , m_find(new QLineEdit(this))
{
    setObjectName(objectName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    resize(860, 900);
    m_find->setPlaceholderText(QStringLiteral("查找…"));
    m_find->setClearButtonEnabled(true);
    connect(m_find, &QLineEdit::returnPressed, this, &DocumentWindow::findNext);
    m_browser->setOpenExternalLinks(true);
    auto* top = new QHBoxLayout;
    top->addWidget(m_find, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_browser);
}

DocumentWindow* DocumentWindow::manual(const QString& path, QWidget* parent)
{
    auto* w = new DocumentWindow(QStringLiteral("选型软件使用说明"), QStringLiteral("manualWindow"), parent);
    // the pictures are named relative to the manual's folder
    w->m_browser->setSearchPaths({QFileInfo(path).absolutePath()});
    w->m_browser->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()), QTextDocument::MarkdownResource);
    return w;
}

DocumentWindow* DocumentWindow::codeKey(QWidget* parent)
{
    auto* w = new DocumentWindow(QStringLiteral("流量计参数代号"), QStringLiteral("codeKeyWindow"), parent);
    const QString html = codeKeyHtml(::codeKey());
    w->m_browser->setHtml(html);
    auto* top = qobject_cast<QHBoxLayout*>(w->layout()->itemAt(0)->layout());
    auto* print = new QPushButton(QStringLiteral("打印…"), w);
    print->setObjectName(QStringLiteral("printButton"));
    connect(print, &QPushButton::clicked, w, [w, html] {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer, w);
        // paged as the saved PDF is, not as the window wraps it
        if (dialog.exec() == QDialog::Accepted)
            printHtml(html, printer);
    });
    auto* save = new QPushButton(QStringLiteral("另存为PDF…"), w);
    save->setObjectName(QStringLiteral("savePdfButton"));
    connect(save, &QPushButton::clicked, w, [w, html] {
        const QString path = QFileDialog::getSaveFileName(
            w, QStringLiteral("另存为PDF"), QStringLiteral("流量计参数代号.pdf"), QStringLiteral("PDF (*.pdf)"));
        QString error;
        if (!path.isEmpty() && !writeHtmlPdf(path, html, QStringLiteral("流量计参数代号"), &error))
            WidgetPlatform().showBox(MessageKind::Error, error);
    });
    top->addWidget(print);
    top->addWidget(save);
    return w;
}

bool DocumentWindow::findNext()
{
    const QString text = m_find->text();
    if (text.isEmpty())
        return false;
    if (m_browser->find(text))
        return true;
    m_browser->moveCursor(QTextCursor::Start);
    return m_browser->find(text);
}

void DocumentWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    // Opened at the screen's corner it covered the main window's title bar; a page
    // of text wants the screen's height more than its width.
    const QRect screen = this->screen()->availableGeometry();
    const QSize size(std::min(900, screen.width() * 4 / 5), std::min(1000, screen.height() * 9 / 10));
    QRect frame(QPoint(), size);
    frame.moveCenter(screen.center());
    setGeometry(frame);
}

int DocumentWindow::pictureWidth() const
{
    // the document's margins on both sides and room for the scroll bar
    const int margins = 2 * static_cast<int>(m_browser->document()->documentMargin()) + 24;
    return std::max(120, m_browser->viewport()->width() - margins);
}

void DocumentWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitPictures();
}

void DocumentWindow::fitPictures()
{
    QTextDocument* document = m_browser->document();
    const int widest = pictureWidth();
    QTextCursor cursor(document);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QImage picture
                = qvariant_cast<QImage>(document->resource(QTextDocument::ImageResource, QUrl(image.name())));
            if (picture.isNull())
                continue;
            const int width = std::min(picture.width(), widest);
            if (qFuzzyCompare(image.width(), double(width)))
                continue;
            image.setWidth(width);
            image.setHeight(double(picture.height()) * width / picture.width());
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
}
