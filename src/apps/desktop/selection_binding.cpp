// The selection window bound to its headless model: the widgets show what the model
// holds, and every user action goes to the model as the event the headless runner
// sends.
#include "apps/desktop/candidates_pane.h"
#include "apps/desktop/filtered_line_edit.h"
#include "apps/desktop/radio_group.h"
#include "apps/desktop/selection_widget.h"
#include "workspace/selection_window.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QPushButton>

using F = Field;

void SelectionWidget::bind(SelectionWindow& window)
{
    Q_ASSERT(!m_window);
    m_window = &window;
    m_window->context().setPlatform(m_platform.get());
    for (Field f : allFields()) {
        refresh(f);
        connectControl(f);
    }
    m_window->form().setObserver([this](Field f) {
        refresh(f);
        figuresMayHaveChanged();
    });
    showFigures();
    setWindowTitle(m_window->caption());
}

void SelectionWidget::detach()
{
    if (m_detached)
        return;
    m_detached = true;
    if (m_window)
        m_window->form().setObserver({});
    for (QWidget* w : m_controls)
        w->disconnect(this);
    for (QPushButton* b : {m_compute, m_select, m_save, m_print, m_gauge})
        b->disconnect(this);
    if (m_candidates)
        m_candidates->disconnect(this);
}

void SelectionWidget::connectControl(Field f)
{
    QWidget* w = control(f);
    switch (fieldControl(f).kind) {
    case ControlKind::Edit: {
        auto* e = static_cast<FilteredLineEdit*>(w);
        connect(e, &QLineEdit::textEdited, this, [this, f, e] { m_window->paste(f, e->value()); });
        break;
    }
    case ControlKind::List: {
        auto* c = static_cast<QComboBox*>(w);
        connect(c, &QComboBox::activated, this, [this, f](int index) { chooseItem(f, index); });
        if (m_window->form().hasExitStep(f))
            c->installEventFilter(this);
        break;
    }
    case ControlKind::Radio:
        connect(static_cast<RadioGroup*>(w), &RadioGroup::clickedItem, this,
            [this, f](int index) { m_window->choose(f, index); });
        break;
    case ControlKind::Label: break;
    }
}

bool SelectionWidget::eventFilter(QObject* watched, QEvent* event)
{
    // Leaving a control means moving to another one in the program: opening the
    // list's popup or switching to another application is not leaving it.
    const auto reason
        = event->type() == QEvent::FocusOut ? static_cast<QFocusEvent*>(event)->reason() : Qt::OtherFocusReason;
    if (event->type() == QEvent::FocusOut && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
        for (Field f : allFields()) {
            if (control(f) == watched)
                leave(f);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SelectionWidget::leave(Field f)
{
    if (!m_detached && m_window)
        m_window->leave(f);
}

void SelectionWidget::refresh(Field f)
{
    const FormModel& form = m_window->form();
    QWidget* w = control(f);
    w->setEnabled(form.enabled(f));
    if (f == F::PabsMin || f == F::PabsMax)
        m_gauge->setEnabled(form.enabled(F::PabsMin) && form.enabled(F::PabsMax));
    switch (form.kind(f)) {
    case ControlKind::Edit: static_cast<FilteredLineEdit*>(w)->setValue(form.text(f)); break;
    case ControlKind::Label: static_cast<QLabel*>(w)->setText(form.text(f)); break;
    case ControlKind::List: {
        auto* c = static_cast<QComboBox*>(w);
        const QSignalBlocker block(c);
        QStringList shown;
        for (int i = 0; i < c->count(); ++i)
            shown << c->itemText(i);
        if (shown != form.items(f)) {
            c->clear();
            c->addItems(form.items(f));
        }
        c->setCurrentIndex(form.index(f));
        break;
    }
    case ControlKind::Radio: static_cast<RadioGroup*>(w)->setIndex(form.index(f)); break;
    }
}
