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

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    KeyFilter m_filter;
    Platform& m_platform;
};
