#pragma once

#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

// A scenario: timed actions on the fake desktop and the controller, one JSON object a line.
//
//   {"wall": "2026-01-05T09:00:00"}                          optional first line
//   {"at": 0, "front": {"name": "Editor", "pid": 101}}
//   {"at": 0, "window": {"pid": 101, "id": 7, "title": "notes.txt (edited)"}}
//   {"at": 0, "button": true}
//   {"at": 60, "end": true}
//   {"at": 70, "inhibitIdle": ["mpv (Playing video)"]}      idle inhibitors held from now ([]: none)
//   {"at": 90, "answerAway": {"label": "Meeting", "category": ["Work", "Meetings"]}}
//                                    answers the oldest open "What were you doing?" question;
//   {"at": 95, "answerAway": {"keepIdle": true}}             or keeps its time as "Idle"
//   {"at": 99, "forget": {"from": "2026-01-05T09:00:00", "to": "2026-01-05T09:30:00", "application": "Editor"}}
//                                    forgets the history's stretches that start in that local range
//                                    (of one application, or of all without it), as the History window does
//
// Blank lines and lines starting with "#" are ignored.
struct ScenarioStep
{
    enum class Action { Settings, Front, Window, Title, Input, Button, Power, Session, Accessibility, Clear, Open, Save, InhibitIdle, AnswerAway, Forget, End };

    int line = 0;
    double at = 0.0; // seconds since the run began
    Action action = Action::End;
    QJsonValue value;
};

struct Scenario
{
    QDateTime wallStart = QDateTime(QDate(2026, 1, 5), QTime(9, 0)); // a Monday
    QList<ScenarioStep> steps;
};

// The latest "at" a scenario may name: ten years of virtual time. Every virtual second costs a
// tick, so a longer run would take hours, and the nanoseconds of far later times overflow.
constexpr double kLongestScenarioSeconds = 10 * 365 * 24 * 3600.0;

// Reads a whole scenario, checking every line. On a malformed line answers nullopt and sets
// `error` to a message that names the line.
std::optional<Scenario> parseScenario(const QByteArray &text, QString *error);
