#pragma once

#include <QPixmap>
#include <QString>

// The program's own pictures, drawn as simple vector drawings: the maker's logo
// and the product pictures of the main window's right column.
QPixmap logoPicture(const QSize& size);

inline constexpr int kProductPictureCount = 15;
inline constexpr QSize kProductPictureSize {123, 107};
QPixmap productPicture(int index);
QString productCaption(int index);
