#include "dialogs/ProcessWindowLayout.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

TEST(ProcessWindowLayout, OneLineMessageKeepsTheDesign) {
    for (int height : {195, 150, 0}) {
        const ProcessLayout layout = resizeForMessage(ProcessLayout{}, height);
        EXPECT_EQ(layout.windowHeight, 1155) << height;
        EXPECT_EQ(layout.label2Top, 480) << height;
    }
}

TEST(ProcessWindowLayout, TallerMessagePushesPleaseWaitDownAndGrowsTheWindow) {
    const ProcessLayout three = resizeForMessage(ProcessLayout{}, 585);
    EXPECT_EQ(three.windowHeight, 1545);
    EXPECT_EQ(three.label2Top, ProcessDesign::Label1Top + 750);
    // Just over one line already counts.
    const ProcessLayout justOver = resizeForMessage(ProcessLayout{}, 196);
    EXPECT_EQ(justOver.windowHeight, 1156);
    EXPECT_EQ(justOver.label2Top, 481);
}

TEST(ProcessWindowLayout, WindowNeverShrinksWhileLoaded) {
    const ProcessLayout three = resizeForMessage(ProcessLayout{}, 585);
    const ProcessLayout oneAfter = resizeForMessage(three, 195);
    EXPECT_EQ(oneAfter.windowHeight, 1545);
    EXPECT_EQ(oneAfter.label2Top, 870);

    // A two-line message after it: the text moves up to the message, the window keeps its height.
    const ProcessLayout twoAfter = resizeForMessage(three, 390);
    EXPECT_EQ(twoAfter.windowHeight, 1545);
    EXPECT_EQ(twoAfter.label2Top, 675);

    const ProcessLayout four = resizeForMessage(twoAfter, 780);
    EXPECT_EQ(four.windowHeight, 1740);
    EXPECT_EQ(four.label2Top, 1065);
}

}  // namespace
}  // namespace tarquel
