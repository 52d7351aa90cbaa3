#include "apps/desktop/manual_window.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

ManualWindow::ManualWindow(const QString& path, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
    , m_find(new QLineEdit(this))
{
    setObjectName(QStringLiteral("manualWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("选型软件使用说明"));
    resize(860, 900);
    m_find->setPlaceholderText(QStringLiteral("查找…"));
    m_find->setClearButtonEnabled(true);
    connect(m_find, &QLineEdit::returnPressed, this, &ManualWindow::findNext);
    m_browser->setOpenExternalLinks(true);
    // the pictures are named relative to the manual's folder
    m_browser->setSearchPaths({QFileInfo(path).absolutePath()});
    m_browser->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()), QTextDocument::MarkdownResource);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_find);
    layout->addWidget(m_browser);
}

bool ManualWindow::findNext()
{
    const QString text = m_find->text();
    if (text.isEmpty())
        return false;
    if (m_browser->find(text))
        return true;
    m_browser->moveCursor(QTextCursor::Start);
    return m_browser->find(text);
}
