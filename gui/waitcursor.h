#pragma once

#include <QCursor>
#include <QPointer>
#include <QWidget>

// The wait cursor over one window while a long operation holds the GUI thread. Only that window:
// the application's override cursor would be drawn on the projector's screen too, where its
// light cures resin.
class WaitCursor
{
public:
    explicit WaitCursor(QWidget *widget)
        : m_window(widget->window())
        , m_hadCursor(m_window->testAttribute(Qt::WA_SetCursor))
        , m_cursor(m_window->cursor())
    {
        m_window->setCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (!m_window)
            return;
        if (m_hadCursor)
            m_window->setCursor(m_cursor);
        else
            m_window->unsetCursor();
    }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    QPointer<QWidget> m_window;
    const bool m_hadCursor;
    const QCursor m_cursor;
};
