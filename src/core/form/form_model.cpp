#include "core/form/form_model.h"

#include "core/form/selection_number.h"
#include "core/ports/platform.h"

namespace {

constexpr QChar kBackspace = QChar(8);

bool acceptsKey(KeyFilter filter, QChar key)
{
    const bool digit = key >= u'0' && key <= u'9';
    switch (filter) {
    case KeyFilter::None: return true;
    case KeyFilter::Unsigned: return digit || key == kBackspace || key == u'.';
    case KeyFilter::Signed: return digit || key == kBackspace || key == u'.' || key == u'+' || key == u'-';
    case KeyFilter::Digits: return digit || key == kBackspace;
    }
    return false;
}

} // namespace

FormModel::FormModel()
{
    for (Field f : allFields()) {
        const FieldControl& s = controlOf(f);
        Control& c = state(f);
        c.kind = s.kind;
        c.text = QString::fromUtf8(s.defaultText);
        c.items = s.items;
        c.index = s.defaultIndex;
        c.enabled = s.enabled;
    }
}

QString FormModel::text(Field f) const
{
    const Control& c = state(f);
    switch (kind(f)) {
    case ControlKind::Edit:
    case ControlKind::Label: return c.text;
    case ControlKind::List:
    case ControlKind::Radio: return c.index >= 0 && c.index < c.items.size() ? c.items[c.index] : QString();
    }
    return QString();
}

void FormModel::setText(Field f, const QString& text)
{
    Control& c = state(f);
    if (kind(f) != ControlKind::Edit && kind(f) != ControlKind::Label)
        return;
    if (c.text == text)
        return;
    c.text = text;
    changed(f);
    if (kind(f) == ControlKind::Edit)
        runStep(f);
}

void FormModel::setIndex(Field f, int index)
{
    Control& c = state(f);
    if (index < -1 || index >= c.items.size())
        index = -1;
    if (c.index == index)
        return;
    c.index = index;
    changed(f);
    if (kind(f) == ControlKind::Radio && index >= 0)
        runStep(f);
}

void FormModel::select(Field f, QStringView item)
{
    setIndex(f, static_cast<int>(state(f).items.indexOf(item)));
}

void FormModel::clearItems(Field f)
{
    if (kind(f) != ControlKind::List)
        return;
    Control& c = state(f);
    if (c.items.isEmpty() && c.index == -1)
        return;
    c.items.clear();
    c.index = -1;
    changed(f);
}

void FormModel::addItem(Field f, const QString& item)
{
    if (kind(f) != ControlKind::List)
        return;
    state(f).items.append(item);
    changed(f);
}

void FormModel::setItems(Field f, const QStringList& items)
{
    if (kind(f) != ControlKind::List)
        return;
    Control& c = state(f);
    c.items = items;
    c.index = -1;
    changed(f);
}

void FormModel::copyStateFrom(const FormModel& other)
{
    for (Field f : allFields()) {
        Control& mine = state(f);
        const Control& theirs = other.state(f);
        mine.text = theirs.text;
        mine.items = theirs.items;
        mine.index = theirs.index;
        mine.enabled = theirs.enabled;
        changed(f);
    }
}

void FormModel::setEnabled(Field f, bool enabled)
{
    Control& c = state(f);
    if (c.enabled == enabled)
        return;
    c.enabled = enabled;
    changed(f);
}

void FormModel::runStep(Field f)
{
    // A copy: the step may replace the steps of the form while it runs.
    if (Step step = state(f).step)
        step();
}

void FormModel::runExitStep(Field f)
{
    if (Step step = state(f).exitStep)
        step();
}

void FormModel::changed(Field f)
{
    if (m_observer)
        m_observer(f);
}

void filterUnsignedKey(QChar& key, Platform& ui)
{
    if (!acceptsKey(KeyFilter::Unsigned, key)) {
        key = QChar(0);
        ui.beep();
    }
}

void filterSignedKey(QChar& key, Platform& ui)
{
    if (!acceptsKey(KeyFilter::Signed, key)) {
        key = QChar(0);
        ui.beep();
    }
}

QString typeKeys(KeyFilter filter, const QString& current, const QString& keys, Platform& ui)
{
    QString text = current;
    bool allSelected = true;
    for (QChar key : keys) {
        switch (filter) {
        case KeyFilter::Unsigned: filterUnsignedKey(key, ui); break;
        case KeyFilter::Signed: filterSignedKey(key, ui); break;
        case KeyFilter::Digits: {
            const bool full = !allSelected && text.size() >= kSelectionNoDigits && key != kBackspace;
            if (!acceptsKey(filter, key) || full) {
                key = QChar(0);
                ui.beep();
            }
            break;
        }
        case KeyFilter::None: break;
        }
        if (key.isNull())
            continue;
        if (key == kBackspace) {
            if (allSelected)
                text.clear();
            else
                text.chop(1);
        } else if (allSelected) {
            text = key;
        } else if (text.size() < kMaxEditLength) {
            text.append(key);
        }
        allSelected = false;
    }
    return text;
}
