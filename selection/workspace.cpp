#include "workspace.h"

#include "message_kinds.h"
#include "numbers.h"
#include "platform.h"
#include "query_helpers.h"
#include "selection_database.h"
#include "selection_restore.h"
#include "statements.h"

#include <QSet>

#include <algorithm>

namespace {

constexpr int kSequenceDigits = 3;
constexpr int kLastSequence = 999;
constexpr int kSelectionNoDigits = 11;

const QString kNumberExists = QStringLiteral("此选型日期编号系统已存在，不要轻易修改！");
const QString kSaveFailed = QStringLiteral("数据保存失败，输出失败！");
const QString kSaved = QStringLiteral("数据保存完毕，可进行打印输出！");
const QString kNumbersUsedUp = QStringLiteral("今天的选型日期编号（001～999）已全部使用，请输入其他选型日期编号后再保存！");
const QString kDatabaseBusy = QStringLiteral("数据库正被其他程序使用，本次未保存，请稍后再按“保存”！");
const QString kRecordGone = QStringLiteral("选型编号（%1）信息已不在数据库中，可能已被其他程序删除！");
const QString kNumberIncomplete = QStringLiteral("选型日期编号须为11位数字，请补全后再保存！");

QString sequenceText(int sequence)
{
    return QStringLiteral("%1").arg(sequence, kSequenceDigits, 10, QChar(u'0'));
}

bool isSelectionNumber(const QString& text)
{
    if (text.size() != kSelectionNoDigits)
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Whether the number is stored, asked without any report.
bool isStored(QSqlQuery& query, const QString& number)
{
    const bool stored = executeStatement(query, statements::exists(number)) && query.next();
    query.finish();
    return stored;
}

} // namespace

Workspace::Workspace(Platform& ui, QString today, SelectionDatabase& database)
    : m_ui(ui)
    , m_today(std::move(today))
    , m_database(database)
    , m_query(database.connection())
{
}

Workspace::~Workspace() = default;

void Workspace::showMainWindow()
{
    FillListView(m_query, m_list, statements::listAll(), 0, m_ui);
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
    int deleted = 0;
    if (!RunStatement(m_query, statements::remove(number), m_ui, &deleted)) {
        m_ui.showBox(kShowBoxInformation, QStringLiteral("删除选型编号（%1）信息失败！").arg(number));
        return;
    }
    m_list.remove(item);
    // another program deleted it first: the list shows what is stored
    if (deleted == 0)
        m_ui.showBox(kShowBoxInformation, kRecordGone.arg(number));
}

SelectionWindow& Workspace::createWindow(const QString& openRecordNo)
{
    m_openRecordNo = openRecordNo;
    auto& slot = m_open[++m_createdCount];
    slot = std::make_unique<SelectionWindow>(m_ui, m_database);
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
    QStringList fields = statements::highestOfDayFields();
    int sequence = windowNumber;
    if (SelectValues(m_query, statements::highestOfDayTables(), fields, statements::highestOfDayCondition(),
                     {m_today}, m_ui)
        && !fields.front().isEmpty()) {
        bool ok = false;
        const int stored = fields.front().mid(8, kSequenceDigits).toInt(&ok);
        if (ok)
            sequence += stored;
    }
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
    if (executeStatement(m_query, statements::numbersOfDay(m_today))) {
        while (m_query.next())
            taken.insert(m_query.value(0).toString());
    }
    m_query.finish();
    for (const SelectionWindow* w : windows())
        taken.insert(w->form().text(Field::SelectionNo));
    for (int sequence = 1; sequence <= kLastSequence; ++sequence) {
        const QString number = m_today + sequenceText(sequence);
        if (!taken.contains(number))
            return number;
    }
    m_ui.showBox(kShowBoxInformation, kNumbersUsedUp);
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
        m_ui.showBox(kShowBoxInformation, kNumberIncomplete);
        return;
    }
    // Another program holding the database is waited for a moment only; then nothing
    // is saved and the window keeps its result and pending row, to be saved again.
    QSqlQuery& query = window.query();
    bool busy = false;
    const std::optional<bool> exists = RecordExists(query, statements::exists(number), m_ui, &busy);
    if (busy) {
        m_ui.showBox(kShowBoxInformation, kDatabaseBusy);
        return;
    }
    if (!exists)
        return; // reported; the save goes no further
    if (*exists) {
        m_ui.showBox(kShowBoxInformation, kNumberExists);
        return;
    }
    QStringList row = *c.pending;
    row[0] = number;
    const Statement insert = statements::insert(row);
    if (!executeStatement(query, insert)) {
        const QString reason = engineMessage(query);
        const bool insertBusy = isBusy(query);
        query.finish();
        if (insertBusy) {
            m_ui.showBox(kShowBoxInformation, kDatabaseBusy);
            return;
        }
        // The check and the insert are two statements: another program may have
        // saved the number in between. The key refused the row; the user hears what
        // he would have heard had he been second.
        if (isStored(query, number)) {
            m_ui.showBox(kShowBoxInformation, kNumberExists);
            return;
        }
        m_ui.showBox(kShowBoxError, dataErrorText(insert.sql, reason));
        m_ui.showBox(kShowBoxInformation, kSaveFailed);
        return;
    }
    query.finish();
    // a row that another program deleted may still be shown: the list shows each
    // number once
    if (const int shown = m_list.find(number); shown >= 0)
        m_list.remove(shown);
    m_list.insertEmpty(0);
    if (!FillListItem(query, m_list, 0, statements::fetch(number), 0, m_ui))
        m_list.remove(0); // stored, but not read back: no empty item in the list
    m_ui.showBox(kShowBoxInformation, kSaved);
}

void Workspace::print(SelectionWindow& window)
{
    const QString number = window.form().text(Field::SelectionNo);
    QString error;
    int rows = 0;
    const std::optional<PrintRow> row = fetchPrintRow(window.query(), number, &error, &rows);
    if (!row) {
        m_ui.showBox(kShowBoxError, queryErrorText(statements::print(number).sql, error));
        return;
    }
    if (rows != 1) {
        m_ui.showBox(kShowBoxInformation, notSavedMessage());
        return;
    }
    if (onPreview)
        onPreview(window, *row);
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
