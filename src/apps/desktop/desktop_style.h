#pragma once

#include <QCache>
#include <QFont>
#include <QPixmap>
#include <QProxyStyle>
#include <QStaticText>
#include <QStyleOption>

// The platform's style with a few things drawn for less: a selection window paints some
// hundred short texts (captions, choices, frame titles, buttons) and thirty group
// frames, and opening a window among many would spend most of its time on them.
// - A short text on one line is laid out once and then drawn from that layout; Qt
//   lays every such text out again at each paint. Where the text is placed, and how
//   it looks, stay the same.
// - A radio button's circle and a line edit's panel are drawn once for each look and
//   copied.
// - Where a group box's title, frame and inside lie is worked out once for each look.
// - Fusion's group frame is a picture whose inside, a faint even shade, it stretches
//   over the whole frame; the inside is filled with that shade instead.
class DesktopStyle : public QProxyStyle {
    Q_OBJECT

public:
    explicit DesktopStyle(QStyle* base = nullptr);

    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette, bool enabled,
        const QString& text, QPalette::ColorRole textRole = QPalette::NoRole) const override;
    void drawPrimitive(
        PrimitiveElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
        const QWidget* widget) const override;

    // How many pictures of radio buttons and line edits are kept (test seam).
    int picturesKept() const { return m_pictures.size(); }

private:
    // The text laid out in the painter's font, or null when Qt's own drawing is
    // needed (several lines, mnemonics, tabs, wrapping, right-to-left).
    const QStaticText* laidOut(const QPainter* painter, int flags, const QString& text) const;
    bool drawGroupFrame(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
    // A radio button's circle, and a line edit's panel (its rounded, smoothed frame),
    // drawn once for each look and size and copied then.
    bool drawRadioIndicator(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
    bool drawLineEditPanel(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
    // Draws `element` at `at` from its picture, made first where it is not made: the
    // picture of `moved` (the option at the picture's corner) in the look `look`.
    bool drawFromPicture(PrimitiveElement element, const QStyleOption& moved, const QString& look, const QPoint& at,
        QPainter* painter, const QWidget* widget) const;

    struct TextKey {
        QFont font;
        QString text;
        bool operator==(const TextKey& other) const { return text == other.text && font == other.font; }
        friend size_t qHash(const TextKey& key, size_t seed = 0) { return qHashMulti(seed, key.text, key.font); }
    };
    mutable QCache<TextKey, QStaticText> m_texts;
    struct PictureKey {
        PrimitiveElement element;
        QString look;
        QSize size;
        qreal ratio = 1;
        QByteArray palette;
        bool operator==(const PictureKey&) const = default;
        friend size_t qHash(const PictureKey& key, size_t seed = 0)
        {
            return qHashMulti(seed, int(key.element), key.look, key.size.width(), key.size.height(), key.palette);
        }
    };
    mutable QCache<PictureKey, QPixmap> m_pictures;
    // Where a group box's parts lie, for each look of the box: Fusion measures the
    // title again for each part at each paint.
    struct GroupPartKey {
        SubControl part;
        QRect rect;
        SubControls subControls;
        QStyleOptionFrame::FrameFeatures features;
        Qt::Alignment textAlignment;
        Qt::LayoutDirection direction;
        State state;
        QFont font;
        QString text;
        bool operator==(const GroupPartKey&) const = default;
        friend size_t qHash(const GroupPartKey& key, size_t seed = 0)
        {
            return qHashMulti(seed, int(key.part), key.rect.width(), key.rect.height(), int(key.subControls),
                int(key.state), key.text);
        }
    };
    mutable QCache<GroupPartKey, QRect> m_groupParts;
    bool m_fusion = false;
};
