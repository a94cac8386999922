#pragma once

#include <QtGlobal>

// What reading the time since the last user input gave.
struct IdleReading
{
    enum class Status {
        Ok,
        ServiceUnreachable,   // the input service cannot be reached at all
        NoService,            // reached, but it names no input device service
        PropertiesUnreadable, // the service's properties cannot be read
        NotFound,             // the service does not report an idle time
        UnsupportedType,      // the idle time has a type that cannot be read
        Pending,              // asked, and the first answer has not come yet: no failure
    };

    Status status = Status::Ok;
    quint64 nanoseconds = 0; // valid when status is Ok
    int typeId = 0;          // the type that was met, for UnsupportedType
};

// The platform's source of the time since the last key press or pointer motion.
class IdleSource
{
public:
    virtual ~IdleSource() = default;
    virtual IdleReading read() = 0;
};
