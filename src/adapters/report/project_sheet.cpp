#include "adapters/report/project_sheet.h"

#include "adapters/report/html_pdf.h"
#include "adapters/report/pdf_file.h"
#include "core/record/project_summary.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>

namespace {

QString cell(const QString& tag, const QString& text)
{
    return QStringLiteral("<%1>%2</%1>").arg(tag, text.toHtmlEscaped());
}

const QString kTable = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">");

} // namespace

QString projectSheetTitle()
{
    return QStringLiteral("项目选型汇总表");
}

QString projectSheetHtml(const Project& project, const std::vector<ProjectLine>& lines)
{
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>"
                                  "<h1 align=\"center\">%1</h1>")
                       .arg(projectSheetTitle());
    html += QStringLiteral("<table cellpadding=\"2\" width=\"100%\"><tr>"
                           "<td>项目编号：%1</td><td>项目名称：%2</td><td>日期：%3</td></tr>"
                           "<tr><td>客户：%4</td><td colspan=\"2\">现场：%5</td></tr></table><p></p>")
                .arg(project.number.toHtmlEscaped(), project.name.toHtmlEscaped(), project.date.toHtmlEscaped(),
                    project.customer.toHtmlEscaped(), project.site.toHtmlEscaped());
    if (!project.notes.isEmpty())
        html += QStringLiteral("<p>备注：%1</p>").arg(project.notes.toHtmlEscaped());
    html += kTable + QStringLiteral("<thead><tr>");
    for (const QString& header : projectLineHeaders())
        html += cell(QStringLiteral("th"), header);
    html += QStringLiteral("</tr></thead>");
    for (const ProjectLine& line : lines) {
        html += QStringLiteral("<tr>");
        for (const QString& text : projectLineTexts(viewOf(line)))
            html += cell(QStringLiteral("td"), text);
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table><h2>按型号合计</h2>") + kTable
        + QStringLiteral("<thead><tr><th>型号</th><th>数量合计</th></tr></thead>");
    int all = 0;
    for (const ModelTotal& total : totalsByModel(lines)) {
        html += QStringLiteral("<tr>%1<td align=\"right\">%2</td></tr>")
                    .arg(cell(QStringLiteral("td"), total.modelCode))
                    .arg(total.quantity);
        all += total.quantity;
    }
    html += QStringLiteral("<tr><td><b>合计</b></td><td align=\"right\"><b>%1</b></td></tr></table>").arg(all);
    html += QStringLiteral("</body></html>");
    return html;
}

void setProjectSheetPage(QPagedPaintDevice& device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(15, 15, 15, 15)));
}

void printProjectSheet(const Project& project, const std::vector<ProjectLine>& lines, QPagedPaintDevice& device)
{
    printHtml(projectSheetHtml(project, lines), device);
}

bool writeProjectSheetPdf(
    const QString& path, const Project& project, const std::vector<ProjectLine>& lines, QString* error)
{
    const QString reason = writePdfFile(path, [&](QPdfWriter& writer) -> QString {
        setProjectSheetPage(writer);
        writer.setTitle(projectSheetTitle());
        printProjectSheet(project, lines, writer);
        return QString();
    });
    if (!reason.isEmpty() && error)
        *error = QStringLiteral("%1未能保存为PDF文件：%2\n(%3)")
                     .arg(projectSheetTitle(), QDir::toNativeSeparators(path), reason);
    return reason.isEmpty();
}
