#include <gtest/gtest.h>

#include "host/Resources.h"
#include "station/SX_ErrorLogger.h"

TEST(SX_ErrorLogger, OrderFlagAndClearing) {
    host::Resources res;
    SX_ErrorLogger log;
    EXPECT_FALSE(log.HasError());
    EXPECT_EQ(log.GetMessages(), u"");
    log.AddMessage(u"first");
    log.AddMessage(112, res);
    EXPECT_TRUE(log.HasError());
    EXPECT_EQ(log.GetMessages(), u"first\nDataSet class failed initialization.\n");
    // Clearing the flag keeps the list but hides it from the panel text.
    log.ClearErrorFlag();
    EXPECT_EQ(log.GetMessages(), u"");
    EXPECT_EQ(log.Messages().size(), 2u);
    log.AddMessage(u"third");
    EXPECT_EQ(log.GetMessages(), u"first\nDataSet class failed initialization.\nthird\n");
    log.ClearMessages();
    EXPECT_FALSE(log.HasError());
    EXPECT_TRUE(log.Messages().empty());
}
