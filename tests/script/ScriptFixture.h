#pragma once
// A script host on a virtual clock with the sample control as `control`,
// its output and error streams kept for the test to read.

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>

#include "platform/Clock.h"
#include "platform/MessageLoop.h"
#include "script/SampleObjects.h"
#include "scripthost/ScriptHost.h"

namespace scripttest {

// The expected output of a page: each line followed by a line feed.
inline std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

class ScriptFixture : public ::testing::Test {
  protected:
    ScriptFixture() : loop(clock), host(loop, out, err) {
        control = MakeRef<SampleControl>();
        EXPECT_TRUE(
            host.AddObject("control", control,
                           scripthost::EventSource{&control->events, SampleControl::Events()}));
    }

    // Runs page text and then the loop for at most timeoutMs of virtual time.
    int RunPage(const std::string& source, std::int64_t timeoutMs = 1000) {
        host.LoadString(source, "page.js");
        return host.Run(timeoutMs);
    }

    VirtualClock clock;
    MessageLoop loop;
    std::ostringstream out;
    std::ostringstream err;
    ComPtr<SampleControl> control;
    scripthost::ScriptHost host;
};

}  // namespace scripttest
