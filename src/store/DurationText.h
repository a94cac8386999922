#pragma once

#include <QString>

// The duration text: whole seconds as "HH:MM:SS", fractions dropped, hours unbounded
// ("100:00:00"); negative values carry the sign in every part ("-1:-2:-1").
// Every duration shown to the user or exported goes through this one function.
QString timeStringForDouble(double seconds);
