#pragma once
// What a script needs to know about an object's outgoing events: each
// event's name, its DISPID on the connection point and its parameter names
// (in the order the arguments are fired). Names match without ASCII case.

#include <string>
#include <string_view>
#include <vector>

#include "platform/ConnectionPoint.h"
#include "platform/DispatchTable.h"

namespace scripthost {

struct EventInfo {
    std::u16string name;
    platform::DISPID id = 0;
    std::vector<std::u16string> params;
};

using EventTable = std::vector<EventInfo>;

// An object's events: the connection point that fires them and their table.
struct EventSource {
    platform::ConnectionPoint* point = nullptr;
    EventTable events;
};

// The event of that name; a leading "on" ("onPointPicked") is also accepted
// when no event has the name itself. Null when there is none.
inline const EventInfo* FindEvent(const EventTable& table, std::u16string_view name) {
    for (const EventInfo& e : table) {
        if (platform::SameMemberName(e.name, name)) {
            return &e;
        }
    }
    if (name.size() > 2 && platform::SameMemberName(name.substr(0, 2), u"on")) {
        return FindEvent(table, name.substr(2));
    }
    return nullptr;
}

}  // namespace scripthost
