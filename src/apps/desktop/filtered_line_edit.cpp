#include "apps/desktop/filtered_line_edit.h"

#include "core/form/form_model.h"
#include "core/form/selection_number.h"
#include "core/ports/platform.h"

#include <QKeyEvent>
#include <QToolTip>

namespace {

// Four, two, two and three digits separated by full-width hyphens; "_" shows an
// empty position.
const QString kNumberMask = QStringLiteral("9999－99－99－999;_");

} // namespace

FilteredLineEdit::FilteredLineEdit(KeyFilter filter, Platform& platform, QWidget* parent)
    : QLineEdit(parent)
    , m_filter(filter)
    , m_platform(platform)
{
    if (m_filter == KeyFilter::Digits)
        setInputMask(kNumberMask);
    else
        setMaxLength(kMaxEditLength);
}

QString FilteredLineEdit::value() const
{
    if (m_filter != KeyFilter::Digits)
        return text();
    QString digits;
    for (QChar c : text()) {
        if (c >= u'0' && c <= u'9')
            digits += c;
    }
    return digits;
}

void FilteredLineEdit::setValue(const QString& value)
{
    if (this->value() != value)
        setText(value);
}

void FilteredLineEdit::pasteText(const QString& text)
{
    selectAll();
    insert(text);
}

void FilteredLineEdit::keyPressEvent(QKeyEvent* event)
{
    // Editing and moving keys (backspace, delete, arrows, enter, shortcuts) pass; a
    // key that types characters, printable or not, meets the filter character by
    // character, as the headless window's typing does.
    const QString typed = event->text();
    const bool character = !typed.isEmpty() && event->key() < Qt::Key_Escape
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (character && m_filter != KeyFilter::Digits) {
        QString accepted;
        for (QChar c : typed) {
            QChar key = c;
            if (m_filter == KeyFilter::Unsigned)
                filterUnsignedKey(key, m_platform);
            else if (m_filter == KeyFilter::Signed)
                filterSignedKey(key, m_platform);
            if (!key.isNull())
                accepted += key;
        }
        event->accept();
        if (accepted != typed)
            tellDiscarded();
        if (accepted.isEmpty())
            return;
        if (accepted != typed) {
            QKeyEvent rest(event->type(), event->key(), event->modifiers(), accepted);
            QLineEdit::keyPressEvent(&rest);
            return;
        }
    } else if (character) {
        // the number box takes digits, eleven at the most, each through the mask
        event->accept();
        for (QChar c : typed) {
            const bool digit = c >= u'0' && c <= u'9';
            if (!digit || (!hasSelectedText() && value().size() >= kSelectionNoDigits)) {
                m_platform.beep();
                tellDiscarded();
                continue;
            }
            QKeyEvent one(event->type(), c.unicode(), event->modifiers(), QString(c));
            QLineEdit::keyPressEvent(&one);
        }
        return;
    }
    QLineEdit::keyPressEvent(event);
}

QString FilteredLineEdit::discardedKeyNote() const
{
    switch (m_filter) {
    case KeyFilter::Unsigned: return QStringLiteral("只能输入数字和小数点");
    case KeyFilter::Signed: return QStringLiteral("只能输入数字、小数点和正负号");
    case KeyFilter::Digits: return QStringLiteral("只能输入数字，最多11位");
    case KeyFilter::None: break;
    }
    return QString();
}

void FilteredLineEdit::tellDiscarded()
{
    // many office machines sound no beep: the box says why the key did not show
    m_lastNote = discardedKeyNote();
    QToolTip::showText(mapToGlobal(QPoint(0, height())), m_lastNote, this);
}
