#pragma once

#include "core/form/fields.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <type_traits>

class Platform;

// The headless form of one selection window: per control exactly what the control
// holds (text, items, chosen index, enabled state), and the events the platform
// would raise. Handlers work on this model only.
//
// Events from code follow the platform's rules:
//  - writing an edit box's text runs its change step when the text really changes;
//  - setting a radio group to a different item runs its click step;
//  - choosing a list item runs nothing (the caller runs the next step itself).
class FormModel {
public:
    using Step = std::function<void()>;
    using Observer = std::function<void(Field)>;

    FormModel();

    ControlKind kind(Field f) const { return state(f).kind; }

    // What the control shows: an edit box's or label's text, a list's or radio
    // group's chosen item (empty when nothing is chosen).
    QString text(Field f) const;
    int index(Field f) const { return state(f).index; }
    const QStringList& items(Field f) const { return state(f).items; }
    int count(Field f) const { return static_cast<int>(state(f).items.size()); }
    bool enabled(Field f) const { return state(f).enabled; }
    bool is(Field f, QStringView item) const { return index(f) >= 0 && text(f) == item; }
    // Choices by position, for controls whose items stand fixed: the position as the
    // control's item enum of the vocabulary (-1 when nothing is chosen).
    template <typename Item>
    requires std::is_enum_v<Item> Item item(Field f)
    const { return static_cast<Item>(index(f)); }
    template <typename Item>
    requires std::is_enum_v<Item>
    bool chosen(Field f, Item item) const { return index(f) == static_cast<int>(item); }
    // For a list rebuilt by the option chain, whose first item is what a rule means.
    bool firstChosen(Field f) const { return index(f) == 0; }

    // Edit box: sets the text and runs the change step when it changed.
    // Label: sets the text.
    void setText(Field f, const QString& text);
    // List: chooses the item (-1: none), runs nothing. Radio group: runs the
    // click step when the choice moves to a different item.
    void setIndex(Field f, int index);
    template <typename Item>
    requires std::is_enum_v<Item>
    void choose(Field f, Item item) { setIndex(f, static_cast<int>(item)); }
    // Chooses the item whose text is exactly `item`, or nothing when none is.
    void select(Field f, QStringView item);
    void clearItems(Field f);
    void addItem(Field f, const QString& item);
    void setItems(Field f, const QStringList& items);
    void setEnabled(Field f, bool enabled);
    // Takes every control's text, items, choice and enabled state from `other`, as a
    // second window showing the same selection; no step runs, each control is told
    // to the observer. The steps and the observer stay this model's own.
    void copyStateFrom(const FormModel& other);

    void setStep(Field f, Step step) { state(f).step = std::move(step); }
    void setExitStep(Field f, Step step) { state(f).exitStep = std::move(step); }
    bool hasExitStep(Field f) const { return bool(state(f).exitStep); }
    void runStep(Field f);
    void runExitStep(Field f);

    // Told of every change of a control, for a view that mirrors the model.
    void setObserver(Observer observer) { m_observer = std::move(observer); }

private:
    struct Control {
        ControlKind kind = ControlKind::Edit; // the field table's, kept at hand: asked at every access
        QString text;
        QStringList items;
        int index = -1;
        bool enabled = true;
        Step step;
        Step exitStep;
    };

    static const FieldControl& controlOf(Field f) { return fieldControl(f); }
    Control& state(Field f) { return m_controls[static_cast<size_t>(f)]; }
    const Control& state(Field f) const { return m_controls[static_cast<size_t>(f)]; }
    void changed(Field f);

    std::array<Control, kFieldCount> m_controls;
    Observer m_observer;
};

// The key filters of the edit boxes. Each lets the key through or, like the
// original handlers, discards it (the key becomes 0) with a beep.
void filterUnsignedKey(QChar& key, Platform& ui); // flows, pressures, gas values, Zn/Zg
void filterSignedKey(QChar& key, Platform& ui);   // temperatures

// The longest text an edit box holds, as a Qt edit box holds by default: typed keys
// past it are dropped without a sound, pasted text is cut there.
constexpr int kMaxEditLength = 32767;

// Typing into an edit box after selecting all its text: refused keys are dropped
// with a beep, keys past the longest text silently; returns the text the box holds
// afterwards.
QString typeKeys(KeyFilter filter, const QString& current, const QString& keys, Platform& ui);
