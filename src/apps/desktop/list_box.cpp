#include "apps/desktop/list_box.h"

#include <QStyleOptionComboBox>

#include <cmath>

ListBox::ListBox(QWidget* parent)
    : QComboBox(parent)
{
    setMinimumContentsLength(0);
}

QSize ListBox::sizeHint() const
{
    return compactSize();
}

QSize ListBox::minimumSizeHint() const
{
    return compactSize();
}

void ListBox::showPopup()
{
    // the popup is made now in any case: the box takes the policy it measures itself
    // by, so that the popup is laid out as for any such box
    if (sizeAdjustPolicy() != AdjustToMinimumContentsLengthWithIcon)
        setSizeAdjustPolicy(AdjustToMinimumContentsLengthWithIcon);
    QComboBox::showPopup();
}

QSize ListBox::compactSize() const
{
    // as QComboBox computes it under that policy: no text width, a line of text or an
    // icon high, then the style's frame and arrow
    const int textHeight = std::max(static_cast<int>(std::ceil(QFontMetricsF(font()).height())), 14) + 2;
    const QSize contents(-1, std::max(textHeight, iconSize().height() + 2));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, this);
}
