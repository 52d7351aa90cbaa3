#include "apps/desktop/desktop_style.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The margins Fusion's group frame keeps at its corners.
constexpr QMargins kGroupFrameMargins {6, 6, 6, 6};
// the space Fusion leaves above a frame without a title
constexpr int kGroupFrameTopMargin = 3;

// Fusion's frame picture taken apart: its corners, the colour of each line of its
// edges and of its inside. Usable when every edge line and the inside are even, as
// they are in the picture Qt ships.
struct GroupFramePicture {
    static constexpr int kEdge = 6;
    static_assert(kEdge == kGroupFrameMargins.left() && kEdge == kGroupFrameMargins.top()
        && kEdge == kGroupFrameMargins.right() && kEdge == kGroupFrameMargins.bottom());

    GroupFramePicture()
        : pixmap(QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"))
    {
        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        const QRect middle = image.rect().marginsRemoved(kGroupFrameMargins);
        if (middle.isEmpty())
            return;
        // the one colour of `count` pixels from `from` on, or none
        const auto even = [&image](QPoint from, QPoint step, int count, QColor* colour) {
            const QRgb first = image.pixel(from);
            for (int i = 1; i < count; ++i) {
                if (image.pixel(from + i * step) != first)
                    return false;
            }
            *colour = QColor::fromRgba(first);
            return true;
        };
        bool ok = true;
        for (int y = middle.top(); y <= middle.bottom(); ++y)
            ok = ok && even(QPoint(middle.left(), y), QPoint(1, 0), middle.width(), &inside);
        for (int i = 0; i < kEdge; ++i) {
            ok = ok && even(QPoint(middle.left(), i), QPoint(1, 0), middle.width(), &top[i]);
            ok = ok && even(QPoint(middle.left(), middle.bottom() + 1 + i), QPoint(1, 0), middle.width(), &bottom[i]);
            ok = ok && even(QPoint(i, middle.top()), QPoint(0, 1), middle.height(), &left[i]);
            ok = ok && even(QPoint(middle.right() + 1 + i, middle.top()), QPoint(0, 1), middle.height(), &right[i]);
        }
        usable = ok;
    }

    QPixmap pixmap;
    QColor inside;
    std::array<QColor, kEdge> top, bottom, left, right;
    bool usable = false;
};

// Qt 6.4 hands a fill that is not one opaque colour, and is taller than 95 rows, to
// its thread pool in pieces of 64 rows and waits for them. For the thin translucent
// lines of a frame the handing over costs many times the fill itself, most of it in
// the system; a band lower than that is filled at once.
void fillInBands(QPainter* painter, const QRect& rect, const QColor& colour)
{
    constexpr int kBand = 64;
    for (int top = rect.top(); top <= rect.bottom(); top += kBand)
        painter->fillRect(QRect(rect.left(), top, rect.width(), std::min(kBand, rect.bottom() + 1 - top)), colour);
}

// A palette's colours, as part of a key. Each widget given a palette of its own (the
// blue number of every selection window) has a palette apart, told apart by Qt
// though its colours are the same; by its colours it shares the pictures of the
// others. A palette that paints with more than colours is told by Qt's own key.
QByteArray paletteLook(const QPalette& palette)
{
    constexpr int kColours = int(QPalette::NColorGroups) * int(QPalette::NColorRoles);
    std::array<QRgb, kColours> colours {};
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const QBrush& brush = palette.brush(QPalette::ColorGroup(group), QPalette::ColorRole(role));
            if (brush.style() != Qt::SolidPattern && brush.style() != Qt::NoBrush)
                return QByteArray::number(palette.cacheKey());
            colours[group * QPalette::NColorRoles + role] = brush.color().rgba();
        }
    }
    return QByteArray(reinterpret_cast<const char*>(colours.data()), sizeof colours);
}

} // namespace

DesktopStyle::DesktopStyle(QStyle* base)
    : QProxyStyle(base)
{
    m_fusion = baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0;
    // captions and choices of every window, and the values shown in them
    m_texts.setMaxCost(4000);
    // a few looks of a few sizes
    m_pictures.setMaxCost(400);
    m_groupParts.setMaxCost(2000);
}

const QStaticText* DesktopStyle::laidOut(const QPainter* painter, int flags, const QString& text) const
{
    // Mnemonics and tabs need no layout of their own without '&' and tab in the text.
    constexpr int ownLayout = Qt::TextWordWrap | Qt::TextWrapAnywhere | Qt::TextJustificationForced
        | Qt::TextIncludeTrailingSpaces | Qt::TextForceRightToLeft | Qt::AlignJustify;
    if ((flags & ownLayout) || painter->layoutDirection() == Qt::RightToLeft || text.size() > 200
        || text.endsWith(u' '))
        return nullptr;
    for (const QChar c : text) {
        if (c == u'&' || (c.isSpace() && c != u' '))
            return nullptr;
    }
    const TextKey key {painter->font(), text};
    if (const QStaticText* known = m_texts.object(key))
        return known;
    auto* laid = new QStaticText(text);
    laid->setTextFormat(Qt::PlainText);
    laid->setPerformanceHint(QStaticText::AggressiveCaching);
    laid->prepare(QTransform(), painter->font());
    m_texts.insert(key, laid);
    return m_texts.object(key);
}

void DesktopStyle::drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette, bool enabled,
    const QString& text, QPalette::ColorRole textRole) const
{
    if (text.isEmpty())
        return;
    // Fusion draws a disabled text as any other, in the colour given
    const QStaticText* laid = m_fusion ? laidOut(painter, flags, text) : nullptr;
    const QSizeF size = laid ? laid->size() : QSizeF();
    // a text that does not fit is cut at the rectangle: Qt's drawing does that
    if (!laid || size.width() > rect.width() || size.height() > rect.height()) {
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
        return;
    }
    // placed as QPainter::drawText places one line, its top on a whole pixel
    qreal x = rect.x();
    if (flags & Qt::AlignRight)
        x += rect.width() - size.width();
    else if (flags & Qt::AlignHCenter)
        x += (rect.width() - size.width()) / 2;
    qreal y = rect.y();
    if (flags & Qt::AlignBottom)
        y += rect.height() - size.height();
    else if (flags & Qt::AlignVCenter)
        y += (rect.height() - size.height()) / 2;
    const QPen saved = painter->pen();
    if (textRole != QPalette::NoRole)
        painter->setPen(QPen(palette.brush(textRole), saved.widthF()));
    painter->drawStaticText(QPointF(x, std::round(y)), *laid);
    painter->setPen(saved);
}

void DesktopStyle::drawPrimitive(
    PrimitiveElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    if (element == PE_FrameGroupBox && m_fusion && drawGroupFrame(option, painter, widget))
        return;
    if (element == PE_IndicatorRadioButton && m_fusion && drawRadioIndicator(option, painter, widget))
        return;
    if (element == PE_PanelLineEdit && m_fusion && drawLineEditPanel(option, painter, widget))
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QRect DesktopStyle::subControlRect(
    ComplexControl control, const QStyleOptionComplex* option, SubControl part, const QWidget* widget) const
{
    // only where the measure is known to come from the box's own font
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !box || !widget || !(box->fontMetrics == widget->fontMetrics()))
        return QProxyStyle::subControlRect(control, option, part, widget);
    const GroupPartKey key {part, box->rect, box->subControls, box->features, box->textAlignment, box->direction,
        box->state, widget->font(), box->text};
    if (const QRect* known = m_groupParts.object(key))
        return *known;
    const QRect worked = QProxyStyle::subControlRect(control, option, part, widget);
    m_groupParts.insert(key, new QRect(worked));
    return worked;
}

bool DesktopStyle::drawGroupFrame(const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    static const GroupFramePicture picture;
    if (!picture.usable)
        return false;
    // the frame's top as Fusion puts it: below the title's line, if any
    int top = kGroupFrameTopMargin;
    const auto* group = qobject_cast<const QGroupBox*>(widget);
    if (!group || group->isCheckable() || !group->title().isEmpty())
        top += std::max(
            baseStyle()->pixelMetric(PM_ExclusiveIndicatorHeight, nullptr, widget), option->fontMetrics.height());
    const QRect frame = option->rect.adjusted(0, top, 0, 0);
    const QRect inside = frame.marginsRemoved(kGroupFrameMargins);
    if (inside.isEmpty())
        return false;
    // the corners as they are
    const QRect source = picture.pixmap.rect();
    const QSize corner(kGroupFrameMargins.left(), kGroupFrameMargins.top());
    painter->drawPixmap(frame.topLeft(), picture.pixmap, QRect(source.topLeft(), corner));
    painter->drawPixmap(QPoint(inside.right() + 1, frame.top()), picture.pixmap,
        QRect(QPoint(source.right() + 1 - corner.width(), 0), corner));
    painter->drawPixmap(QPoint(frame.left(), inside.bottom() + 1), picture.pixmap,
        QRect(QPoint(0, source.bottom() + 1 - corner.height()), corner));
    painter->drawPixmap(inside.bottomRight() + QPoint(1, 1), picture.pixmap,
        QRect(QPoint(source.right() + 1 - corner.width(), source.bottom() + 1 - corner.height()), corner));
    // each line of an edge is one colour along it, as is the inside
    for (int i = 0; i < GroupFramePicture::kEdge; ++i) {
        painter->fillRect(QRect(inside.left(), frame.top() + i, inside.width(), 1), picture.top[i]);
        painter->fillRect(QRect(inside.left(), inside.bottom() + 1 + i, inside.width(), 1), picture.bottom[i]);
        fillInBands(painter, QRect(frame.left() + i, inside.top(), 1, inside.height()), picture.left[i]);
        fillInBands(painter, QRect(inside.right() + 1 + i, inside.top(), 1, inside.height()), picture.right[i]);
    }
    fillInBands(painter, inside, picture.inside);
    return true;
}

bool DesktopStyle::drawRadioIndicator(const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    // what Fusion's circle depends on
    constexpr State shown = State_On | State_Off | State_NoChange | State_Sunken | State_Enabled | State_MouseOver
        | State_HasFocus | State_Active;
    QStyleOption moved(*option);
    moved.rect.moveTopLeft(QPoint());
    const QString look = QString::number(int(option->state & shown));
    return drawFromPicture(PE_IndicatorRadioButton, moved, look, option->rect.topLeft(), painter, widget);
}

bool DesktopStyle::drawLineEditPanel(const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    // Fusion draws no panel for the line edit inside a spin box or an editable list,
    // whatever the option says: only a plain line edit is drawn from a picture.
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    const QWidget* holder = widget ? widget->parentWidget() : nullptr;
    if (!frame || !qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(holder)
        || qobject_cast<const QComboBox*>(holder))
        return false;
    QStyleOptionFrame moved(*frame);
    moved.rect.moveTopLeft(QPoint());
    const QString look = QStringLiteral("edit %1 %2 %3 %4 %5")
                             .arg(int(frame->state))
                             .arg(frame->lineWidth)
                             .arg(frame->midLineWidth)
                             .arg(int(frame->features))
                             .arg(int(frame->direction));
    return drawFromPicture(PE_PanelLineEdit, moved, look, frame->rect.topLeft(), painter, widget);
}

bool DesktopStyle::drawFromPicture(PrimitiveElement element, const QStyleOption& moved, const QString& look,
    const QPoint& at, QPainter* painter, const QWidget* widget) const
{
    if (painter->transform().type() > QTransform::TxTranslate || moved.rect.isEmpty())
        return false;
    const qreal ratio = painter->device()->devicePixelRatioF();
    const PictureKey key {element, look, moved.rect.size(), ratio, paletteLook(moved.palette)};
    if (const QPixmap* known = m_pictures.object(key)) {
        painter->drawPixmap(at, *known);
        return true;
    }
    auto* picture = new QPixmap(moved.rect.size() * ratio);
    picture->setDevicePixelRatio(ratio);
    picture->fill(Qt::transparent);
    {
        QPainter on(picture);
        on.setRenderHints(painter->renderHints());
        baseStyle()->drawPrimitive(element, &moved, &on, widget);
    }
    painter->drawPixmap(at, *picture);
    m_pictures.insert(key, picture);
    return true;
}
