#include "apps/desktop/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

enum class Family { Turbine, RotaryLobe, Vortex, Corrector };

enum Head { NoHead, CounterHead, CorrectorHead, CardHead };

struct Product {
    const char* caption;
    Family family;
    Head head;
    QColor body;
};

// clang-format off
const Product kProducts[kProductPictureCount] = {
    {"VRNA 气体涡轮",   Family::Turbine,    CounterHead,   QColor(70, 110, 170)},
    {"VRNE 卡控涡轮",   Family::Turbine,    CardHead,      QColor(70, 110, 170)},
    {"VRNSⅡ 涡轮",     Family::Turbine,    CorrectorHead, QColor(60, 130, 150)},
    {"VRNU 进口涡轮",   Family::Turbine,    CounterHead,   QColor(110, 110, 120)},
    {"VRNS 油田涡轮",   Family::Turbine,    CorrectorHead, QColor(150, 90, 60)},
    {"SJF 煤层气涡轮",  Family::Turbine,    CorrectorHead, QColor(90, 90, 90)},
    {"RKD-G 腰轮",      Family::RotaryLobe, CounterHead,   QColor(60, 140, 90)},
    {"RKD-G10 腰轮",    Family::RotaryLobe, CorrectorHead, QColor(60, 140, 90)},
    {"G 罗茨流量计",    Family::RotaryLobe, CounterHead,   QColor(120, 120, 130)},
    {"PWX 旋进旋涡",    Family::Vortex,     CorrectorHead, QColor(170, 120, 50)},
    {"PWXC 卡控旋进",   Family::Vortex,     CardHead,      QColor(170, 120, 50)},
    {"MQE 旋进旋涡",    Family::Vortex,     NoHead,        QColor(150, 100, 60)},
    {"SJN 煤层气旋进",  Family::Vortex,     CorrectorHead, QColor(90, 90, 90)},
    {"KEV 体积修正仪",  Family::Corrector,  CorrectorHead, QColor(40, 80, 140)},
    {"DAR 体积修正仪",  Family::Corrector,  CounterHead,   QColor(40, 120, 120)},
};
// clang-format on

QBrush metal(const QRectF& r, const QColor& base)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, base.lighter(150));
    g.setColorAt(0.5, base);
    g.setColorAt(1, base.darker(140));
    return g;
}

void drawHead(QPainter& p, const QRectF& r, Head head)
{
    if (head == NoHead)
        return;
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(metal(r, head == CardHead ? QColor(200, 170, 60) : QColor(210, 215, 220)));
    p.drawRoundedRect(r, 3, 3);
    const QRectF display = r.adjusted(r.width() * 0.15, r.height() * 0.2, -r.width() * 0.15, -r.height() * 0.45);
    p.setBrush(head == CounterHead ? QColor(250, 250, 240) : QColor(150, 210, 160));
    p.drawRect(display);
    p.setPen(QColor(30, 30, 30));
    QFont f = p.font();
    f.setPixelSize(std::max(6, int(display.height() * 0.8)));
    p.setFont(f);
    p.drawText(display, Qt::AlignCenter, head == CounterHead ? QStringLiteral("00128") : QStringLiteral("25.6"));
    if (head == CardHead) {
        p.setBrush(QColor(60, 60, 60));
        p.drawRect(QRectF(r.center().x() - r.width() * 0.2, r.bottom() - r.height() * 0.25, r.width() * 0.4, 3));
    }
}

void drawFlanges(QPainter& p, const QRectF& pipe, const QColor& c)
{
    p.setBrush(metal(pipe, c.darker(115)));
    const qreal w = pipe.height() * 0.22;
    for (qreal x : {pipe.left(), pipe.right() - w})
        p.drawRect(QRectF(x, pipe.top() - pipe.height() * 0.18, w, pipe.height() * 1.36));
}

void drawTurbine(QPainter& p, const QRectF& area, const Product& product)
{
    const QRectF pipe(area.left() + 6, area.center().y(), area.width() - 12, area.height() * 0.32);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(metal(pipe, product.body));
    p.drawRect(pipe);
    drawFlanges(p, pipe, product.body);
    const QRectF neck(pipe.center().x() - 5, pipe.top() - area.height() * 0.12, 10, area.height() * 0.12);
    p.setBrush(metal(neck, product.body));
    p.drawRect(neck);
    drawHead(
        p, QRectF(pipe.center().x() - 22, neck.top() - area.height() * 0.34, 44, area.height() * 0.34), product.head);
    p.setPen(QPen(QColor(255, 255, 255, 180), 2));
    p.drawLine(QPointF(pipe.left() + 14, pipe.center().y()), QPointF(pipe.right() - 20, pipe.center().y()));
    QPainterPath arrow;
    arrow.moveTo(pipe.right() - 14, pipe.center().y());
    arrow.lineTo(pipe.right() - 22, pipe.center().y() - 5);
    arrow.lineTo(pipe.right() - 22, pipe.center().y() + 5);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(255, 255, 255, 200));
}

void drawRotaryLobe(QPainter& p, const QRectF& area, const Product& product)
{
    const QRectF body(area.center().x() - area.width() * 0.28, area.top() + area.height() * 0.3, area.width() * 0.56,
        area.height() * 0.62);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(metal(body, product.body));
    p.drawRoundedRect(body, 6, 6);
    // the two lobes seen through the body
    p.setBrush(QColor(235, 235, 235));
    const qreal r = body.width() * 0.17;
    for (qreal dx : {-r * 0.95, r * 0.95}) {
        QPainterPath lobe;
        const QPointF c(body.center().x() + dx, body.center().y() + 4);
        lobe.addEllipse(c, r, r * 0.55);
        lobe.addEllipse(c, r * 0.45, r * 1.05);
        p.drawPath(lobe.simplified());
    }
    // inlet and outlet flanges at the sides
    for (qreal x : {body.left() - 10, body.right()})
        p.drawRect(QRectF(x, body.center().y() - 10, 10, 20));
    drawHead(p, QRectF(body.center().x() - 20, area.top() + 2, 40, area.height() * 0.26), product.head);
}

void drawVortex(QPainter& p, const QRectF& area, const Product& product)
{
    const QRectF pipe(area.left() + 8, area.center().y() + 6, area.width() - 16, area.height() * 0.26);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(metal(pipe, product.body));
    p.drawRect(pipe);
    drawFlanges(p, pipe, product.body);
    // the precessing vortex
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.5));
    QPainterPath swirl;
    swirl.moveTo(pipe.left() + 14, pipe.center().y());
    for (int i = 0; i <= 24; ++i) {
        const qreal t = i / 24.0;
        swirl.lineTo(
            pipe.left() + 14 + t * (pipe.width() - 28), pipe.center().y() + std::sin(t * 12.566) * pipe.height() * 0.3);
    }
    p.drawPath(swirl);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    const QRectF neck(pipe.center().x() - 4, pipe.top() - 10, 8, 10);
    p.setBrush(metal(neck, product.body));
    p.drawRect(neck);
    const QRectF head(pipe.center().x() - 21, neck.top() - area.height() * 0.38, 42, area.height() * 0.38);
    if (product.head == NoHead) {
        p.setBrush(metal(head, QColor(190, 190, 195)));
        p.drawEllipse(head.adjusted(6, 6, -6, -6));
    } else {
        p.setBrush(metal(head, QColor(200, 205, 210)));
        p.drawEllipse(head);
        drawHead(p, head.adjusted(8, 8, -8, -8), product.head);
    }
}

void drawCorrector(QPainter& p, const QRectF& area, const Product& product)
{
    const QRectF box(area.center().x() - area.width() * 0.3, area.top() + 6, area.width() * 0.6, area.height() - 14);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(metal(box, product.body));
    p.drawRoundedRect(box, 5, 5);
    const QRectF display(box.left() + 7, box.top() + 8, box.width() - 14, box.height() * 0.32);
    p.setBrush(QColor(150, 210, 160));
    p.drawRect(display);
    QFont f = p.font();
    f.setPixelSize(int(display.height() * 0.5));
    p.setFont(f);
    p.drawText(display, Qt::AlignCenter, QStringLiteral("Vn 1286"));
    p.setBrush(QColor(230, 230, 230));
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawEllipse(QPointF(box.left() + box.width() * (0.25 + 0.25 * c), display.bottom() + 12 + r * 12), 4, 4);
    // the cable glands
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(box.left() + box.width() * (0.22 + 0.22 * i), box.bottom(), 8, 5));
}

} // namespace

QPixmap logoPicture(const QSize& size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = std::min(size.width() * 0.42, qreal(size.height())) - 4;
    const QRectF ring(4, (size.height() - s) / 2, s, s);
    // a "C" of a pipe bend with the flow running through it
    p.setPen(QPen(QColor(0, 60, 130), s * 0.16, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(ring.adjusted(s * 0.1, s * 0.1, -s * 0.1, -s * 0.1), 45 * 16, 270 * 16);
    p.setPen(QPen(QColor(0, 150, 200), s * 0.06, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(ring.adjusted(s * 0.1, s * 0.1, -s * 0.1, -s * 0.1), 60 * 16, 240 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 150, 200));
    p.drawEllipse(ring.center(), s * 0.09, s * 0.09);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setBold(true);
    f.setPixelSize(int(s * 0.42));
    p.setFont(f);
    p.setPen(QColor(0, 60, 130));
    p.drawText(QRectF(ring.right() + 4, 0, size.width() - ring.right() - 4, size.height()),
        Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Corvane"));
    return pixmap;
}

QPixmap productPicture(int index)
{
    const Product& product = kProducts[std::clamp(index, 0, kProductPictureCount - 1)];
    QPixmap pixmap(kProductPictureSize);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area(0, 0, kProductPictureSize.width(), kProductPictureSize.height() - 18);
    switch (product.family) {
    case Family::Turbine: drawTurbine(p, area, product); break;
    case Family::RotaryLobe: drawRotaryLobe(p, area, product); break;
    case Family::Vortex: drawVortex(p, area, product); break;
    case Family::Corrector: drawCorrector(p, area, product); break;
    }
    p.setPen(QColor(0, 0, 128));
    QFont f = p.font();
    f.setPixelSize(12);
    p.setFont(f);
    p.drawText(QRectF(0, area.bottom(), kProductPictureSize.width(), 18), Qt::AlignCenter, productCaption(index));
    p.setPen(QColor(180, 180, 190));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kProductPictureSize.width() - 1, kProductPictureSize.height() - 1));
    return pixmap;
}

QString productCaption(int index)
{
    return QString::fromUtf8(kProducts[std::clamp(index, 0, kProductPictureCount - 1)].caption);
}
