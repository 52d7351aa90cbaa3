// The selection window's own doings: its buttons, the figures that follow the window
// (warnings, candidates), the gauge-pressure helper, showing and closing. The layout
// is in selection_layout.cpp, the binding to the window's model in
// selection_binding.cpp.
#include "apps/desktop/selection_widget.h"

#include "apps/desktop/candidates_pane.h"
#include "apps/desktop/filtered_line_edit.h"
#include "apps/desktop/gauge_pressure_dialog.h"
#include "apps/desktop/radio_group.h"
#include "apps/desktop/work_questions.h"
#include "core/form/buttons.h"
#include "core/form/vocabulary.h"
#include "workspace/selection_figures.h"
#include "workspace/selection_window.h"
#include "workspace/workspace.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTabWidget>

#include <utility>

using F = Field;

SelectionWidget::SelectionWidget(Workspace& workspace, Platform* echo, QWidget* parent)
    : QWidget(parent)
    , m_workspace(workspace)
    , m_platform(echo, [this](const QString& target) { return focusTarget(target); })
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("selectionWidget"));
    // shrinking below this snaps back
    setMinimumSize(kResizedMinimum);
    buildLayout();
    Q_ASSERT(std::find(m_controls.begin(), m_controls.end(), nullptr) == m_controls.end());
    setReadingTabOrder();
}

SelectionWidget::~SelectionWidget()
{
    detach();
}

void SelectionWidget::connectButtons()
{
    connect(m_compute, &QPushButton::clicked, this, [this] {
        m_window->clickComputeFlow();
        showFigures();
        // a refused computation leaves no working flows and judged no Z: no hint
        const bool computed = !m_window->form().text(Field::WorkFlowMax).isEmpty();
        emit hint(computed ? sgergRangeHint(m_window->form()) : QString());
    });
    connect(m_select, &QPushButton::clicked, this, [this] {
        m_window->clickSelect();
        showFigures();
        emit hint(sizeUseHint(m_window->context()));
    });
    connect(
        m_save, &QPushButton::clicked, this, [this] { m_window->dispatch([this] { m_workspace.save(*m_window); }); });
    connect(
        m_print, &QPushButton::clicked, this, [this] { m_window->dispatch([this] { m_workspace.print(*m_window); }); });
    connect(m_gauge, &QPushButton::clicked, this, &SelectionWidget::convertGaugePressures);
}

CandidatesPane* SelectionWidget::candidatesPane()
{
    if (m_candidates)
        return m_candidates;
    m_candidates = new CandidatesPane(m_tabs);
    connect(m_candidates, &CandidatesPane::candidateChosen, this,
        [this](const SizeCandidate& candidate) { chooseCandidate(candidate); });
    if (!m_detached)
        showCandidates();
    // the pane takes the place of the empty page it was made for
    const int index = m_tabs->indexOf(m_comparePage);
    const bool current = m_tabs->currentIndex() == index;
    m_tabs->insertTab(index, m_candidates, compareTabCaption());
    m_tabs->removeTab(index + 1);
    if (current)
        m_tabs->setCurrentIndex(index);
    m_comparePage->deleteLater();
    m_comparePage = nullptr;
    return m_candidates;
}

bool SelectionWidget::chooseCandidate(const SizeCandidate& candidate)
{
    if (m_detached)
        return false;
    for (const auto& [f, text] :
        {std::pair {F::MeterType, candidate.meterType}, std::pair {F::Size, candidate.sizeSpec}}) {
        const int index = m_window->form().items(f).indexOf(text);
        if (index < 0)
            return false;
        static_cast<QComboBox*>(control(f))->setCurrentIndex(index);
        chooseItem(f, index);
    }
    return true;
}

void SelectionWidget::chooseItem(Field f, int index)
{
    m_window->choose(f, index);
}

void SelectionWidget::convertGaugePressures()
{
    auto* dialog = new GaugePressureDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        if (m_detached)
            return;
        // pasted as the user pastes, in the record's order, so that each box's change
        // step runs as for any paste
        const std::pair<Field, QString> pastes[]
            = {{F::PabsMin, dialog->absoluteMin()}, {F::PabsMax, dialog->absoluteMax()}};
        for (const auto& [f, text] : pastes) {
            if (!text.isEmpty())
                static_cast<FilteredLineEdit*>(control(f))->pasteText(text);
        }
    });
    dialog->open();
}

void SelectionWidget::figuresMayHaveChanged()
{
    if (m_figuresPending)
        return;
    m_figuresPending = true;
    QMetaObject::invokeMethod(this, &SelectionWidget::showFigures, Qt::QueuedConnection);
}

void SelectionWidget::showFigures()
{
    m_figuresPending = false;
    if (m_detached)
        return;
    showWarnings();
    showCandidates();
}

void SelectionWidget::showWarnings()
{
    m_shownWarnings = selectionWarnings(m_window->context());
    QStringList texts;
    for (const SelectionWarning& warning : m_shownWarnings)
        texts << QStringLiteral("⚠ ") + warning.text;
    m_warningLine->setText(texts.join(u'\n'));
    m_warningLine->setVisible(!texts.isEmpty());
}

void SelectionWidget::showCandidates()
{
    if (!m_candidates)
        return; // worked out when the pane is made
    m_candidates->showCandidates(sizeCandidates(m_window->context()));
    m_candidates->markChosen(m_window->form().text(F::MeterType), m_window->form().text(F::Size));
}

QWidget* SelectionWidget::focusTarget(const QString& target) const
{
    if (target == vocab::GasGroupCaption)
        return m_gasGroup;
    const std::optional<Field> f = fieldByName(target);
    return f ? control(*f) : nullptr;
}

void SelectionWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_smallPrint->hide(); // printing goes through "打印" only
    if (!m_shownOnce) {
        m_shownOnce = true;
        ensureShownSize();
        // the frame places and sizes a new window after showing it: check again then
        // (a posted call rather than a timer: a script opening hundreds of windows in
        // one turn of the event loop would leave as many timers running)
        QMetaObject::invokeMethod(this, &SelectionWidget::ensureShownSize, Qt::QueuedConnection);
    }
}

void SelectionWidget::fitShownSize()
{
    if (QWidget* frame = parentWidget(); frame && frame->layout())
        frame->layout()->activate();
    ensureShownSize();
}

void SelectionWidget::ensureShownSize()
{
    QWidget* frame = parentWidget() ? parentWidget() : this;
    const QSize inner = size().expandedTo(kShownMinimum);
    if (inner != size())
        frame->resize(frame->size() + (inner - size()));
}

bool SelectionWidget::keepsUnsavedWork()
{
    if (m_detached || m_closeWithoutAsking || !m_window->context().hasUnsavedResult())
        return false;
    switch (WorkQuestion::askBeforeClosing(this, m_window->form().text(Field::SelectionNo))) {
    case WorkQuestion::BeforeClosing::Discard: return false;
    case WorkQuestion::BeforeClosing::Cancel: return true;
    case WorkQuestion::BeforeClosing::Save: break;
    }
    // the window's own "保存", with all its checks and messages; a save it refuses
    // keeps the window open
    m_save->click();
    return m_window->context().hasUnsavedResult();
}

void SelectionWidget::closeEvent(QCloseEvent* event)
{
    if (keepsUnsavedWork()) {
        event->ignore();
        return;
    }
    event->accept();
    // Hiding the widget that has the focus makes Qt look for the next one inside this
    // window, walking the focus chain of every widget of every window until it comes
    // round; with hundreds of windows open a close took longer than opening one. The
    // window that becomes active next takes the focus back anyway.
    if (QWidget* focused = QApplication::focusWidget(); focused && isAncestorOf(focused))
        focused->clearFocus();
    if (!m_detached) {
        detach();
        m_workspace.close(m_window); // the window and everything it holds go with it
    }
}
