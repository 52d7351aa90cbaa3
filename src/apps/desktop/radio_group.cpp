#include "apps/desktop/radio_group.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QRadioButton>

RadioGroup::RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent)
    , m_group(new QButtonGroup(this))
    , m_items(items)
    , m_bare(title.isEmpty())
{
    auto* layout = new QGridLayout(this);
    if (m_bare) {
        // a row of choices beside its caption label, without a frame
        setContentsMargins(0, 0, 0, 0);
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

void RadioGroup::paintEvent(QPaintEvent* event)
{
    if (!m_bare)
        QGroupBox::paintEvent(event);
}

QSize RadioGroup::minimumSizeHint() const
{
    // a group box keeps room for a title's line even without a title
    return m_bare ? QWidget::minimumSizeHint() : QGroupBox::minimumSizeHint();
}

void RadioGroup::changeEvent(QEvent* event)
{
    QGroupBox::changeEvent(event);
    // the frame's room, which the group box works out again for a new font or style
    if (m_bare && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange))
        setContentsMargins(0, 0, 0, 0);
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
