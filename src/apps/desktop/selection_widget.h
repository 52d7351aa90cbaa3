#pragma once

#include "apps/desktop/widget_platform.h"
#include "core/form/fields.h"
#include "workspace/selection_warnings.h"
#include "workspace/size_candidates.h"

#include <QWidget>

#include <array>
#include <vector>

class CandidatesPane;
class FilteredLineEdit;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;
class QTabWidget;
class RadioGroup;
class SelectionWindow;
class Workspace;

// The selection window (TMDIChild): every control of the selection, bound to the
// headless window it shows. Widgets show what the model holds; every user action
// goes to the model as the same event the headless runner sends. No selection
// logic lives here.
class SelectionWidget : public QWidget {
    Q_OBJECT

public:
    // The widgets alone, which may be made ahead of need: bind() gives them the
    // window they show. `echo`, when given, is told every event the window shows.
    SelectionWidget(Workspace& workspace, Platform* echo = nullptr, QWidget* parent = nullptr);
    ~SelectionWidget() override;

    // Shows `window` from now on; called once.
    void bind(SelectionWindow& window);
    SelectionWindow& window() const { return *m_window; }

    // The widget that shows a field: FilteredLineEdit, QLabel, QComboBox or RadioGroup.
    QWidget* control(Field f) const { return m_controls[static_cast<size_t>(f)]; }
    // A field name or the caption of a group.
    QWidget* focusTarget(const QString& target) const;
    QPushButton* computeButton() const { return m_compute; }
    QPushButton* selectButton() const { return m_select; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* printButton() const { return m_print; }
    // The red line that shows the window's current warnings, and what it shows.
    QLabel* warningLine() const { return m_warningLine; }
    const std::vector<SelectionWarning>& shownWarnings() const { return m_shownWarnings; }
    // The tabs "选型" and "规格比较", and the pane of the candidates in the second
    // (made when first shown or asked for).
    QTabWidget* tabs() const { return m_tabs; }
    CandidatesPane* candidatesPane();
    // Chooses the candidate's meter type and then its size in their lists, as the user
    // chooses them, so that the rest of the chain follows; false when the lists do not
    // offer them (the pane shows candidates of other working flows).
    bool chooseCandidate(const SizeCandidate& candidate);
    // "表压换算…": opens the dialog that pastes absolute pressures from gauge ones.
    QPushButton* gaugeButton() const { return m_gauge; }

signals:
    // A quiet note for the status bar after a click (empty: none): the SGERG-88 range
    // after "计算工况流量", the use of the size's range after "选型".
    void hint(const QString& text);

public:
    // The focus leaves a control (the medium list has a step for it).
    void leave(Field f);

    // The headless window is about to go: the widget stops showing it.
    void detach();
    // The program's exit has asked about the unsaved results already: closing asks
    // nothing more.
    void closeWithoutAsking() { m_closeWithoutAsking = true; }
    bool detached() const { return m_detached; }

    // Grows the window's frame, before it is first shown, to the smallest size a
    // window is shown at.
    void fitShownSize();

    // Smallest inner sizes: when shown, and while resized.
    static constexpr QSize kShownMinimum {987, 575};
    static constexpr QSize kResizedMinimum {984, 561};

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Makes the control of `f` in `parent`, where it is shown.
    QWidget* place(Field f, QWidget* parent);
    QWidget* makeControl(Field f, QWidget* parent);
    QWidget* captioned(Field f, QWidget* parent); // caption label and control in a row
    static QLabel* caption(Field f, QWidget* parent);
    void buildLayout();
    // The parts of the layout, each built whole, in the window's order from the
    // top left.
    QVBoxLayout* buildInputColumn(QWidget* page);
    QGroupBox* buildGasGroup(QWidget* page);
    QGroupBox* buildMeterGroup(QWidget* page);
    QVBoxLayout* buildOutputColumn(QWidget* page);
    QHBoxLayout* buildResultStrip();
    void buildFooter(QVBoxLayout* root);
    void connectButtons();
    // Tab follows the form as it is read (selection_tab_order.h).
    void setReadingTabOrder();
    static QString compareTabCaption();
    void ensureShownSize();
    void refresh(Field f);
    void connectControl(Field f);
    // The warnings and the candidates follow every change of the window; many changes
    // of one action are shown once, when the event loop comes back.
    void figuresMayHaveChanged();
    void showFigures();
    void showWarnings();
    void showCandidates();
    // A list item chosen by the user, from the list itself or from the pane.
    void chooseItem(Field f, int index);
    void convertGaugePressures();
    // Closing with an unsaved result asks first; true when the window stays open.
    bool keepsUnsavedWork();

    Workspace& m_workspace;
    SelectionWindow* m_window = nullptr;
    DesktopPlatform m_platform;
    std::array<QWidget*, kFieldCount> m_controls {};
    QWidget* m_gasGroup = nullptr;
    QPushButton* m_compute = nullptr;
    QPushButton* m_select = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_smallPrint = nullptr;
    QLabel* m_warningLine = nullptr;
    std::vector<SelectionWarning> m_shownWarnings;
    bool m_figuresPending = false;
    QTabWidget* m_tabs = nullptr;
    QWidget* m_comparePage = nullptr;
    CandidatesPane* m_candidates = nullptr;
    QPushButton* m_gauge = nullptr;
    bool m_closeWithoutAsking = false;
    bool m_shownOnce = false;
    bool m_detached = false;
};
