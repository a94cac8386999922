#pragma once

#include <QString>
#include <QStringList>

// Whether something on the desktop keeps the screen awake now (a film playing, a call), so that
// time without input is not idle; and what, as far as the desktop says.
struct IdleInhibition
{
    enum class State {
        Unknown,   // asked, and the answer has not come yet
        Free,      // nothing keeps the screen awake, or nothing can tell
        Inhibited, // something does: `by` names it
    };

    State state = State::Free;
    QStringList by; // "mpv (Playing video)", "GNOME session", …
};

// The desktop's account of idle inhibitors. It never blocks: it answers what it last learnt and
// asks again in the background once that is a few seconds old.
class IdleInhibitionSource
{
public:
    virtual ~IdleInhibitionSource() = default;
    virtual IdleInhibition idleInhibition() = 0;
};
