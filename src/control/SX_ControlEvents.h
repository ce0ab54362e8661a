#pragma once
// The events interface of the control: every event's name, dispatch
// identifier and parameter names, in the interface's order. Identifiers 7, 8,
// 9, 15 and 24 are not used.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "host/SX_EventIds.h"
#include "platform/DispatchTable.h"

namespace SX_ControlEvents {

// One event: its name, identifier and parameter names in order (at most ten).
struct EventInfo {
    std::string_view name;
    platform::DISPID id;
    std::array<std::string_view, 10> params;
    std::size_t paramCount;
};

// The whole table, in the interface's order.
const std::array<EventInfo, 36>& Table();
// The entry of an identifier or a name; null when there is none.
const EventInfo* Find(platform::DISPID id);
const EventInfo* Find(std::string_view name);

}  // namespace SX_ControlEvents
