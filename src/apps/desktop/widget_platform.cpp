#include "apps/desktop/widget_platform.h"

#include "core/ports/message_kinds.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

namespace {

bool g_scripted = false;

QMessageBox::Icon iconOf(ShowBoxKind::Icon icon)
{
    switch (icon) {
    case ShowBoxKind::Icon::Exclamation: return QMessageBox::Warning;
    case ShowBoxKind::Icon::Question: return QMessageBox::Question;
    case ShowBoxKind::Icon::Stop: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

int exec(QMessageBox::Icon icon, const QString& title, const QString& text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, text, buttons, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    if (g_scripted)
        QTimer::singleShot(0, &box, [&box] { box.done(QMessageBox::Ok); });
    return box.exec() == QMessageBox::Cancel ? Platform::Cancel : Platform::Ok;
}

} // namespace

WidgetPlatform::WidgetPlatform(std::function<QWidget*(const QString&)> focusTarget)
    : m_focusTarget(std::move(focusTarget))
{
}

void WidgetPlatform::setScripted(bool scripted)
{
    g_scripted = scripted;
}

bool WidgetPlatform::scripted()
{
    return g_scripted;
}

void WidgetPlatform::plainMessage(const QString& text)
{
    exec(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok);
}

int WidgetPlatform::showBox(MessageKind kind, const QString& text)
{
    const ShowBoxKind k = showBoxKind(kind);
    return exec(iconOf(k.icon), k.title, text, k.withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok);
}

void WidgetPlatform::beep()
{
    QApplication::beep();
}

void WidgetPlatform::setFocus(const QString& target)
{
    QWidget* w = m_focusTarget ? m_focusTarget(target) : nullptr;
    if (!w)
        return;
    w->setFocus(Qt::OtherFocusReason);
    // the box the program points at after refusing its text is corrected by typing
    // anew, as after Tab: the text selected, not appended to ("650" then "50")
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->selectAll();
}

void WidgetPlatform::generalError(const QString& text)
{
    exec(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok);
}

DesktopPlatform::DesktopPlatform(Platform* echo, std::function<QWidget*(const QString&)> focusTarget)
    : m_widgets(std::move(focusTarget))
{
    if (echo)
        m_echoing.emplace(m_widgets, *echo);
}
