#pragma once
// Table entries for ISX_Control members whose work the control does not do
// yet: they succeed and leave every result at its neutral value.

#include <cstdint>

#include "control/Automation.h"

namespace control_automation {

// Parameter types as the interface names them.
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

// Success; the results keep their start values (0, 0.0, false, "", no object).
template <class... A>
struct Declined {
    static platform::HRESULT Call(control::Automation&, A...) { return platform::S_OK; }
};

// Success with -1 as the result (an identifier or a unit that does not exist).
template <class... A>
struct DeclinedNoId {
    static platform::HRESULT Call(control::Automation&, A..., std::int32_t* result) {
        *result = -1;
        return platform::S_OK;
    }
};

}  // namespace control_automation
