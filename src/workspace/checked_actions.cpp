#include "workspace/checked_actions.h"

#include "core/form/selection_number.h"
#include "workspace/script_actions.h"
#include "workspace/workspace.h"

namespace {

QString disabled(const FormModel& form, Field f)
{
    return form.enabled(f) ? QString() : QStringLiteral("'%1' is disabled").arg(fieldName(f));
}

} // namespace

bool allDigits(const QString& text)
{
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

QString editChecked(ScriptActions& actions, SelectionWindow& w, Field f, const QString& text, bool paste)
{
    if (w.form().kind(f) != ControlKind::Edit)
        return QStringLiteral("'%1' is not an edit box").arg(fieldName(f));
    if (QString why = disabled(w.form(), f); !why.isEmpty())
        return why;
    if (paste && fieldControl(f).filter == KeyFilter::Digits && (text.size() > kSelectionNoDigits || !allDigits(text)))
        return QStringLiteral("'%1' takes up to eleven digits").arg(fieldName(f));
    if (paste)
        actions.paste(w, f, text);
    else
        actions.type(w, f, text);
    return QString();
}

QString chooseChecked(ScriptActions& actions, SelectionWindow& w, Field f, const QString& text)
{
    const ControlKind kind = w.form().kind(f);
    if (kind != ControlKind::List && kind != ControlKind::Radio)
        return QStringLiteral("'%1' is not a list or radio group").arg(fieldName(f));
    if (QString why = disabled(w.form(), f); !why.isEmpty())
        return why;
    const qsizetype index = w.form().items(f).indexOf(text);
    if (index < 0)
        return QStringLiteral("'%1' has no item '%2'").arg(fieldName(f), text);
    actions.choose(w, f, static_cast<int>(index));
    return QString();
}

QString leaveChecked(ScriptActions& actions, SelectionWindow& w, Field f)
{
    if (w.form().kind(f) == ControlKind::Label)
        return QStringLiteral("'%1' is a label").arg(fieldName(f));
    if (QString why = disabled(w.form(), f); !why.isEmpty())
        return why;
    actions.leave(w, f);
    return QString();
}

QString noWindowOpen()
{
    return QStringLiteral("no selection window is open");
}
