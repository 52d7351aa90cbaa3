#include "apps/desktop/project_window.h"

#include "adapters/report/project_sheet.h"
#include "adapters/workbook/project_workbook.h"
#include "core/ports/platform.h"
#include "core/record/project_summary.h"
#include "workspace/store_messages.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kTagColumn = 0;
constexpr int kNumberColumn = 1;
constexpr int kQuantityColumn = 7;

QString chooseWithDialog(QWidget* parent, const QString& caption, const QString& filter, const QString& suggested)
{
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

} // namespace

ProjectWindow::ProjectWindow(ProjectStore& projects, SelectionStore& selections, Platform& ui, const QString& projectNo,
    Hooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_projects(projects)
    , m_selections(selections)
    , m_ui(ui)
    , m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("projectWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_project.number = projectNo;
    if (!m_hooks.chooseFile) {
        m_hooks.chooseFile = [this](const QString& caption, const QString& filter, const QString& suggested) {
            return chooseWithDialog(this, caption, filter, suggested);
        };
    }
    auto* layout = new QVBoxLayout(this);
    auto* header = new QFormLayout;
    m_numberLabel = new QLabel(this);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("projectNameEdit"));
    m_customer = new QLineEdit(this);
    m_customer->setObjectName(QStringLiteral("customerEdit"));
    m_site = new QLineEdit(this);
    m_site->setObjectName(QStringLiteral("siteEdit"));
    m_notes = new QLineEdit(this);
    m_notes->setObjectName(QStringLiteral("notesEdit"));
    header->addRow(QStringLiteral("项目编号："), m_numberLabel);
    header->addRow(QStringLiteral("项目名称："), m_name);
    header->addRow(QStringLiteral("客户："), m_customer);
    header->addRow(QStringLiteral("现场："), m_site);
    header->addRow(QStringLiteral("备注："), m_notes);
    auto* headerRow = new QHBoxLayout;
    headerRow->addLayout(header, 1);
    auto* saveHeaderButton = new QPushButton(QStringLiteral("保存项目信息"), this);
    saveHeaderButton->setObjectName(QStringLiteral("saveHeaderButton"));
    connect(saveHeaderButton, &QPushButton::clicked, this, &ProjectWindow::saveHeader);
    headerRow->addWidget(saveHeaderButton, 0, Qt::AlignBottom);
    layout->addLayout(headerRow);

    m_table = new QTableWidget(0, static_cast<int>(projectLineHeaders().size()), this);
    m_table->setObjectName(QStringLiteral("lineTable"));
    m_table->setHorizontalHeaderLabels(projectLineHeaders());
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setStretchLastSection(false);
    connect(m_table, &QTableWidget::cellChanged, this, &ProjectWindow::lineEdited);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this](int, int column) {
        if (column != kTagColumn && column != kQuantityColumn)
            openCurrentLine();
    });
    layout->addWidget(m_table, 1);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const QString& text, const char* name, auto slot) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    button(QStringLiteral("加入当前选型"), "addCurrentButton", &ProjectWindow::addCurrentSelection);
    button(QStringLiteral("加入列表中的选型"), "addListedButton", &ProjectWindow::addListedSelection);
    button(QStringLiteral("删除行"), "removeLineButton", &ProjectWindow::removeCurrentLine);
    button(QStringLiteral("打开选型"), "openLineButton", &ProjectWindow::openCurrentLine);
    buttons->addStretch(1);
    button(QStringLiteral("打印预览…"), "previewButton", [this] {
        if (QPrintPreviewDialog* preview = createPreview())
            preview->open();
    });
    button(QStringLiteral("打印…"), "printButton", &ProjectWindow::printSheet);
    button(QStringLiteral("保存PDF…"), "pdfButton", &ProjectWindow::saveSheetPdf);
    button(QStringLiteral("导出Excel…"), "excelButton", &ProjectWindow::exportWorkbook);
    layout->addLayout(buttons);
    resize(1000, 520);
    reload();
}

void ProjectWindow::reload()
{
    const StoreResult<std::optional<Project>> project = m_projects.fetchProject(m_project.number);
    if (!project.ok())
        return tellFailure(project.error());
    if (!project.value())
        return tell(Projects::projectMissingText(m_project.number));
    m_project = *project.value();
    const StoreResult<std::vector<ProjectLine>> lines = m_projects.projectLines(m_project.number);
    if (!lines.ok())
        return tellFailure(lines.error());
    m_lines = lines.value();
    setWindowTitle(QStringLiteral("项目-%1 %2").arg(m_project.number, m_project.name));
    m_numberLabel->setText(QStringLiteral("%1（%2）").arg(m_project.number, m_project.date));
    m_name->setText(m_project.name);
    m_customer->setText(m_project.customer);
    m_site->setText(m_project.site);
    m_notes->setText(m_project.notes);
    fillTable();
}

void ProjectWindow::fillTable()
{
    m_filling = true;
    m_table->setRowCount(static_cast<int>(m_lines.size()));
    for (int r = 0; r < static_cast<int>(m_lines.size()); ++r) {
        const ProjectLineView view = viewOf(m_lines[static_cast<size_t>(r)]);
        const QStringList texts = projectLineTexts(view);
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            if (c != kTagColumn && c != kQuantityColumn)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            if (c == kQuantityColumn)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (view.deleted && c == 2)
                item->setForeground(Qt::red);
            m_table->setItem(r, c, item);
        }
    }
    m_table->resizeColumnsToContents();
    m_filling = false;
}

void ProjectWindow::lineEdited(int row, int column)
{
    if (m_filling || row < 0 || row >= static_cast<int>(m_lines.size()))
        return;
    const ProjectLine& line = m_lines[static_cast<size_t>(row)];
    QString tag = line.tag;
    int quantity = line.quantity;
    const QString text = m_table->item(row, column)->text().trimmed();
    if (column == kTagColumn) {
        tag = text;
    } else if (column == kQuantityColumn) {
        QString problem;
        const std::optional<int> typed = Projects::quantityOf(text, &problem);
        if (!typed) {
            tell(problem);
            return fillTable();
        }
        quantity = *typed;
    } else {
        return;
    }
    if (tag == line.tag && quantity == line.quantity && line.quantityValid())
        return;
    const Projects::Outcome changed = Projects(m_projects).change(m_project.number, line.tag, tag, quantity);
    told(changed);
    reload();
    if (changed.done() && onChanged)
        onChanged();
}

bool ProjectWindow::addSelection(const QString& number)
{
    QString tag;
    const Projects::Outcome added = Projects(m_projects).addUnderFreeTag(m_project.number, number, m_lines, &tag);
    told(added);
    reload();
    if (added.done() && onChanged)
        onChanged();
    return added.done();
}

bool ProjectWindow::addCurrentSelection()
{
    const QString number = m_hooks.currentSelection ? m_hooks.currentSelection() : QString();
    if (number.isEmpty()) {
        tell(QStringLiteral("没有打开的选型窗口！"));
        return false;
    }
    return addSelection(number);
}

bool ProjectWindow::addListedSelection()
{
    const QString number = m_hooks.listedSelection ? m_hooks.listedSelection() : QString();
    if (number.isEmpty()) {
        tell(QStringLiteral("请先在选型记录列表中选择一条记录！"));
        return false;
    }
    return addSelection(number);
}

bool ProjectWindow::removeCurrentLine()
{
    const int row = m_table->currentRow();
    if (row < 0 || row >= static_cast<int>(m_lines.size()))
        return false;
    const Projects::Outcome removed
        = Projects(m_projects).remove(m_project.number, m_lines[static_cast<size_t>(row)].tag);
    told(removed);
    reload();
    if (removed.done() && onChanged)
        onChanged();
    return removed.done();
}

void ProjectWindow::openCurrentLine()
{
    const int row = m_table->currentRow();
    if (row < 0 || row >= static_cast<int>(m_lines.size()))
        return;
    const ProjectLine& line = m_lines[static_cast<size_t>(row)];
    if (line.deleted())
        return tell(QStringLiteral("选型编号（%1）的选型记录已删除！").arg(line.selectionNo));
    if (m_hooks.openSelection)
        m_hooks.openSelection(line.selectionNo);
}

bool ProjectWindow::saveHeader()
{
    Project changed = m_project;
    changed.name = m_name->text().trimmed();
    changed.customer = m_customer->text().trimmed();
    changed.site = m_site->text().trimmed();
    changed.notes = m_notes->text().trimmed();
    const Projects::Outcome updated = Projects(m_projects).update(changed);
    told(updated);
    if (!updated.done())
        return false;
    reload();
    if (onChanged)
        onChanged();
    return true;
}

QPrintPreviewDialog* ProjectWindow::createPreview()
{
    auto* preview = new QPrintPreviewDialog(this);
    preview->setObjectName(QStringLiteral("projectSheetPreview"));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowTitle(projectSheetTitle());
    setProjectSheetPage(*preview->printer());
    connect(preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) {
        setProjectSheetPage(*printer);
        printProjectSheet(m_project, m_lines, *printer);
    });
    return preview;
}

void ProjectWindow::printSheet()
{
    QPrinter printer(QPrinter::HighResolution);
    setProjectSheetPage(printer);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    printProjectSheet(m_project, m_lines, printer);
}

bool ProjectWindow::saveSheetPdf()
{
    const QString path = m_hooks.chooseFile(QStringLiteral("保存为PDF"), QStringLiteral("PDF文件 (*.pdf)"),
        QStringLiteral("%1 %2.pdf").arg(m_project.number, projectSheetTitle()));
    if (path.isEmpty())
        return false;
    QString error;
    if (!writeProjectSheetPdf(path, m_project, m_lines, &error)) {
        m_ui.showBox(MessageKind::Error, error);
        return false;
    }
    return true;
}

bool ProjectWindow::exportWorkbook()
{
    const QString path = m_hooks.chooseFile(QStringLiteral("导出Excel"), QStringLiteral("Excel工作簿 (*.xlsx)"),
        QStringLiteral("%1 %2.xlsx").arg(m_project.number, m_project.name));
    if (path.isEmpty())
        return false;
    QString error;
    if (!writeProjectWorkbook(path, m_project, m_lines, &error)) {
        m_ui.showBox(MessageKind::Error, error);
        return false;
    }
    return true;
}

void ProjectWindow::tell(const QString& text)
{
    m_ui.showBox(MessageKind::Information, text);
}

void ProjectWindow::tellFailure(const StoreError& error)
{
    m_ui.showBox(error.kind == StoreError::Kind::Busy ? MessageKind::Information : MessageKind::Error,
        Projects::failureText(error));
}

void ProjectWindow::told(const Projects::Outcome& outcome)
{
    if (outcome.done())
        return;
    const bool error
        = outcome.kind == Projects::Outcome::Kind::StoreFailed && outcome.storeError != StoreError::Kind::Busy;
    m_ui.showBox(error ? MessageKind::Error : MessageKind::Information, outcome.message);
}
