#pragma once
// Parameter types of the ISX_Control table entries, as the interface names
// them.

#include <cstdint>

#include "control/Automation.h"
#include "platform/ComBstr.h"
#include "platform/ComVariant.h"

namespace control_automation {

using Long = std::int32_t;  // long and int
using Double = double;
using Bool = platform::VARIANT_BOOL;
using Str = const platform::Bstr&;
using Object = platform::Dispatchable*;
using LongOut = std::int32_t*;
using DoubleOut = double*;
using BoolOut = platform::VARIANT_BOOL*;
using StrOut = platform::Bstr*;
using ObjectOut = platform::ComPtr<platform::Dispatchable>*;

}  // namespace control_automation
