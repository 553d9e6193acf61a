// A MachineZone double: the machine's UTC offset is the hours the test sets, whatever the zone of
// the machine the tests run on.
#pragma once

#include "app/program/Clock.h"

namespace corvel::test {

struct FakeZone : app::MachineZone {
    nav::Real hours = 0;  // added to local time to obtain UTC
    nav::Real UtcOffsetHours() const override { return hours; }
};

}  // namespace corvel::test
