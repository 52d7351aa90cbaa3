#include "workspace.h"

#include <algorithm>

namespace {

const QString kCaptionPrefix = QStringLiteral("流量计选型-");
constexpr int kSequenceDigits = 3;

} // namespace

Workspace::Workspace(Platform& ui, QString today)
    : m_ui(ui)
    , m_today(std::move(today))
{
}

Workspace::~Workspace() = default;

void Workspace::activate()
{
    if (m_firstWindowCreated)
        return;
    m_firstWindowCreated = true;
    newSelection();
}

SelectionWindow& Workspace::newSelection()
{
    SelectionWindow& w = createWindow();
    numberNewWindow(w);
    if (onWindowShown)
        onWindowShown(w);
    return w;
}

SelectionWindow& Workspace::createWindow()
{
    m_created.push_back(std::make_unique<SelectionWindow>(m_ui));
    SelectionWindow& w = *m_created.back();
    m_activation.push_back(&w);
    if (onWindowCreated)
        onWindowCreated(w);
    return w;
}

int Workspace::nextWindowNumber() const
{
    int largest = 0;
    for (const SelectionWindow* w : windows()) {
        const QString caption = w->caption().trimmed();
        if (caption.isEmpty())
            continue;
        const qsizetype dash = caption.indexOf(u'-');
        bool ok = false;
        const int number = caption.mid(dash + 1).toInt(&ok);
        if (ok)
            largest = std::max(largest, number);
    }
    return largest + 1;
}

void Workspace::numberNewWindow(SelectionWindow& w)
{
    const int n = nextWindowNumber();
    w.setCaption(kCaptionPrefix + QString::number(n));
    const int sequence = n;
    w.form().setText(Field::SelectionNo, m_today + QStringLiteral("%1").arg(sequence, kSequenceDigits, 10, QChar(u'0')));
}

SelectionWindow* Workspace::current() const
{
    return m_activation.empty() ? nullptr : m_activation.back();
}

bool Workspace::makeCurrent(int creationNumber)
{
    if (creationNumber < 1 || creationNumber > static_cast<int>(m_created.size()))
        return false;
    return makeCurrent(m_created[static_cast<size_t>(creationNumber - 1)].get());
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
    for (auto& owned : m_created) {
        if (owned.get() == window)
            owned.reset();
    }
    return true;
}

std::vector<SelectionWindow*> Workspace::windows() const
{
    std::vector<SelectionWindow*> open;
    for (const auto& owned : m_created) {
        if (owned)
            open.push_back(owned.get());
    }
    return open;
}

int Workspace::creationNumber(const SelectionWindow* window) const
{
    for (size_t i = 0; i < m_created.size(); ++i) {
        if (m_created[i].get() == window)
            return static_cast<int>(i) + 1;
    }
    return 0;
}
