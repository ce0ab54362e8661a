#pragma once
// Runs a page (a JavaScript file, ES5.1 on Duktape) against automation
// objects on the window thread.
//
// The page sees the objects added with AddObject as globals (DispatchBinding.h
// says how members read), `attachEvent(name, fn)` / `detachEvent(name, fn)`
// on objects added with events, and `host`:
//   host.quit(code)             ends the run with that exit code (default 0)
//   host.log(text, ...)         one line on the output stream
//   host.setTimeout(fn, ms, ...args) -> id,  host.clearTimeout(id)
//   host.lastStatus             status of the last call of an object member
//   host.answerMessageBox(r)    queues the answer of the next message box
//   host.messageBoxes()         [{caption, text, type, result}, ...] so far
// plus the functions added with AddHostFunction.
//
// Everything runs on the loop's thread: timers are timers of the loop (one
// window of the host's own), event handlers run inside the firing, in the
// order they were attached (one connection per attachEvent; attaching the
// same function to the same event again changes nothing).
//
// Outcome: the first of host.quit (its code), an uncaught error in the page,
// a timer or a handler (kExitScriptError, reported on the error stream as
// "FILE:LINE: Error: message"), or the time-out of Run (kExitTimeout). Once
// decided it does not change, and no timer or handler runs any more; the
// code that called host.quit runs to its end (an error there is still
// reported).

#include <duktape.h>

#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Dispatchable.h"
#include "platform/MessageLoop.h"
#include "scripthost/DispatchBinding.h"
#include "scripthost/EventTable.h"
#include "scripthost/ScriptedMessageBoxes.h"

namespace scripthost {

class ScriptHost final : private BindingOwner {
  public:
    static constexpr int kExitScriptError = 3;
    static constexpr int kExitTimeout = 4;

    // A function on `host`: its arguments converted as for object members;
    // a failure status throws as a failing member does ("host.NAME: STATUS").
    using HostFunction = std::function<platform::HRESULT(std::span<const platform::Variant> args,
                                                         platform::Variant& result)>;

    // On the loop's thread. The streams get host.log lines (out), error
    // reports and the message-box log (err).
    explicit ScriptHost(platform::MessageLoop& loop, std::ostream& out = std::cout,
                        std::ostream& err = std::cerr);
    ~ScriptHost() override;
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;

    // A global object; false for an empty or taken name or a null object.
    bool AddObject(std::string_view name, platform::ComPtr<platform::Dispatchable> object,
                   EventSource events = {});
    // host.NAME; false for an empty or taken name.
    bool AddHostFunction(std::string_view name, HostFunction fn);

    // Runs a page file. Its folder (with a trailing "/") becomes the base
    // location. False when the file cannot be read or the page fails; either
    // ends the run with kExitScriptError.
    bool LoadFile(const std::string& path);
    // Runs page text; `name` is the file name errors are reported with.
    bool LoadString(std::string_view source, std::string_view name = "page.js");

    // Where the page came from, for resolving the locations it uses.
    const std::u16string& BaseLocation() const { return base_; }
    void SetBaseLocation(std::u16string base) { base_ = std::move(base); }

    // Runs the loop until the outcome is decided or timeoutMs passes on the
    // loop's clock (negative: no limit) and returns the exit code. On a
    // virtual clock the host moves the clock itself, 1 ms at a time while
    // nothing else is pending, so the page's timers and the time-out pass in
    // virtual time without real waiting.
    int Run(std::int64_t timeoutMs);

    bool Finished() const { return finished_; }
    // The exit code once finished (0 before).
    int ExitCode() const { return exitCode_; }
    platform::HRESULT LastStatus() const { return lastStatus_; }

    ScriptedMessageBoxes& MessageBoxes() { return boxes_; }
    platform::MessageLoop& Loop() { return loop_; }
    // The engine, for host extensions that need more than AddHostFunction.
    duk_context* Context() { return ctx_; }

    // Ends the run with kExitScriptError after reporting the error value at
    // the top of the stack (which is popped).
    void FailWithError(const char* where);

  private:
    class TimerWindow;
    struct Handler {
        int source = 0;
        platform::DISPID id = 0;
        std::uint32_t cookie = 0;
        std::uint32_t key = 0;
    };

    static ScriptHost* From(duk_context* ctx);
    static duk_ret_t Quit(duk_context* ctx);
    static duk_ret_t Log(duk_context* ctx);
    static duk_ret_t SetTimeout(duk_context* ctx);
    static duk_ret_t ClearTimeout(duk_context* ctx);
    static duk_ret_t GetLastStatus(duk_context* ctx);
    static duk_ret_t AnswerMessageBox(duk_context* ctx);
    static duk_ret_t GetMessageBoxes(duk_context* ctx);
    static duk_ret_t CallHostFunction(duk_context* ctx);
    static bool InvokeHostFunction(duk_context* ctx);

    void SetLastStatus(platform::HRESULT hr) override { lastStatus_ = hr; }
    bool AttachEvent(duk_context* ctx, int source) override;
    bool DetachEvent(duk_context* ctx, int source) override;
    // The index in handlers_ of that function on that event, or -1.
    int FindHandler(int source, platform::DISPID id, duk_idx_t fn);
    platform::HRESULT CallHandler(std::uint32_t key, const std::string& where,
                                  const std::vector<platform::Variant>& args);
    void OnTimer(std::uint32_t timerId);

    void Finish(int code);
    // Calls the function below nargs arguments on the stack; a thrown error
    // is reported and fails the run. Pops everything; false on an error.
    bool SafeCall(duk_idx_t nargs, const char* where);
    void StashPut(const char* table, std::uint32_t key);  // pops the value
    bool StashGet(const char* table, std::uint32_t key);  // pushes it
    void StashDelete(const char* table, std::uint32_t key);

    platform::MessageLoop& loop_;
    std::ostream& out_;
    std::ostream& err_;
    ScriptedMessageBoxes boxes_;
    duk_context* ctx_ = nullptr;
    std::unique_ptr<TimerWindow> timers_;
    std::string pageName_ = "page.js";
    std::u16string base_;

    std::vector<platform::ComPtr<platform::Dispatchable>> objects_;
    std::vector<EventSource> sources_;
    std::vector<Handler> handlers_;
    std::vector<HostFunction> hostFunctions_;
    std::uint32_t nextHandlerKey_ = 1;
    std::uint32_t nextTimerId_ = 1;

    platform::HRESULT lastStatus_ = platform::S_OK;
    bool finished_ = false;
    int exitCode_ = 0;
};

}  // namespace scripthost
