#pragma once

#include "core/form/fields.h"

#include <QLineEdit>

class Platform;

// An edit box whose typed keys pass the box's key filter first: a refused key is
// dropped with a beep. Pasted text is not filtered.
class FilteredLineEdit : public QLineEdit {
    Q_OBJECT

public:
    FilteredLineEdit(KeyFilter filter, Platform& platform, QWidget* parent = nullptr);

    // The box's value: its text, or the digits alone for the masked number box.
    QString value() const;
    void setValue(const QString& value);
    // The whole text replaced as a paste from the clipboard does: no key filter, and
    // the box's change goes on to the window as the user's edit.
    void pasteText(const QString& text);

    // What the box says when it drops a key ("只能输入数字和小数点"), and what it said last.
    QString discardedKeyNote() const;
    const QString& lastNote() const { return m_lastNote; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void tellDiscarded();

    KeyFilter m_filter;
    QString m_lastNote;
    Platform& m_platform;
};
