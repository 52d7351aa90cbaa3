#include "workspace/workspace.h"

#include "core/form/numbers.h"
#include "core/form/selection_number.h"
#include "core/ports/platform.h"
#include "core/ports/selection_store.h"
#include "workspace/selection_restore.h"
#include "workspace/store_messages.h"

#include <QSet>

#include <algorithm>

namespace {

constexpr int kListPageRows = 1000; // rows read from the store at a time

const QString kNumberExists = QStringLiteral("此选型日期编号系统已存在，不要轻易修改！");
const QString kSaveFailed = QStringLiteral("数据保存失败，输出失败！");
const QString kSaved = QStringLiteral("数据保存完毕，可进行打印输出！");
const QString kNumbersUsedUp = QStringLiteral("今天的选型日期编号（001～999）已全部使用，请输入其他选型日期编号后再保存！");
const QString kDatabaseBusy = QStringLiteral("数据库正被其他程序使用，本次未保存，请稍后再按“保存”！");
const QString kConnectionLost =
    QStringLiteral("与数据库服务器的连接已断开，本次未保存；服务器恢复后请再按“保存”！\r\n(%1)");
const QString kRecordGone = QStringLiteral("选型编号（%1）信息已不在数据库中，可能已被其他程序删除！");
const QString kNumberIncomplete = QStringLiteral("选型日期编号须为11位数字，请补全后再保存！");

QString sequenceText(int sequence)
{
    return QStringLiteral("%1").arg(sequence, kSequenceDigits, 10, QChar(u'0'));
}

void twoBeeps(Platform& ui)
{
    ui.beep();
    ui.beep();
}

bool isSelectionNumber(const QString& text)
{
    if (text.size() != kSelectionNoDigits)
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

Workspace::Workspace(Platform& ui, QString today, SelectionStore& store)
    : m_ui(ui)
    , m_today(std::move(today))
    , m_store(store)
{
}

Workspace::~Workspace() = default;

// The list is read page by page; when the first page cannot be read the list keeps
// what it holds.
void Workspace::showMainWindow()
{
    StoreResult<std::vector<StoredRow>> page = m_store.readPage(0, kListPageRows);
    if (!page.ok()) {
        twoBeeps(m_ui);
        showDataError(m_ui, page.error());
        return;
    }
    m_list.beginRefill();
    for (int offset = 0;;) {
        for (const StoredRow& row : page.value())
            m_list.refillRow(row);
        if (static_cast<int>(page.value().size()) < kListPageRows)
            break;
        offset += kListPageRows;
        page = m_store.readPage(offset, kListPageRows);
        if (!page.ok()) {
            twoBeeps(m_ui);
            showDataError(m_ui, page.error());
            break;
        }
    }
    m_list.endRefill();
}

void Workspace::activate()
{
    if (m_firstWindowCreated)
        return;
    m_firstWindowCreated = true;
    newSelection();
}

SelectionWindow& Workspace::newSelection()
{
    return createWindow(QString());
}

SelectionWindow* Workspace::openRecord()
{
    if (m_list.selected() < 0)
        return nullptr;
    return &createWindow(m_list.caption(m_list.selected()));
}

void Workspace::deleteRecord()
{
    const int item = m_list.selected();
    if (item < 0)
        return;
    const QString number = m_list.caption(item);
    const StoreResult<bool> removed = m_store.remove(number);
    if (!removed.ok()) {
        showDataError(m_ui, removed.error());
        m_ui.showBox(MessageKind::Information, QStringLiteral("删除选型编号（%1）信息失败！").arg(number));
        return;
    }
    m_list.remove(item);
    // another program deleted it first: the list shows what is stored
    if (!removed.value())
        m_ui.showBox(MessageKind::Information, kRecordGone.arg(number));
}

SelectionWindow& Workspace::createWindow(const QString& openRecordNo)
{
    m_openRecordNo = openRecordNo;
    auto& slot = m_open[++m_createdCount];
    slot = std::make_unique<SelectionWindow>(m_ui);
    SelectionWindow& w = *slot;
    m_activation.push_back(&w);
    if (onWindowCreated)
        onWindowCreated(w);
    // the window is shown while it is created: numbered, or restored from the list
    if (m_openRecordNo.isEmpty()) {
        numberNewWindow(w);
    } else {
        const QStringList row = m_list.row(m_list.selected());
        w.dispatch([&] { restoreSelection(w.context(), row); });
    }
    m_openRecordNo.clear();
    if (onWindowShown)
        onWindowShown(w);
    return w;
}

int Workspace::nextWindowNumber() const
{
    return m_windowNumbers.empty() ? 1 : *m_windowNumbers.rbegin() + 1;
}

QString Workspace::nextSelectionNumber(int windowNumber)
{
    int sequence = windowNumber;
    const StoreResult<int> highest = m_store.highestSequenceOfDay(m_today);
    if (highest.ok())
        sequence += highest.value();
    else
        twoBeeps(m_ui);
    if (sequence <= kLastSequence)
        return m_today + sequenceText(sequence);
    return freeNumberOfDay();
}

// Past the day's 999th number the three digits would become four, which the number
// box cannot hold: the lowest number of the day that is neither stored nor shown
// by an open window is taken instead, and when there is none the user is asked to
// enter another number.
QString Workspace::freeNumberOfDay()
{
    QSet<QString> taken;
    if (const StoreResult<QStringList> stored = m_store.numbersOfDay(m_today); stored.ok()) {
        for (const QString& number : stored.value())
            taken.insert(number);
    }
    for (const SelectionWindow* w : windows())
        taken.insert(w->form().text(Field::SelectionNo));
    for (int sequence = 1; sequence <= kLastSequence; ++sequence) {
        const QString number = m_today + sequenceText(sequence);
        if (!taken.contains(number))
            return number;
    }
    m_ui.showBox(MessageKind::Information, kNumbersUsedUp);
    return QString();
}

void Workspace::numberNewWindow(SelectionWindow& w)
{
    const int n = nextWindowNumber();
    w.setWindowNumber(n);
    m_windowNumbers.insert(n);
    w.form().setText(Field::SelectionNo, nextSelectionNumber(n));
}

void Workspace::save(SelectionWindow& window)
{
    SelectionContext& c = window.context();
    if (trimmed(c.form.text(Field::ResultText)).isEmpty() || !c.pending)
        return;
    const QString number = c.form.text(Field::SelectionNo);
    if (!isSelectionNumber(number)) {
        m_ui.showBox(MessageKind::Information, kNumberIncomplete);
        return;
    }
    // Another program holding the store is waited for a moment only; then nothing is
    // saved and the window keeps its result and pending row, to be saved again.
    const StoreResult<bool> exists = m_store.exists(number);
    if (!exists.ok() && exists.error().kind == StoreError::Kind::Busy) {
        m_ui.showBox(MessageKind::Information, kDatabaseBusy);
        return;
    }
    if (!exists.ok() && exists.error().kind == StoreError::Kind::Disconnected) {
        m_ui.showBox(MessageKind::Information, kConnectionLost.arg(exists.error().message));
        return;
    }
    if (!exists.ok()) {
        showQueryError(m_ui, exists.error());
        return; // the save goes no further
    }
    if (exists.value()) {
        m_ui.showBox(MessageKind::Information, kNumberExists);
        return;
    }
    QStringList row = *c.pending;
    row[0] = number;
    if (const StoreResult<bool> inserted = m_store.insert(row); !inserted.ok()) {
        switch (inserted.error().kind) {
        case StoreError::Kind::Busy:
            m_ui.showBox(MessageKind::Information, kDatabaseBusy);
            return;
        case StoreError::Kind::Disconnected:
            m_ui.showBox(MessageKind::Information, kConnectionLost.arg(inserted.error().message));
            return;
        case StoreError::Kind::Duplicate:
            // The check and the insert are two statements: another program saved the
            // number in between. The user hears what he would have heard had he been
            // second.
            m_ui.showBox(MessageKind::Information, kNumberExists);
            return;
        case StoreError::Kind::Failed:
            break;
        }
        showDataError(m_ui, inserted.error());
        m_ui.showBox(MessageKind::Information, kSaveFailed);
        return;
    }
    // a row that another program deleted may still be shown: the list shows each
    // number once
    if (const int shown = m_list.find(number); shown >= 0)
        m_list.remove(shown);
    m_list.insertEmpty(0);
    const StoreResult<std::optional<StoredRow>> stored = m_store.fetch(number);
    if (!stored.ok()) {
        twoBeeps(m_ui);
        showDataError(m_ui, stored.error());
    }
    if (stored.ok() && stored.value())
        m_list.extend(0, *stored.value());
    else
        m_list.remove(0); // stored, but not read back: no empty item in the list
    m_ui.showBox(MessageKind::Information, kSaved);
}

void Workspace::print(SelectionWindow& window)
{
    const QString number = window.form().text(Field::SelectionNo);
    const StoreResult<std::optional<PrintRow>> row = m_store.fetchPrintRow(number);
    if (!row.ok()) {
        showQueryError(m_ui, row.error());
        return;
    }
    if (!row.value()) {
        m_ui.showBox(MessageKind::Information, notSavedMessage());
        return;
    }
    if (onPreview)
        onPreview(window, *row.value());
}

SelectionWindow* Workspace::current() const
{
    return m_activation.empty() ? nullptr : m_activation.back();
}

bool Workspace::makeCurrent(int creationNumber)
{
    return makeCurrent(createdWindow(creationNumber));
}

SelectionWindow* Workspace::createdWindow(int creationNumber) const
{
    const auto it = m_open.find(creationNumber);
    return it == m_open.end() ? nullptr : it->second.get();
}

bool Workspace::makeCurrent(SelectionWindow* window)
{
    const auto it = std::find(m_activation.begin(), m_activation.end(), window);
    if (window == nullptr || it == m_activation.end())
        return false;
    m_activation.erase(it);
    m_activation.push_back(window);
    return true;
}

bool Workspace::closeCurrent()
{
    return close(current());
}

bool Workspace::close(SelectionWindow* window)
{
    const auto active = std::find(m_activation.begin(), m_activation.end(), window);
    if (window == nullptr || active == m_activation.end())
        return false;
    if (onWindowClosing)
        onWindowClosing(*window);
    m_activation.erase(active);
    if (window->windowNumber() > 0)
        m_windowNumbers.erase(m_windowNumbers.find(window->windowNumber()));
    const auto owned = std::find_if(m_open.begin(), m_open.end(), [window](const auto& entry) {
        return entry.second.get() == window;
    });
    m_open.erase(owned);
    return true;
}

std::vector<SelectionWindow*> Workspace::windows() const
{
    std::vector<SelectionWindow*> open;
    open.reserve(m_open.size());
    for (const auto& entry : m_open)
        open.push_back(entry.second.get());
    return open;
}
