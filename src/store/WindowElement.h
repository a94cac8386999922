#pragma once

#include <QHashFunctions>
#include <QtGlobal>

// A handle on one desktop window, as the platform names it (an X11 window id).
// Plain value: two elements denote the same window exactly when they compare equal.
// The default-constructed element is the null element ("no window").
class WindowElement
{
public:
    constexpr WindowElement() = default;
    constexpr explicit WindowElement(quint64 id) : m_id(id) {}

    constexpr quint64 id() const { return m_id; }
    constexpr bool isNull() const { return m_id == 0; }

    friend constexpr bool operator==(WindowElement, WindowElement) = default;
    friend size_t qHash(WindowElement element, size_t seed = 0) { return ::qHash(element.m_id, seed); }

private:
    quint64 m_id = 0;
};
