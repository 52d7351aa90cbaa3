#pragma once

#include "core/form/form_model.h"

#include <QStringList>

#include <optional>

class Platform;

// The working flows of the last computation in a window, single precision as the
// size fitting and the card-control list read them (0 before the first one).
struct WorkingFlows {
    float qmin = 0;
    float qmax = 0;
    float kmin = 0;
};

// All a selection window's handlers work on: its form, what it asks of the screen,
// its working flows, the corrector model chosen by the last model-code run and the
// pending row that "保存" writes.
class SelectionContext {
public:
    explicit SelectionContext(Platform& platform)
        : m_platform(&platform)
    {
    }

    Platform& ui() const { return *m_platform; }

    // The result on screen and the pending row describe the current choices: both
    // go with any change of an input or an option.
    void clearResult()
    {
        form.setText(Field::ResultText, QString());
        pending.reset();
    }
    // A result composed and not stored since: closing the window would lose it. A
    // window opened or copied from a stored row starts with nothing to lose.
    bool hasUnsavedResult() const { return pending && pending != storedPending; }
    void notePendingStored() { storedPending = pending; }

    // The desktop window replaces the platform by one that knows its widgets.
    void setPlatform(Platform& platform) { m_platform = &platform; }

    FormModel form;
    WorkingFlows flows;
    QString correctorModel;
    std::optional<QStringList> pending;
    std::optional<QStringList> storedPending; // the pending row as last stored or restored
    // "计算工况流量" has read the inputs (they were all there and in order): from then on
    // the warnings on the pressures and the gas speak of them, before it of nothing
    // the engineer gave (a new window's own default gas is outside the method's range).
    bool inputsUsed = false;

private:
    Platform* m_platform;
};
