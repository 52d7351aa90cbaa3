#pragma once

#include <QComboBox>

// A drop-down list whose width the window sets, not its items: it measures itself as
// a QComboBox that adjusts to a minimum contents length of nought with room for an
// icon. Qt builds a box's popup list as soon as that size policy is set; this box
// sets it only when the popup is first opened, so a window of many lists opens
// without building popups nobody has opened yet.
class ListBox : public QComboBox {
public:
    explicit ListBox(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    void showPopup() override;

private:
    QSize compactSize() const;
};
