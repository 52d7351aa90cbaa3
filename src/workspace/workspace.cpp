#include "workspace/workspace.h"

#include "core/form/numbers.h"
#include "core/form/selection_number.h"
#include "core/ports/platform.h"
#include "core/ports/selection_store.h"
#include "workspace/selection_restore.h"
#include "workspace/store_messages.h"

#include <algorithm>
#include <bitset>

namespace {

const QString kNumberExists = QStringLiteral("此选型日期编号系统已存在，不要轻易修改！");
const QString kSaveFailed = QStringLiteral("数据保存失败，输出失败！");
const QString kSaved = QStringLiteral("数据保存完毕，可进行打印输出！");
const QString kNumbersUsedUp
    = QStringLiteral("今天的选型日期编号（001～999）已全部使用，请输入其他选型日期编号后再保存！");
const QString kDatabaseBusy = QStringLiteral("数据库正被其他程序使用，本次未保存，请稍后再按“保存”！");
const QString kConnectionLost
    = QStringLiteral("与数据库服务器的连接已断开，本次未保存；服务器恢复后请再按“保存”！\r\n(%1)");
const QString kRecordGone = QStringLiteral("选型编号（%1）信息已不在数据库中，可能已被其他程序删除！");
const QString kNumberIncomplete = QStringLiteral("选型日期编号须为11位数字，请补全后再保存！");
const QString kSavedUnderAnother = QStringLiteral("已保存为 %1（原编号已被占用）");

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
    , m_list(store)
{
    m_list.onReadError = [this](const StoreError& error) { reportReadError(error); };
}

Workspace::~Workspace() = default;

void Workspace::reportReadError(const StoreError& error)
{
    twoBeeps(m_ui);
    showDataError(m_ui, error);
}

// The list reads its first page only; the others follow as they are asked for.
void Workspace::showMainWindow()
{
    m_list.readFromTop(m_list.search());
}

void Workspace::search(const QString& text)
{
    m_list.readFromTop(text);
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
    return createWindow(true, nullptr);
}

std::optional<StoredRow> Workspace::selectedRow()
{
    const QString number = m_list.selected();
    if (number.isEmpty())
        return std::nullopt;
    const StoreResult<std::optional<StoredRow>> row = m_store.fetch(number);
    if (!row.ok()) {
        showQueryError(m_ui, row.error());
        return std::nullopt;
    }
    if (!row.value()) {
        // another program deleted it: the list shows what is stored
        m_list.removeNumber(number);
        m_ui.showBox(MessageKind::Information, kRecordGone.arg(number));
        return std::nullopt;
    }
    return *row.value();
}

SelectionWindow* Workspace::openRecord()
{
    const std::optional<StoredRow> row = selectedRow();
    return row ? &createWindow(false, &*row) : nullptr;
}

SelectionWindow* Workspace::copyRecord()
{
    const std::optional<StoredRow> row = selectedRow();
    return row ? &createWindow(true, &*row) : nullptr;
}

void Workspace::deleteRecord()
{
    const QString number = m_list.selected();
    if (number.isEmpty())
        return;
    const StoreResult<bool> removed = m_store.remove(number);
    if (!removed.ok()) {
        showDataError(m_ui, removed.error());
        m_ui.showBox(MessageKind::Information, QStringLiteral("删除选型编号（%1）信息失败！").arg(number));
        return;
    }
    m_list.removeNumber(number);
    // another program deleted it first: the list shows what is stored
    if (!removed.value())
        m_ui.showBox(MessageKind::Information, kRecordGone.arg(number));
}

SelectionWindow& Workspace::createWindow(bool numbered, const StoredRow* restored)
{
    auto& slot = m_open[++m_createdCount];
    slot = std::make_unique<SelectionWindow>(m_ui);
    SelectionWindow& w = *slot;
    m_activation.push_back(&w);
    // the number box has no change step of its own: the workspace only keeps count
    w.form().setStep(Field::SelectionNo, [this, &w] { noteSelectionNumber(w); });
    if (onWindowCreated)
        onWindowCreated(w);
    // the window is shown while it is created: numbered, restored from a stored row,
    // or numbered and then restored (a copy keeps its new number)
    if (numbered)
        numberNewWindow(w);
    if (restored) {
        StoredRow row = *restored;
        if (numbered && !row.isEmpty())
            row[0] = w.form().text(Field::SelectionNo);
        w.dispatch([&] { restoreSelection(w.context(), row); });
        w.context().notePendingStored();
    }
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

QString Workspace::numberBesideOpenWindows()
{
    int sequence = m_openSequences.empty() ? 0 : *m_openSequences.rbegin();
    const StoreResult<int> highest = m_store.highestSequenceOfDay(m_today);
    if (highest.ok())
        sequence = std::max(sequence, highest.value());
    if (sequence < kLastSequence)
        return m_today + sequenceText(sequence + 1);
    return freeNumberOfDay();
}

int Workspace::sequenceOfToday(const QString& number) const
{
    if (!isSelectionNumber(number) || !number.startsWith(m_today))
        return 0;
    return QStringView(number).mid(kDayDigits, kSequenceDigits).toInt();
}

void Workspace::noteSelectionNumber(SelectionWindow& w)
{
    const int sequence = sequenceOfToday(w.form().text(Field::SelectionNo));
    if (sequence == w.takenSequence())
        return;
    if (w.takenSequence() > 0)
        m_openSequences.erase(m_openSequences.find(w.takenSequence()));
    if (sequence > 0)
        m_openSequences.insert(sequence);
    w.setTakenSequence(sequence);
}

// Past the day's 999th number the three digits would become four, which the number
// box cannot hold: the lowest number of the day that is neither stored nor shown
// by an open window is taken instead, and when there is none the user is asked to
// enter another number. The day's stored numbers come from the key's range; the open
// windows' ones are kept as they change, so the search does not look at every window.
QString Workspace::freeNumberOfDay()
{
    std::bitset<kLastSequence + 1> taken;
    if (const StoreResult<QStringList> stored = m_store.numbersOfDay(m_today); stored.ok()) {
        for (const QString& number : stored.value())
            taken.set(static_cast<size_t>(sequenceOfToday(number)));
    }
    auto open = m_openSequences.begin();
    for (int sequence = 1; sequence <= kLastSequence; ++sequence) {
        while (open != m_openSequences.end() && *open < sequence)
            ++open;
        if (taken.test(static_cast<size_t>(sequence)) || (open != m_openSequences.end() && *open == sequence))
            continue;
        return m_today + sequenceText(sequence);
    }
    m_ui.showBox(MessageKind::Information, kNumbersUsedUp);
    return QString();
}

void Workspace::numberNewWindow(SelectionWindow& w)
{
    const int n = nextWindowNumber();
    w.setWindowNumber(n);
    m_windowNumbers.insert(n);
    const QString number = nextSelectionNumber(n);
    w.form().setText(Field::SelectionNo, number);
    w.setAssignedNumber(number);
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
    QStringList row = *c.pending;
    row[0] = number;
    // A number the program gave is the program's to change: taken by another
    // program meanwhile, the selection goes under the next free one. A number the
    // user typed is his: it is stored as it is, or refused.
    const bool assigned = !window.assignedNumber().isEmpty() && number == window.assignedNumber();
    QString stored = number;
    if (assigned) {
        const StoreResult<QString> inserted = m_store.insertUnderFreeNumber(row);
        if (!inserted.ok()) {
            if (inserted.error().kind == StoreError::Kind::Duplicate)
                m_ui.showBox(MessageKind::Information, kNumbersUsedUp);
            else
                tellSaveFailure(inserted.error());
            return;
        }
        stored = inserted.value();
        row[0] = stored;
    } else {
        // Another program holding the store is waited for a moment only; then nothing
        // is saved and the window keeps its result and pending row, to be saved again.
        const StoreResult<bool> exists = m_store.exists(number);
        if (!exists.ok()) {
            tellSaveFailure(exists.error());
            return; // the save goes no further
        }
        if (exists.value()) {
            m_ui.showBox(MessageKind::Information, kNumberExists);
            return;
        }
        if (const StoreResult<bool> inserted = m_store.insert(row); !inserted.ok()) {
            // The check and the insert are two statements: another program saved the
            // number in between. The user hears what he would have heard had he been
            // second.
            if (inserted.error().kind == StoreError::Kind::Duplicate)
                m_ui.showBox(MessageKind::Information, kNumberExists);
            else
                tellSaveFailure(inserted.error());
            return;
        }
    }
    // the window now shows its stored selection: a save again is refused as a
    // typed number would be, never stored twice under two numbers
    window.setAssignedNumber(QString());
    if (stored != number)
        c.form.setText(Field::SelectionNo, stored);
    noteSelectionNumber(window);
    c.notePendingStored();
    // the row as stored goes to the top of the list; a row of that number that
    // another program deleted and the list still shows goes: each number once
    m_list.addSaved(row);
    m_ui.showBox(MessageKind::Information, stored == number ? kSaved : kSavedUnderAnother.arg(stored));
    if (onSaved)
        onSaved(window, stored);
}

void Workspace::tellSaveFailure(const StoreError& error)
{
    switch (error.kind) {
    case StoreError::Kind::Busy: m_ui.showBox(MessageKind::Information, kDatabaseBusy); return;
    case StoreError::Kind::Disconnected:
        m_ui.showBox(MessageKind::Information, kConnectionLost.arg(error.message));
        return;
    case StoreError::Kind::Duplicate: m_ui.showBox(MessageKind::Information, kNumberExists); return;
    case StoreError::Kind::Failed: break;
    }
    // a look that failed (is the number stored? which is free?) is a query that went
    // wrong; nothing was written to fail
    if (error.statement.startsWith(QStringLiteral("select"))) {
        showQueryError(m_ui, error);
        return;
    }
    showDataError(m_ui, error);
    m_ui.showBox(MessageKind::Information, kSaveFailed);
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
    if (window->takenSequence() > 0)
        m_openSequences.erase(m_openSequences.find(window->takenSequence()));
    if (window->windowNumber() > 0)
        m_windowNumbers.erase(m_windowNumbers.find(window->windowNumber()));
    const auto owned = std::find_if(
        m_open.begin(), m_open.end(), [window](const auto& entry) { return entry.second.get() == window; });
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
