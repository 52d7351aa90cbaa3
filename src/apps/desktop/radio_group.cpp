#include "apps/desktop/radio_group.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

RadioGroup::RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent)
    , m_group(new QButtonGroup(this))
    , m_items(items)
{
    auto* layout = new QGridLayout(this);
    if (title.isEmpty()) {
        // a row of choices beside its caption label, without a frame
        setStyleSheet(QStringLiteral("QGroupBox { border: 0; margin: 0; padding: 0; }"));
        layout->setContentsMargins(2, 0, 2, 0);
    } else {
        layout->setContentsMargins(4, 1, 4, 1);
    }
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(0);
    columns = std::max(1, columns);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        m_group->addButton(b, i);
        layout->addWidget(b, i / columns, i % columns);
    }
    connect(m_group, &QButtonGroup::idClicked, this, &RadioGroup::clickedItem);
}

int RadioGroup::index() const
{
    return m_group->checkedId();
}

void RadioGroup::setIndex(int index)
{
    if (index == m_group->checkedId())
        return;
    if (index < 0) {
        // an exclusive group cannot uncheck its last button
        m_group->setExclusive(false);
        if (QAbstractButton* b = m_group->checkedButton())
            b->setChecked(false);
        m_group->setExclusive(true);
    } else if (QAbstractButton* b = m_group->button(index)) {
        b->setChecked(true);
    }
}

QAbstractButton* RadioGroup::button(int index) const
{
    return m_group->button(index);
}
