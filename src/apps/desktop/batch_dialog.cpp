#include "apps/desktop/batch_dialog.h"

#include "adapters/files/atomic_file.h"
#include "adapters/files/rereadable_file.h"
#include "apps/common/csv_reader.h"
#include "apps/common/results_file.h"
#include "apps/common/store_choice.h"
#include "core/form/fields.h"
#include "core/ports/selection_store.h"
#include "core/record/columns.h"
#include "workspace/workspace.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// How long one step of the run may hold the screen.
constexpr qint64 kStepMs = 30;

// Rows by what became of their point: red where it was refused or not stored, grey
// where no meter fits, amber where the selection came with warnings.
const QColor kFailed(255, 215, 215);
const QColor kNoFit(225, 225, 225);
const QColor kWarned(255, 232, 180);

// The dialog's headers for the results file's own columns; the record's fields take
// the list's headers, or these where the list has no column for them.
struct ViewHeader {
    QStringView name;
    QStringView header;
};
// clang-format off
constexpr ViewHeader kViewHeaders[] = {
    {u"Id",            u"位号/标记"},
    {u"Status",        u"结果状态"},
    {u"Warnings",      u"警告"},
    {u"Messages",      u"提示信息"},
    {u"SgergRange",    u"SGERG-88适用范围"},
    {u"SizeRange",     u"规格流量范围"},
    {u"UseAtMax",      u"上限利用率%"},
    {u"MarginAtMin",   u"下限倍数"},
    {u"ResultText",    u"型号"},
    {u"ConvFactorMin", u"最小流量时换算系数"},
    {u"ConvFactorMax", u"最大流量时换算系数"},
    {u"MeterType",     u"流量计类型"},
    {u"Corrector",     u"修正仪"},
};
// clang-format on

QString viewHeader(const QString& name)
{
    if (const std::optional<Field> f = fieldByName(name)) {
        const int column = columnOf(*f);
        if (column >= 0 && columns()[column].header)
            return QString::fromUtf8(columns()[column].header);
    }
    for (const ViewHeader& h : kViewHeaders) {
        if (h.name == name)
            return h.header.toString();
    }
    return name;
}

// The results file's columns in the order the dialog shows them: what became of the
// point and the meter chosen first, where the eye lands, then the record as it is.
std::vector<int> viewOrder(const QStringList& header)
{
    const QStringList first = {QStringLiteral("Id"), QStringLiteral("Status"), QStringLiteral("Warnings"),
        fieldName(Field::ResultText), fieldName(Field::Size), QStringLiteral("SizeRange"), QStringLiteral("UseAtMax"),
        QStringLiteral("MarginAtMin"), QStringLiteral("Messages")};
    std::vector<int> order;
    for (const QString& name : first)
        order.push_back(static_cast<int>(header.indexOf(name)));
    for (int i = 0; i < header.size(); ++i) {
        if (!first.contains(header[i]))
            order.push_back(i);
    }
    return order;
}

bool succeeded(const BatchResult& r)
{
    return r.status == BatchStatus::Selected;
}

QString stateText(BatchStatus status)
{
    switch (status) {
    case BatchStatus::Selected: return QStringLiteral("已选型");
    case BatchStatus::NoFit: return QStringLiteral("无合适规格");
    case BatchStatus::Unsaved: return QStringLiteral("未保存");
    case BatchStatus::Refused: break;
    }
    return QStringLiteral("拒绝");
}

} // namespace

BatchDialog::BatchDialog(SelectionStore& store, const QString& today, QWidget* parent)
    : QDialog(parent)
    , m_store(store)
    , m_selector(store, today)
    , m_timer(new QTimer(this))
    , m_table(new QTableWidget(this))
    , m_progress(new QProgressBar(this))
    , m_status(new QLabel(this))
    , m_open(new QPushButton(QStringLiteral("选择CSV文件…"), this))
    , m_cancel(new QPushButton(QStringLiteral("取消"), this))
    , m_export(new QPushButton(QStringLiteral("导出CSV…"), this))
    , m_save(new QPushButton(QStringLiteral("全部保存"), this))
{
    setWindowTitle(QStringLiteral("批量选型"));
    resize(1000, 600);
    const QStringList results = BatchSelector::resultHeader();
    m_viewOrder = viewOrder(results);
    m_warningsCell = static_cast<int>(results.indexOf(QStringLiteral("Warnings")));
    QStringList header = {QStringLiteral("状态")};
    for (int cell : m_viewOrder)
        header << viewHeader(results[cell]);
    m_table->setColumnCount(static_cast<int>(header.size()));
    m_table->setHorizontalHeaderLabels(header);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setDefaultSectionSize(90);
    // the model code and the messages are read whole more often than the rest
    m_table->setColumnWidth(static_cast<int>(header.indexOf(viewHeader(fieldName(Field::ResultText)))), 240);
    m_table->setColumnWidth(static_cast<int>(header.indexOf(viewHeader(QStringLiteral("Messages")))), 240);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_open, m_cancel, m_export, m_save})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addWidget(m_table);

    m_cancel->setEnabled(false);
    m_export->setEnabled(false);
    m_save->setEnabled(false);
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &BatchDialog::step);
    connect(m_open, &QPushButton::clicked, this, &BatchDialog::chooseFile);
    connect(m_cancel, &QPushButton::clicked, this, &BatchDialog::cancel);
    connect(m_export, &QPushButton::clicked, this, &BatchDialog::chooseExport);
    connect(m_save, &QPushButton::clicked, this, &BatchDialog::saveAll);
}

BatchDialog::~BatchDialog() = default;

bool BatchDialog::running() const
{
    return m_timer->isActive();
}

void BatchDialog::chooseFile()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("选择CSV文件"), QString(), QStringLiteral("CSV (*.csv);;所有文件 (*)"));
    if (!path.isEmpty())
        load(path);
}

void BatchDialog::chooseExport()
{
    const QString path
        = QFileDialog::getSaveFileName(this, QStringLiteral("导出CSV"), QString(), QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty())
        exportTo(path);
}

bool BatchDialog::load(const QString& path)
{
    cancel();
    m_points.clear();
    m_table->setRowCount(0);
    m_reader.reset();
    m_file.reset();
    m_columns.reset();
    m_export->setEnabled(false);
    m_save->setEnabled(false);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_path = path;
    QString fault;
    qint64 total = 0;
    m_file = openRereadable(path, &fault);
    if (!m_file) {
        fault = QStringLiteral("无法读取测点文件 %1：%2").arg(path, fault);
    } else {
        m_columns = checkPointsFile(*m_file, path, &total, &m_encoding, &fault);
        if (m_columns && !m_file->seek(0))
            fault = QStringLiteral("无法再次读取测点文件 %1：%2").arg(path, m_file->errorString());
    }
    if (!fault.isEmpty()) {
        m_file.reset();
        m_columns.reset();
        m_status->setText(fault);
        QMessageBox::warning(this, windowTitle(), fault);
        return false;
    }
    m_reader = std::make_unique<CsvReader>(*m_file, m_encoding);
    QStringList header;
    m_reader->next(header);
    m_progress->setRange(0, static_cast<int>(std::min<qint64>(total, INT_MAX)));
    m_progress->setValue(0);
    m_status->setText(QStringLiteral("%1：%2 个测点（%3）").arg(path).arg(total).arg(encodingName(m_encoding)));
    m_cancel->setEnabled(true);
    m_timer->start();
    return true;
}

void BatchDialog::step()
{
    QElapsedTimer clock;
    clock.start();
    QStringList cells;
    while (clock.elapsed() < kStepMs) {
        if (m_reader->next(cells) != CsvReader::Next::Record) {
            BatchCounts counts;
            for (const Point& p : m_points)
                counts.count(p.result);
            end(QStringLiteral("完成：") + counts.summary(m_encoding));
            return;
        }
        m_points.push_back(Point {cells, m_selector.select(*m_columns, cells, false)});
        const int row = static_cast<int>(m_points.size()) - 1;
        m_table->insertRow(row);
        showRow(row);
    }
    m_progress->setValue(static_cast<int>(m_points.size()));
}

void BatchDialog::showRow(int row)
{
    const Point& p = m_points[row];
    QString state = stateText(p.result.status);
    if (p.saved)
        state = QStringLiteral("已保存为 %1").arg(p.result.selectionNo());
    auto* stateItem = new QTableWidgetItem(state);
    stateItem->setToolTip(succeeded(p.result) ? state : state + u'\n' + p.result.message());
    m_table->setItem(row, 0, stateItem);
    for (size_t c = 0; c < m_viewOrder.size(); ++c) {
        const QString text = p.result.cells.value(m_viewOrder[c]);
        auto* item = new QTableWidgetItem(text);
        item->setToolTip(text);
        m_table->setItem(row, static_cast<int>(c) + 1, item);
    }
    QColor colour;
    switch (p.result.status) {
    case BatchStatus::Refused:
    case BatchStatus::Unsaved: colour = kFailed; break;
    case BatchStatus::NoFit: colour = kNoFit; break;
    case BatchStatus::Selected:
        if (!p.result.cells.value(m_warningsCell).isEmpty())
            colour = kWarned;
        break;
    }
    if (colour.isValid()) {
        for (int c = 0; c < m_table->columnCount(); ++c)
            m_table->item(row, c)->setBackground(colour);
    }
}

void BatchDialog::end(const QString& status)
{
    m_timer->stop();
    m_reader.reset();
    m_file.reset();
    // a range of 0 to 0 is the bar's endless "busy": a file without points is done
    if (m_progress->maximum() == 0) {
        m_progress->setRange(0, 1);
        m_progress->setValue(1);
    } else {
        m_progress->setValue(static_cast<int>(m_points.size()));
    }
    m_status->setText(status);
    m_cancel->setEnabled(false);
    m_export->setEnabled(!m_points.empty());
    m_save->setEnabled(
        std::any_of(m_points.begin(), m_points.end(), [](const Point& p) { return succeeded(p.result); }));
    emit runEnded();
}

void BatchDialog::cancel()
{
    if (running())
        end(QStringLiteral("已取消：%1 个测点已选型").arg(m_points.size()));
}

bool BatchDialog::exportTo(const QString& path)
{
    QString fault = batchFilesClash(m_path, storeFile(m_store), path);
    if (fault.isEmpty()) {
        AtomicFile file(path);
        bool written = file.open();
        if (written) {
            file.write(QByteArray("\xEF\xBB\xBF") + batchCsvLine(BatchSelector::resultHeader()).toUtf8() + '\n');
            for (const Point& p : m_points)
                file.write(batchCsvLine(p.result.cells).toUtf8() + '\n');
            written = file.commit();
        }
        if (!written)
            fault = resultsFileWriteFault(path, file.errorString());
    }
    if (!fault.isEmpty()) {
        m_status->setText(fault);
        QMessageBox::warning(this, windowTitle(), fault);
    }
    return fault.isEmpty();
}

void BatchDialog::saveAll()
{
    int saved = 0;
    for (size_t i = 0; i < m_points.size(); ++i) {
        Point& p = m_points[i];
        if (p.saved || !succeeded(p.result))
            continue;
        // The point is selected again in a window that saves it: the same inputs give
        // the same selection, now under the next free number.
        BatchResult again = m_selector.select(*m_columns, p.cells, true);
        p.saved = !again.savedAs.isEmpty(); // this save's own outcome, whatever else the store holds
        p.result = again;
        saved += p.saved ? 1 : 0;
        showRow(static_cast<int>(i));
        if (!p.saved) {
            QTableWidgetItem* state = m_table->item(static_cast<int>(i), 0);
            state->setText(QStringLiteral("未保存：") + again.message());
            state->setToolTip(state->text());
        }
    }
    m_status->setText(QStringLiteral("已保存 %1 个选型").arg(saved));
    emit this->saved(saved);
}

BatchDialog* openBatchDialog(QWidget* parent, Workspace& workspace)
{
    auto* dialog = new BatchDialog(workspace.store(), workspace.today(), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setNumberForSave([&workspace] { return workspace.numberBesideOpenWindows(); });
    QObject::connect(dialog, &BatchDialog::saved, dialog, [&workspace](int count) {
        if (count > 0)
            workspace.showMainWindow();
    });
    dialog->show();
    return dialog;
}
