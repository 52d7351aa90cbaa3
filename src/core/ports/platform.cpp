#include "core/ports/platform.h"

void EchoingPlatform::plainMessage(const QString& text)
{
    m_echo.plainMessage(text);
    m_answering.plainMessage(text);
}

int EchoingPlatform::showBox(MessageKind kind, const QString& text)
{
    m_echo.showBox(kind, text);
    return m_answering.showBox(kind, text);
}

void EchoingPlatform::beep()
{
    m_echo.beep();
    m_answering.beep();
}

void EchoingPlatform::setFocus(const QString& target)
{
    m_echo.setFocus(target);
    m_answering.setFocus(target);
}

void EchoingPlatform::generalError(const QString& text)
{
    m_echo.generalError(text);
    m_answering.generalError(text);
}
