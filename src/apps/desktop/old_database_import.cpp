#include "apps/desktop/old_database_import.h"

#include "apps/common/old_selections.h"
#include "apps/desktop/widget_platform.h"
#include "workspace/workspace.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>

#include <algorithm>

namespace {

// How many numbers of each kind the box names; a long list would hide the counts.
constexpr int kNumbersNamed = 20;

QString progressText(qint64 done, qint64 total)
{
    return QStringLiteral("正在导入旧版数据库的选型：%1 / %2 条").arg(done).arg(total);
}

// The numbers of the reports of one kind, as the box lists them.
QString listed(const std::vector<ImportReport>& reports, bool failures)
{
    QStringList named;
    int count = 0;
    for (const ImportReport& r : reports) {
        if (r.failure.has_value() != failures)
            continue;
        if (++count <= kNumbersNamed)
            named << (failures ? QStringLiteral("%1（%2）").arg(r.number, *r.failure) : r.number);
    }
    QString text = named.join(failures ? QStringLiteral("\n") : QStringLiteral("、"));
    if (count > kNumbersNamed)
        text += QStringLiteral("\n等%1条").arg(count);
    return text;
}

} // namespace

ImportOutcome importWithProgress(QWidget* parent, OldSelections& from, SelectionStore& into)
{
    const qint64 total = from.rowCount();
    QProgressDialog progress(
        progressText(0, total), QStringLiteral("取消"), 0, int(std::max<qint64>(total, 1)), parent);
    progress.setWindowTitle(applicationTitle());
    progress.setWindowModality(Qt::WindowModal); // the windows behind take no input meanwhile
    progress.setMinimumDuration(500);
    progress.setValue(0);
    SelectionImport import(from, into);
    ImportOutcome outcome;
    outcome.extraColumns = from.extraColumns();
    for (;;) {
        const SelectionImport::Step step = import.step(outcome.reports);
        progress.setLabelText(progressText(import.rowsDone(), total));
        progress.setValue(int(std::min<qint64>(import.rowsDone(), progress.maximum())));
        if (step == SelectionImport::Step::Stored) {
            QCoreApplication::processEvents(); // 取消 is clicked between batches
            if (!progress.wasCanceled())
                continue;
            import.cancel();
            outcome.cancelled = true;
        } else if (step != SelectionImport::Step::Done) {
            outcome.error = import.error();
        }
        break;
    }
    outcome.counts = import.counts();
    return outcome;
}

QString importOutcomeText(const ImportOutcome& outcome)
{
    const ImportCounts& c = outcome.counts;
    QString text = outcome.cancelled ? QStringLiteral("导入已取消。")
        : outcome.error.isEmpty()    ? QStringLiteral("导入完成。")
                                     : QStringLiteral("导入中止：%1").arg(outcome.error);
    text += QStringLiteral("\n新导入 %1 条，已有相同的 %2 条，冲突 %3 条，失败 %4 条。")
                .arg(c.stored)
                .arg(c.skipped)
                .arg(c.conflicts)
                .arg(c.failed);
    if (c.conflicts > 0)
        text += QStringLiteral("\n\n数据库中已有以下编号的其他选型，未改动：\n") + listed(outcome.reports, false);
    if (c.failed > 0)
        text += QStringLiteral("\n\n以下选型无法保存：\n") + listed(outcome.reports, true);
    if (!outcome.extraColumns.isEmpty())
        text += QStringLiteral("\n\n这些列不属于选型输出表，未导入：%1")
                    .arg(outcome.extraColumns.join(QStringLiteral("、")));
    return text;
}

namespace {

void tellOutcome(QWidget* parent, const ImportOutcome& outcome)
{
    const bool whole = !outcome.cancelled && outcome.error.isEmpty() && outcome.counts.whole();
    WorkQuestion::tell(parent, whole ? QMessageBox::Information : QMessageBox::Warning, importOutcomeText(outcome));
}

} // namespace

WorkQuestion::StoreAnswer offerImportAtStart(QWidget* parent, QString* location, std::optional<OpenedStore>* opened)
{
    using WorkQuestion::StoreAnswer;
    QString error;
    const std::unique_ptr<OldSelections> from = OldSelections::open(*location, &error);
    if (!from)
        return WorkQuestion::askAboutStore(parent, shownStoreLocation(*location),
            QStringLiteral("这是旧版选型软件的数据库（Access），但无法读取：%1").arg(error), false);
    const StoreAnswer answer = WorkQuestion::askAboutOldDatabase(parent, from->rowCount());
    if (answer != StoreAnswer::Import)
        return answer;
    const QString target = importedStorePath(*location);
    const bool existed = QFileInfo::exists(target);
    if (!prepareStore(target, &error)) {
        WorkQuestion::tell(
            parent, QMessageBox::Critical, QStringLiteral("无法新建选型数据库：%1\n(%2)").arg(target, error));
        return answer;
    }
    OpenedStore store = openStore(target);
    if (store.state != OpenedStore::State::Yes) {
        WorkQuestion::tell(
            parent, QMessageBox::Critical, QStringLiteral("数据库无法打开：%1\n(%2)").arg(target, store.error));
        return answer;
    }
    const ImportOutcome outcome = importWithProgress(parent, *from, *store.store);
    if (outcome.cancelled || !outcome.error.isEmpty()) {
        // a store half filled is not to be started on without a word: it is made again
        // when the question is answered 导入 again
        store.store.reset();
        if (!existed)
            QFile::remove(target);
        if (!outcome.error.isEmpty())
            tellOutcome(parent, outcome);
        return answer;
    }
    tellOutcome(parent, outcome);
    *location = target;
    *opened = std::move(store);
    return answer;
}

void importOldDatabase(QWidget* parent, Workspace& workspace)
{
    const QString path = QFileDialog::getOpenFileName(
        parent, QStringLiteral("导入旧版数据库"), QString(), QStringLiteral("旧版数据库 (*.mdb *.csv);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    QString error;
    const std::unique_ptr<OldSelections> from = OldSelections::open(path, &error);
    if (!from) {
        WorkQuestion::tell(parent, QMessageBox::Critical, oldSelectionsUnreadable(path, error));
        return;
    }
    const ImportOutcome outcome = importWithProgress(parent, *from, workspace.store());
    workspace.showMainWindow(); // the list read again, with the rows imported
    tellOutcome(parent, outcome);
}
