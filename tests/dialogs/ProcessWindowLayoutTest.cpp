#include "dialogs/ProcessWindowLayout.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

TEST(ProcessWindowLayout, ATallerMessagePushesPleaseWaitDownAndTheWindowNeverShrinksWhileLoaded) {
    const ProcessLayout design{};
    const ProcessLayout three = resizeForMessage(design, 585);
    struct Case {
        ProcessLayout from;
        int messageHeight, windowHeight, label2Top;
    };
    // Just over one line already counts. After a taller message the text moves up to a shorter
    // one while the window keeps its height.
    const Case cases[] = {{design, 195, 1155, 480}, {design, 0, 1155, 480},
                          {design, 196, 1156, 481}, {design, 585, 1545, 870},
                          {three, 195, 1545, 870},  {three, 390, 1545, 675},
                          {three, 780, 1740, 1065}};
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        const ProcessLayout layout = resizeForMessage(c.from, c.messageHeight);
        EXPECT_EQ(layout.windowHeight, c.windowHeight);
        EXPECT_EQ(layout.label2Top, c.label2Top);
    }
}

}  // namespace
}  // namespace tarquel
