#include "apps/common/event_writer.h"

#include "apps/common/candidate_columns.h"
#include "apps/common/json_line.h"
#include "core/form/form_model.h"
#include "core/ports/message_kinds.h"

EventWriter::EventWriter(Sink sink)
    : m_sink(std::move(sink))
{
}

void EventWriter::plainMessage(const QString& text)
{
    m_sink(JsonLine(QStringLiteral("message"))
               .add("box", QStringLiteral("plain"))
               .add("title", applicationTitle())
               .add("text", text)
               .text());
}

int EventWriter::showBox(MessageKind kind, const QString& text)
{
    m_sink(JsonLine(QStringLiteral("message"))
               .add("box", QStringLiteral("ShowBox"))
               .add("kind", static_cast<int>(kind))
               .add("title", showBoxKind(kind).title)
               .add("text", text)
               .text());
    return Ok;
}

void EventWriter::beep()
{
    m_sink(JsonLine(QStringLiteral("beep")).text());
}

void EventWriter::setFocus(const QString& target)
{
    m_sink(JsonLine(QStringLiteral("focus")).add("target", target).text());
}

void EventWriter::generalError(const QString& text)
{
    m_sink(JsonLine(QStringLiteral("error")).add("text", text).text());
}

void EventWriter::window(const QString& caption, const QString& selectionNo)
{
    m_sink(JsonLine(QStringLiteral("window")).add("caption", caption).add("SelectionNo", selectionNo).text());
}

void EventWriter::field(const FormModel& form, Field f)
{
    JsonLine line(QStringLiteral("field"));
    line.add("name", fieldName(f)).add("text", form.text(f)).add("enabled", form.enabled(f));
    if (form.kind(f) == ControlKind::List || form.kind(f) == ControlKind::Radio)
        line.add("items", form.items(f)).add("index", form.index(f));
    m_sink(line.text());
}

void EventWriter::field(const QString& name, const QString& text)
{
    m_sink(JsonLine(QStringLiteral("field")).add("name", name).add("text", text).add("enabled", true).text());
}

void EventWriter::pending(const QStringList* row)
{
    JsonLine line(QStringLiteral("pending"));
    if (row)
        line.add("row", *row);
    else
        line.addNull("row");
    m_sink(line.text());
}

void EventWriter::row(const QStringList& values)
{
    m_sink(JsonLine(QStringLiteral("row")).add("values", values).text());
}

void EventWriter::preview(const QString& selectionNo)
{
    m_sink(JsonLine(QStringLiteral("preview")).add("SelectionNo", selectionNo).text());
}

void EventWriter::scriptError(int line, const QString& text)
{
    m_sink(JsonLine(QStringLiteral("script-error")).add("line", line).add("text", text).text());
}

void EventWriter::candidate(const SizeCandidate& candidate)
{
    JsonLine line(QStringLiteral("candidate"));
    for (const CandidateMember& member : candidateMembers(candidate)) {
        if (member.number)
            line.addNumber(member.name, member.text);
        else
            line.add(member.name, member.text);
    }
    m_sink(line.text());
}

void EventWriter::warning(const QString& code, const QString& text)
{
    m_sink(JsonLine(QStringLiteral("warning")).add("code", code).add("text", text).text());
}

EventWriter::Sink lineWriter(std::FILE* stream)
{
    return [stream](const QString& line) {
        const QByteArray bytes = line.toUtf8() + '\n';
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
        std::fflush(stream);
    };
}
