#include "apps/desktop/notes_area.h"

#include <QPainter>

namespace {

const char kHeading[] = "选型范围注意事项：";

struct Section {
    const char* heading;
    std::initializer_list<const char*> ranges;
};

// clang-format off
const Section kSections[] = {
    {"一、城市天然气或城市煤气可选范围：", {
        "气体涡轮---VRNA（KEV/DAR/DAR-V/DAB/NUO）、VRNE、VRNSII（DAR/KEV）、VRNU（DAR/KEV/DAB/NUO）；",
        "气体腰轮---RKD-G（KEV/DAR/DAR-V/DAB/NUO/CPU卡一体补偿控制仪）、RKD-G10（DAR-V/Z/D/CPU卡一体补偿控制仪/OYT）；",
        "气体罗茨---G（KEV/DAR/DAB/NUO/CPU卡一体补偿控制仪/OYT）。"}},
    {"二、油田天然气可选范围：", {
        "气体涡轮---VRNS、VRN；",
        "气体旋进---PWX、PWXC、MQE。"}},
    {"三、煤层气可选范围：", {
        "气体涡轮---SJF；",
        "气体旋进---SJN。"}},
    {"四、空气或氮气或惰性气体可选范围：", {
        "气体涡轮---VRNA（KEV/DAR/DAR-V）、VRNSII（DAR/KEV）、VRNU（DAR/KEV）；",
        "气体腰轮---RKD-G（KEV/DAR/DAR-V）、RKD-G10（DAR-V/Z/D/OYT）；",
        "气体罗茨---G（KEV/DAR/OYT）；",
        "气体旋进---PWX。"}},
    {"五、氧气或氢气可选范围：", {
        "气体旋进---PWX、PWXC。"}},
};
// clang-format on

// An empty line first; each numbered heading followed by an empty line; range lines
// indented by 18 blanks; two empty lines between sections.
QString composeNotes()
{
    QStringList lines {QString()};
    bool first = true;
    for (const Section& section : kSections) {
        if (!first)
            lines << QString() << QString();
        first = false;
        lines << QString::fromUtf8(section.heading) << QString();
        for (const char* range : section.ranges)
            lines << QString(18, u' ') + QString::fromUtf8(range);
    }
    return lines.join(u'\n');
}

} // namespace

NotesArea::NotesArea(QWidget* parent)
    : QMdiArea(parent)
{
    setObjectName(QStringLiteral("mdiArea"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

QString NotesArea::notesText()
{
    return composeNotes();
}

void NotesArea::paintEvent(QPaintEvent* event)
{
    QMdiArea::paintEvent(event);
    // The notes are laid out and drawn once, into a picture: the area repaints what a
    // window leaves or uncovers, and laying out the whole text each time cost as
    // much as a small window.
    const qreal ratio = viewport()->devicePixelRatioF();
    if (m_notes.isNull() || !qFuzzyCompare(m_notes.devicePixelRatio(), ratio) || m_notesBackground != background())
        m_notes = drawNotes(ratio, m_notesBackground = background());
    QPainter p(viewport());
    const QRect area = viewport()->rect().adjusted(16, 12, -16, -12);
    p.setClipRect(area);
    p.drawPixmap(area.topLeft(), m_notes);
}

QPixmap NotesArea::drawNotes(qreal ratio, const QBrush& background)
{
    QFont heading(QStringLiteral("宋体"));
    heading.setBold(true);
    heading.setPointSize(11);
    QFont body(QStringLiteral("宋体"));
    body.setPointSize(10);
    const QString headingText = QString::fromUtf8(kHeading);
    const QString bodyText = notesText();
    const QRect room(0, 0, 4000, 4000);
    const QRect headingRect = QFontMetrics(heading).boundingRect(room, Qt::AlignLeft | Qt::AlignTop, headingText);
    const int bodyTop = QFontMetrics(heading).height() + 4;
    const QRect bodyRect = QFontMetrics(body).boundingRect(room, Qt::AlignLeft | Qt::AlignTop, bodyText);
    // a line to spare below: the last line's descent
    const QSize size(
        std::max(headingRect.width(), bodyRect.width()) + 2, bodyTop + bodyRect.height() + QFontMetrics(body).height());
    QPixmap notes(size * ratio);
    notes.setDevicePixelRatio(ratio);
    // on the area's own colour, so that the text is smoothed as it would be there
    notes.fill(background.style() == Qt::SolidPattern ? background.color() : QColor(Qt::transparent));
    QPainter p(&notes);
    p.setFont(heading);
    p.setPen(QColor(0, 0, 128));
    p.drawText(QRect(QPoint(), size), Qt::AlignLeft | Qt::AlignTop, headingText);
    p.setFont(body);
    p.setPen(QColor(20, 20, 60));
    p.drawText(QRect(QPoint(0, bodyTop), size), Qt::AlignLeft | Qt::AlignTop, bodyText);
    return notes;
}
