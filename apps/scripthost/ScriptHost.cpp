#include "scripthost/ScriptHost.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "platform/Clock.h"
#include "platform/Text.h"
#include "scripthost/JsText.h"

namespace scripthost {

using platform::HRESULT;
using platform::Variant;

namespace {

constexpr const char* kHost = DUK_HIDDEN_SYMBOL("scripthost");
constexpr const char* kTimers = DUK_HIDDEN_SYMBOL("timers");
constexpr const char* kHandlers = DUK_HIDDEN_SYMBOL("handlers");
constexpr const char* kIndex = DUK_HIDDEN_SYMBOL("index");
constexpr const char* kFunctionName = DUK_HIDDEN_SYMBOL("fname");

void Fatal(void*, const char* message) {
    std::cerr << "script engine: fatal error: " << (message != nullptr ? message : "") << std::endl;
    std::abort();
}

// The value at idx as UTF-8 text (never throws).
std::string Utf8At(duk_context* ctx, duk_idx_t idx) {
    duk_dup(ctx, idx);
    duk_size_t len = 0;
    const char* s = duk_safe_to_lstring(ctx, -1, &len);
    std::string text = platform::ToUtf8(FromJs(std::string_view(s, len)));
    duk_pop(ctx);
    return text;
}

// Duktape.errCreate. Duktape takes an error's line from the program counter
// its function last saved, which a property call on a missing method
// (`obj.missing()`) has not saved yet: the error would name the line of an
// earlier call. Calling this hook saves it, so the line of the innermost
// page function on the stack is read again here and given to the error when
// the error names that function's file.
duk_ret_t LineOfCreatedError(duk_context* ctx) {
    if (!duk_is_error(ctx, 0)) {
        return 1;
    }
    for (duk_int_t level = -2;; --level) {
        duk_inspect_callstack_entry(ctx, level);
        if (duk_is_undefined(ctx, -1)) {
            duk_pop(ctx);
            break;
        }
        duk_get_prop_string(ctx, -1, "lineNumber");
        const duk_int_t line = duk_get_int(ctx, -1);
        duk_pop(ctx);
        if (line <= 0) {  // a native function: its caller has the line
            duk_pop(ctx);
            continue;
        }
        duk_get_prop_string(ctx, -1, "function");
        duk_get_prop_string(ctx, -1, "fileName");
        duk_get_prop_string(ctx, 0, "fileName");
        const bool sameFile = duk_is_string(ctx, -1) && duk_equals(ctx, -1, -2);
        duk_pop_n(ctx, 4);
        if (sameFile) {
            duk_push_string(ctx, "lineNumber");
            duk_push_int(ctx, line);
            duk_def_prop(
                ctx, 0,
                DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_SET_WRITABLE | DUK_DEFPROP_SET_CONFIGURABLE);
        }
        break;
    }
    return 1;
}

}  // namespace

// The host's own window: the page's timers are its timers, and each one is
// killed when it fires (setTimeout is one-shot).
class ScriptHost::TimerWindow final : public platform::Window {
  public:
    TimerWindow(platform::MessageLoop& loop, ScriptHost& host) : Window(loop), host_(host) {}

  protected:
    void OnMessage(platform::Message& message) override {
        if (message.id == platform::kMsgTimer) {
            host_.OnTimer(message.timerId);
            return;
        }
        Window::OnMessage(message);
    }

  private:
    ScriptHost& host_;
};

ScriptHost::ScriptHost(platform::MessageLoop& loop, std::ostream& out, std::ostream& err)
    : loop_(loop), out_(out), err_(err), boxes_(err) {
    ctx_ = duk_create_heap(nullptr, nullptr, nullptr, this, Fatal);
    DispatchBinding::Install(ctx_, this);

    duk_push_heap_stash(ctx_);
    duk_push_pointer(ctx_, this);
    duk_put_prop_string(ctx_, -2, kHost);
    duk_push_bare_object(ctx_);
    duk_put_prop_string(ctx_, -2, kTimers);
    duk_push_bare_object(ctx_);
    duk_put_prop_string(ctx_, -2, kHandlers);
    duk_pop(ctx_);

    struct Entry {
        const char* name;
        duk_c_function fn;
        duk_idx_t nargs;
    };
    const Entry entries[] = {
        {"quit", Quit, 1},
        {"log", Log, DUK_VARARGS},
        {"setTimeout", SetTimeout, DUK_VARARGS},
        {"clearTimeout", ClearTimeout, 1},
        {"answerMessageBox", AnswerMessageBox, 1},
        {"messageBoxes", GetMessageBoxes, 0},
    };
    duk_push_object(ctx_);
    for (const Entry& e : entries) {
        duk_push_c_function(ctx_, e.fn, e.nargs);
        duk_put_prop_string(ctx_, -2, e.name);
    }
    duk_push_string(ctx_, "lastStatus");
    duk_push_c_function(ctx_, GetLastStatus, 0);
    duk_def_prop(ctx_, -3, DUK_DEFPROP_HAVE_GETTER | DUK_DEFPROP_SET_ENUMERABLE);
    duk_put_global_string(ctx_, "host");

    duk_get_global_string(ctx_, "Duktape");
    duk_push_c_function(ctx_, LineOfCreatedError, 1);
    duk_put_prop_string(ctx_, -2, "errCreate");
    duk_pop(ctx_);

    timers_ = std::make_unique<TimerWindow>(loop_, *this);
}

ScriptHost::~ScriptHost() {
    finished_ = true;
    for (const Handler& h : handlers_) {
        sources_[static_cast<std::size_t>(h.source)].point->Unadvise(h.cookie);
    }
    handlers_.clear();
    timers_->Destroy();
    timers_.reset();
    duk_destroy_heap(ctx_);  // finalizers release the objects the page held
    ctx_ = nullptr;
    sources_.clear();
    objects_.clear();
}

bool ScriptHost::AddObject(std::string_view name, platform::ComPtr<platform::Dispatchable> object,
                           EventSource events) {
    if (name.empty() || !object) {
        return false;
    }
    const bool taken = duk_get_global_lstring(ctx_, name.data(), name.size()) != 0;
    duk_pop(ctx_);
    if (taken) {
        return false;
    }
    int source = -1;
    if (events.point != nullptr) {
        source = static_cast<int>(sources_.size());
        sources_.push_back(std::move(events));
    }
    objects_.push_back(object);
    DispatchBinding::PushObject(ctx_, object, source);
    duk_put_global_lstring(ctx_, name.data(), name.size());
    return true;
}

bool ScriptHost::AddHostFunction(std::string_view name, HostFunction fn) {
    if (name.empty() || !fn) {
        return false;
    }
    duk_get_global_string(ctx_, "host");
    if (duk_has_prop_lstring(ctx_, -1, name.data(), name.size())) {
        duk_pop(ctx_);
        return false;
    }
    duk_push_c_function(ctx_, CallHostFunction, DUK_VARARGS);
    duk_push_uint(ctx_, static_cast<duk_uint_t>(hostFunctions_.size()));
    duk_put_prop_string(ctx_, -2, kIndex);
    duk_push_lstring(ctx_, name.data(), name.size());
    duk_put_prop_string(ctx_, -2, kFunctionName);
    duk_put_prop_lstring(ctx_, -2, name.data(), name.size());
    duk_pop(ctx_);
    hostFunctions_.push_back(std::move(fn));
    return true;
}

bool ScriptHost::LoadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in) {
        text << in.rdbuf();
    }
    if (!in || in.bad()) {
        err_ << path << ": cannot read the page" << std::endl;
        Finish(kExitScriptError);
        return false;
    }
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::absolute(path, ec).parent_path();
    std::string base = folder.string();
    if (base.empty() || base.back() != '/') {
        base += '/';
    }
    base_ = platform::FromUtf8(base);
    return LoadString(text.str(), path);
}

bool ScriptHost::LoadString(std::string_view source, std::string_view name) {
    pageName_ = std::string(name);
    duk_push_lstring(ctx_, source.data(), source.size());
    duk_push_lstring(ctx_, name.data(), name.size());
    if (duk_pcompile(ctx_, 0) != 0) {
        FailWithError("");
        return false;
    }
    return SafeCall(0, "");
}

int ScriptHost::Run(std::int64_t timeoutMs) {
    if (finished_) {
        return exitCode_;
    }
    platform::Clock& clock = loop_.GetClock();
    auto* virtualClock = dynamic_cast<platform::VirtualClock*>(&clock);
    if (virtualClock == nullptr || clock.RunsByItself()) {
        const bool done = loop_.RunUntil([this] { return finished_; }, timeoutMs);
        if (!done) {
            Finish(kExitTimeout);
        }
        return exitCode_;
    }
    const std::int64_t start = clock.NowMs();
    loop_.ProcessPending();
    while (!finished_) {
        if (timeoutMs >= 0 && clock.NowMs() - start >= timeoutMs) {
            Finish(kExitTimeout);
            break;
        }
        virtualClock->Advance(1);
        loop_.ProcessPending();
    }
    return exitCode_;
}

void ScriptHost::Finish(int code) {
    if (!finished_) {
        finished_ = true;
        exitCode_ = code;
    }
}

void ScriptHost::FailWithError(const char* where) {
    std::string line;
    if (duk_is_error(ctx_, -1)) {
        duk_get_prop_string(ctx_, -1, "fileName");
        std::string file = duk_is_string(ctx_, -1) ? Utf8At(ctx_, -1) : pageName_;
        duk_get_prop_string(ctx_, -2, "lineNumber");
        const bool hasLine = duk_is_number(ctx_, -1);
        const int number = duk_get_int(ctx_, -1);
        duk_pop_2(ctx_);
        line = file + ":" + (hasLine ? std::to_string(number) + ":" : std::string()) + " " +
               Utf8At(ctx_, -1);
    } else {
        line = pageName_ + ": uncaught exception: " + Utf8At(ctx_, -1);
    }
    if (where != nullptr && *where != '\0') {
        line += std::string(" (in ") + where + ")";
    }
    duk_pop(ctx_);
    err_ << line << std::endl;
    Finish(kExitScriptError);
}

bool ScriptHost::SafeCall(duk_idx_t nargs, const char* where) {
    if (duk_pcall(ctx_, nargs) != DUK_EXEC_SUCCESS) {
        FailWithError(where);
        return false;
    }
    duk_pop(ctx_);
    return true;
}

void ScriptHost::StashPut(const char* table, std::uint32_t key) {
    duk_push_heap_stash(ctx_);
    duk_get_prop_string(ctx_, -1, table);
    duk_dup(ctx_, -3);
    duk_put_prop_index(ctx_, -2, key);
    duk_pop_3(ctx_);
}

bool ScriptHost::StashGet(const char* table, std::uint32_t key) {
    duk_push_heap_stash(ctx_);
    duk_get_prop_string(ctx_, -1, table);
    duk_get_prop_index(ctx_, -1, key);
    duk_remove(ctx_, -2);
    duk_remove(ctx_, -2);
    if (duk_is_undefined(ctx_, -1)) {
        duk_pop(ctx_);
        return false;
    }
    return true;
}

void ScriptHost::StashDelete(const char* table, std::uint32_t key) {
    duk_push_heap_stash(ctx_);
    duk_get_prop_string(ctx_, -1, table);
    duk_del_prop_index(ctx_, -1, key);
    duk_pop_2(ctx_);
}

// Events -----------------------------------------------------------------------

int ScriptHost::FindHandler(int source, platform::DISPID id, duk_idx_t fn) {
    fn = duk_normalize_index(ctx_, fn);
    for (std::size_t i = 0; i < handlers_.size(); ++i) {
        const Handler& h = handlers_[i];
        if (h.source != source || h.id != id || !StashGet(kHandlers, h.key)) {
            continue;
        }
        const bool same = duk_strict_equals(ctx_, -1, fn) != 0;
        duk_pop(ctx_);
        if (same) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool ScriptHost::AttachEvent(duk_context* ctx, int source) {
    if (ctx != ctx_ || source < 0 || static_cast<std::size_t>(source) >= sources_.size() ||
        !duk_is_function(ctx, 1)) {
        return false;
    }
    duk_size_t len = 0;
    const char* s = duk_get_lstring(ctx, 0, &len);
    const std::u16string name = s != nullptr ? FromJs(std::string_view(s, len)) : u"";
    const EventSource& events = sources_[static_cast<std::size_t>(source)];
    const EventInfo* event = FindEvent(events.events, name);
    if (event == nullptr) {
        return false;
    }
    if (FindHandler(source, event->id, 1) >= 0) {
        return true;
    }
    const std::uint32_t key = nextHandlerKey_++;
    duk_dup(ctx, 1);
    StashPut(kHandlers, key);
    const platform::DISPID id = event->id;
    const std::string where = "handler of " + platform::ToUtf8(event->name);
    const std::uint32_t cookie = events.point->Advise(
        [this, key, id, where](platform::DISPID fired, const std::vector<Variant>& args) {
            return fired == id ? CallHandler(key, where, args) : platform::S_OK;
        });
    if (cookie == 0) {
        StashDelete(kHandlers, key);
        return false;
    }
    handlers_.push_back(Handler{source, id, cookie, key});
    return true;
}

bool ScriptHost::DetachEvent(duk_context* ctx, int source) {
    if (ctx != ctx_ || source < 0 || static_cast<std::size_t>(source) >= sources_.size()) {
        return false;
    }
    duk_size_t len = 0;
    const char* s = duk_get_lstring(ctx, 0, &len);
    const std::u16string name = s != nullptr ? FromJs(std::string_view(s, len)) : u"";
    const EventSource& events = sources_[static_cast<std::size_t>(source)];
    const EventInfo* event = FindEvent(events.events, name);
    if (event == nullptr) {
        return false;
    }
    const int i = FindHandler(source, event->id, 1);
    if (i < 0) {
        return false;
    }
    const Handler h = handlers_[static_cast<std::size_t>(i)];
    handlers_.erase(handlers_.begin() + i);
    events.point->Unadvise(h.cookie);
    StashDelete(kHandlers, h.key);
    return true;
}

HRESULT ScriptHost::CallHandler(std::uint32_t key, const std::string& where,
                                const std::vector<Variant>& args) {
    if (finished_ || !StashGet(kHandlers, key)) {
        return platform::S_OK;
    }
    for (const Variant& arg : args) {
        DispatchBinding::PushVariant(ctx_, arg);
    }
    return SafeCall(static_cast<duk_idx_t>(args.size()), where.c_str()) ? platform::S_OK
                                                                        : platform::E_FAIL;
}

// Timers -----------------------------------------------------------------------

void ScriptHost::OnTimer(std::uint32_t timerId) {
    timers_->KillTimer(timerId);
    if (!StashGet(kTimers, timerId)) {
        return;
    }
    StashDelete(kTimers, timerId);
    if (finished_) {
        duk_pop(ctx_);
        return;
    }
    // [entry] -> [fn args...]: entry is [fn, arg1, arg2, ...].
    const duk_idx_t entry = duk_get_top_index(ctx_);
    const auto count = static_cast<duk_idx_t>(duk_get_length(ctx_, entry));
    for (duk_idx_t i = 0; i < count; ++i) {
        duk_get_prop_index(ctx_, entry, static_cast<duk_uarridx_t>(i));
    }
    duk_remove(ctx_, entry);
    SafeCall(count - 1, "timer");
}

// host.* -------------------------------------------------------------------------

ScriptHost* ScriptHost::From(duk_context* ctx) {
    duk_push_heap_stash(ctx);
    duk_get_prop_string(ctx, -1, kHost);
    void* p = duk_get_pointer(ctx, -1);
    duk_pop_2(ctx);
    return static_cast<ScriptHost*>(p);
}

duk_ret_t ScriptHost::Quit(duk_context* ctx) {
    const int code = duk_is_number(ctx, 0) ? duk_get_int(ctx, 0) : 0;
    From(ctx)->Finish(code);
    return 0;
}

duk_ret_t ScriptHost::Log(duk_context* ctx) {
    ScriptHost* host = From(ctx);
    std::string line;
    const duk_idx_t n = duk_get_top(ctx);
    for (duk_idx_t i = 0; i < n; ++i) {
        line += (i > 0 ? " " : "") + Utf8At(ctx, i);
    }
    host->out_ << line << std::endl;
    return 0;
}

duk_ret_t ScriptHost::SetTimeout(duk_context* ctx) {
    if (!duk_is_function(ctx, 0)) {
        // No C file and line, so that the error carries the page's line.
        duk_error_raw(ctx, DUK_ERR_TYPE_ERROR, nullptr, 0,
                      "host.setTimeout: the first argument must be a function");
    }
    ScriptHost* host = From(ctx);
    const duk_idx_t n = duk_get_top(ctx);
    double ms = n > 1 ? duk_to_number(ctx, 1) : 0.0;
    if (!(ms > 0)) {
        ms = 0;
    }
    ms = std::min(ms, static_cast<double>(std::numeric_limits<std::uint32_t>::max()));
    const std::uint32_t id = host->nextTimerId_++;
    duk_push_array(ctx);
    duk_uarridx_t slot = 0;
    for (duk_idx_t i = 0; i < n; ++i) {
        if (i != 1) {
            duk_dup(ctx, i);
            duk_put_prop_index(ctx, -2, slot++);
        }
    }
    host->StashPut(kTimers, id);
    host->timers_->SetTimer(id, static_cast<std::uint32_t>(ms));
    duk_push_uint(ctx, id);
    return 1;
}

duk_ret_t ScriptHost::ClearTimeout(duk_context* ctx) {
    if (duk_is_number(ctx, 0)) {
        ScriptHost* host = From(ctx);
        const auto id = static_cast<std::uint32_t>(duk_get_uint(ctx, 0));
        host->timers_->KillTimer(id);
        host->StashDelete(kTimers, id);
    }
    return 0;
}

duk_ret_t ScriptHost::GetLastStatus(duk_context* ctx) {
    duk_push_int(ctx, From(ctx)->lastStatus_);
    return 1;
}

duk_ret_t ScriptHost::AnswerMessageBox(duk_context* ctx) {
    From(ctx)->boxes_.QueueAnswer(duk_to_int(ctx, 0));
    return 0;
}

duk_ret_t ScriptHost::GetMessageBoxes(duk_context* ctx) {
    const std::vector<ScriptedMessageBoxes::Box>& shown = From(ctx)->boxes_.Shown();
    duk_push_array(ctx);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const ScriptedMessageBoxes::Box& box = shown[i];
        duk_push_object(ctx);
        const std::string caption = ToJs(box.caption);
        duk_push_lstring(ctx, caption.data(), caption.size());
        duk_put_prop_string(ctx, -2, "caption");
        const std::string text = ToJs(box.text);
        duk_push_lstring(ctx, text.data(), text.size());
        duk_put_prop_string(ctx, -2, "text");
        duk_push_uint(ctx, box.type);
        duk_put_prop_string(ctx, -2, "type");
        duk_push_int(ctx, box.result);
        duk_put_prop_string(ctx, -2, "result");
        duk_put_prop_index(ctx, -2, static_cast<duk_uarridx_t>(i));
    }
    return 1;
}

bool ScriptHost::InvokeHostFunction(duk_context* ctx) {
    const duk_idx_t n = duk_get_top(ctx);
    duk_push_current_function(ctx);
    duk_get_prop_string(ctx, -1, kIndex);
    const std::size_t index = duk_get_uint(ctx, -1);
    duk_get_prop_string(ctx, -2, kFunctionName);
    const std::u16string name = u"host." + platform::FromUtf8(duk_get_string_default(ctx, -1, ""));
    duk_pop_3(ctx);
    ScriptHost* host = From(ctx);
    if (index >= host->hostFunctions_.size()) {
        DispatchBinding::PushStatusError(ctx, name, platform::E_UNEXPECTED, -1);
        return true;
    }
    const HostFunction fn = host->hostFunctions_[index];
    std::vector<Variant> args;
    for (duk_idx_t i = 0; i < n; ++i) {
        args.push_back(DispatchBinding::ToVariant(ctx, i));
    }
    Variant result;
    platform::ClearErrorDescription();
    const HRESULT hr = fn(args, result);
    if (platform::FAILED(hr)) {
        DispatchBinding::PushStatusError(ctx, name, hr, -1);
        return true;
    }
    DispatchBinding::PushVariant(ctx, result);
    return false;
}

duk_ret_t ScriptHost::CallHostFunction(duk_context* ctx) {
    const bool failed = InvokeHostFunction(ctx);
    return failed ? duk_throw(ctx) : 1;
}

}  // namespace scripthost
