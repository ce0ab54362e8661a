#include "panora/PageHotlinks.h"

#include <duktape.h>

#include <optional>
#include <string>

#include "host/ScriptedHostUi.h"
#include "scripthost/JsText.h"
#include "scripthost/ScriptHost.h"

namespace {

constexpr const char* kUiKey =
    "\xff"
    "hotlinkUi";

std::u16string StringProperty(duk_context* ctx, duk_idx_t object, const char* name) {
    std::u16string text;
    duk_get_prop_string(ctx, object, name);
    if (!duk_is_undefined(ctx, -1) && !duk_is_null(ctx, -1)) {
        duk_size_t length = 0;
        const char* bytes = duk_safe_to_lstring(ctx, -1, &length);
        text = scripthost::FromJs(std::string_view(bytes, length));
    }
    duk_pop(ctx);
    return text;
}

duk_ret_t AnswerHotlinkDialog(duk_context* ctx) {
    duk_push_current_function(ctx);
    duk_get_prop_string(ctx, -1, kUiKey);
    auto* ui = static_cast<ScriptedHostUi*>(duk_get_pointer(ctx, -1));
    duk_pop_2(ctx);
    if (ui == nullptr) {
        return 0;
    }
    if (duk_is_null_or_undefined(ctx, 0)) {
        ui->QueueHotlinkAnswer(std::nullopt);
        return 0;
    }
    if (!duk_is_object(ctx, 0)) {
        return duk_error(ctx, DUK_ERR_TYPE_ERROR,
                         "host.answerHotlinkDialog wants {id, label, category, link} or null");
    }
    HostUi::HotlinkFields fields;
    fields.id = StringProperty(ctx, 0, "id");
    fields.label = StringProperty(ctx, 0, "label");
    fields.category = StringProperty(ctx, 0, "category");
    fields.link = StringProperty(ctx, 0, "link");
    ui->QueueHotlinkAnswer(std::move(fields));
    return 0;
}

}  // namespace

bool AddPageHotlinks(scripthost::ScriptHost& host, ScriptedHostUi& ui) {
    duk_context* ctx = host.Context();
    duk_get_global_string(ctx, "host");
    if (!duk_is_object(ctx, -1) || duk_has_prop_string(ctx, -1, "answerHotlinkDialog")) {
        duk_pop(ctx);
        return false;
    }
    duk_push_c_function(ctx, AnswerHotlinkDialog, 1);
    duk_push_pointer(ctx, &ui);
    duk_put_prop_string(ctx, -2, kUiKey);
    duk_put_prop_string(ctx, -2, "answerHotlinkDialog");
    duk_pop(ctx);
    return true;
}
