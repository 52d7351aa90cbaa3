#pragma once

#include <QGroupBox>
#include <QStringList>

class QAbstractButton;
class QButtonGroup;

// A radio group: a frame with its fixed items laid out in columns. The chosen
// position is -1 when no item is chosen.
class RadioGroup : public QGroupBox {
    Q_OBJECT

public:
    RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent = nullptr);

    int index() const;
    void setIndex(int index); // from the model: emits nothing
    QStringList items() const { return m_items; }
    QAbstractButton* button(int index) const;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

signals:
    // The user clicked an item (also the one already chosen).
    void clickedItem(int index);

private:
    QButtonGroup* m_group;
    QStringList m_items;
    // without a title the group draws no frame and takes no room for one: its caption
    // is a label beside it
    bool m_bare;
};
