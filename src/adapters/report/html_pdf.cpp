#include "adapters/report/html_pdf.h"

#include "adapters/report/font_substitutions.h"
#include "adapters/report/pdf_file.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

bool writeHtmlPdf(const QString& path, const QString& html, const QString& title, QString* error)
{
    const QString reason = writePdfFile(path, [&](QPdfWriter& writer) -> QString {
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15)));
        writer.setTitle(title);
        QTextDocument document;
        // the sheet's face: its CJK stand-in keeps the text findable in the PDF
        QFont font;
        font.setFamilies(fontFamiliesFor(QStringLiteral("Arial")));
        font.setPointSize(9);
        document.setDefaultFont(font);
        document.setHtml(html);
        document.print(&writer);
        return QString();
    });
    if (!reason.isEmpty() && error)
        *error = QStringLiteral("%1未能保存为PDF文件：%2\n(%3)").arg(title, QDir::toNativeSeparators(path), reason);
    return reason.isEmpty();
}
