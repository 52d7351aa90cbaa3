#pragma once

#include "core/ports/platform.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

class FormModel;
struct SizeCandidate;
enum class Field;

// The headless runner's screen: everything the program would show becomes one
// JSON event line. Message boxes are answered OK.
class EventWriter : public Platform {
public:
    using Sink = std::function<void(const QString& line)>;

    explicit EventWriter(Sink sink);

    void plainMessage(const QString& text) override;
    int showBox(MessageKind kind, const QString& text) override;
    void beep() override;
    void setFocus(const QString& target) override;
    void generalError(const QString& text) override;

    void window(const QString& caption, const QString& selectionNo);
    void field(const FormModel& form, Field f);
    void field(const QString& name, const QString& text); // a pseudo-field such as Caption
    void pending(const QStringList* row);
    void row(const QStringList& values);
    void preview(const QString& selectionNo);
    void scriptError(int line, const QString& text);
    void warning(const QString& code, const QString& text);
    void candidate(const SizeCandidate& candidate);

private:
    Sink m_sink;
};

// A sink that writes each line whole and flushes it: a reader sees every event as it
// happens, and a program that is killed leaves no torn last line.
EventWriter::Sink lineWriter(std::FILE* stream);
