#pragma once

#include "apps/desktop/filtered_line_edit.h"
#include "apps/desktop/radio_group.h"
#include "apps/desktop/selection_widget.h"
#include "workspace/selection_window.h"

#include <QComboBox>
#include <QLabel>

// Whether a selection window's widgets show exactly what its model holds (texts,
// items, choices, enabled states); the first difference is described in `difference`.
inline bool widgetsAgreeWithModel(const SelectionWidget& widget, QString* difference = nullptr)
{
    const FormModel& form = widget.window().form();
    for (Field f : allFields()) {
        const QWidget* w = widget.control(f);
        QString shown;
        QStringList items;
        int index = -1;
        switch (form.kind(f)) {
        case ControlKind::Edit: shown = static_cast<const FilteredLineEdit*>(w)->value(); break;
        case ControlKind::Label: shown = static_cast<const QLabel*>(w)->text(); break;
        case ControlKind::List: {
            const auto* c = static_cast<const QComboBox*>(w);
            for (int i = 0; i < c->count(); ++i)
                items << c->itemText(i);
            index = c->currentIndex();
            shown = c->currentText();
            break;
        }
        case ControlKind::Radio: {
            const auto* r = static_cast<const RadioGroup*>(w);
            items = r->items();
            index = r->index();
            shown = index >= 0 ? items[index] : QString();
            break;
        }
        }
        const bool listLike = form.kind(f) == ControlKind::List || form.kind(f) == ControlKind::Radio;
        const bool same = shown == form.text(f) && w->isEnabled() == form.enabled(f)
            && (!listLike || (items == form.items(f) && index == form.index(f)));
        if (!same) {
            if (difference)
                *difference = QStringLiteral("%1: widget '%2' (%3), model '%4' (%5)")
                                  .arg(fieldName(f), shown, w->isEnabled() ? "on" : "off", form.text(f),
                                      form.enabled(f) ? "on" : "off");
            return false;
        }
    }
    return true;
}
