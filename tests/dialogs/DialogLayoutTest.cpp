#include "dialogs/InfoWindowLayout.h"
#include "dialogs/ProcessWindowLayout.h"

#include <gtest/gtest.h>
#include <tuple>

namespace tarquel {
namespace {

using namespace InfoFlags;
using enum InfoButtonSet;

TEST(InfoWindowFlags, FieldsCaptionsResultCodesAndTheirFallbacks) {
    const int flags = IconInformation | ButtonsYesNo | defaultButton(1);
    EXPECT_EQ(infoIconNumber(flags), 4);
    EXPECT_EQ(infoButtonSet(flags), YesNo);
    EXPECT_EQ(infoDefaultIndex(flags, 2), 1);
    EXPECT_EQ(infoIconNumber(ButtonsCustom | defaultButton(15)), 0);
    // A set number past the four known ones still gives a button to close the window with.
    EXPECT_EQ(infoButtonSet(0x40), OK);

    // A default index past the last button falls back to the first.
    EXPECT_EQ(infoDefaultIndex(ButtonsYesNo | defaultButton(2), 2), 0);
    EXPECT_EQ(infoDefaultIndex(ButtonsCustom | defaultButton(3), 4), 3);

    // Custom lists are cut to the four buttons; an empty one still gets a button.
    const QStringList custom{"Retry", "Skip", "Abort", "Help", "Extra"};
    EXPECT_EQ(infoButtonCaptions(Custom, custom), (QStringList{"Retry", "Skip", "Abort", "Help"}));
    EXPECT_EQ(infoButtonCaptions(Custom, {}), QStringList{"OK"});
    EXPECT_EQ(infoButtonCaptions(OK, custom), QStringList{"OK"});
    EXPECT_EQ(infoButtonCaptions(OKCancel, custom), (QStringList{"OK", "Cancel"}));
    EXPECT_EQ(infoButtonCaptions(YesNo, custom), (QStringList{"Yes", "No"}));

    const std::tuple<InfoButtonSet, int, int> codes[] = {
        {OK, 0, 1},    {OKCancel, 0, 1}, {OKCancel, 1, 2}, {YesNo, 0, 6},
        {YesNo, 1, 7}, {Custom, 0, 11},  {Custom, 3, 14}};
    for (const auto& [set, index, code] : codes) {
        EXPECT_EQ(infoResultCode(set, index), code) << static_cast<int>(set) << ", " << index;
    }
}

TEST(InfoWindowCountdown, CaptionPaddingUpToTwelveCharactersThenOneSpace) {
    EXPECT_EQ(countdownCaption("Yes", 12), "     Yes     12");  // odd length: floor((14 - 3) / 2)
    EXPECT_EQ(countdownCaption("TwelveChars!", 7), " TwelveChars! 7");
    EXPECT_EQ(countdownCaption("Thirteen char", 9), "Thirteen char 9");
}

InfoLayoutInput input(int buttons, int title, int messageWidth, int messageHeight = 195,
                      int frameHeight = 0) {
    return {buttons, title, messageWidth, messageHeight, {}, frameHeight};
}

TEST(InfoWindowLayout, OneLineMessageTakesItsWidthFromTitleOrButtons) {
    const InfoLayout layout = computeInfoLayout(input(1, 3000, 1200, 195, 405));
    EXPECT_EQ(layout.windowWidth, 3980);
    EXPECT_EQ(layout.buttonTop, 120 + 195 + 120);
    EXPECT_EQ(layout.windowHeight, 405 + 120 + 195 + 120 + 375 + 120);

    // {buttons, title, message width}: the title's width + 500 within 2500 to 6500, or the
    // buttons' minimum when wider.
    const int cases[][3] = {{1, 1500, 2500}, {1, 4321, 4821}, {1, 9000, 6500}, {2, 1500, 3120},
                            {3, 3000, 4560}, {4, 1500, 6000}, {2, 5000, 5500}};
    for (const auto& c : cases) {
        EXPECT_EQ(computeInfoLayout(input(c[0], c[1], 100)).messageWidth, c[2])
            << c[0] << " buttons, title " << c[1];
    }

    // A message wider than the target keeps its own width and height.
    const InfoLayout wide = computeInfoLayout(input(1, 1000, 5200, 390));
    EXPECT_EQ(wide.messageWidth, 5200);
    EXPECT_EQ(wide.buttonTop, 120 + 390 + 120);
}

TEST(InfoWindowLayout, MessageWiderThan6000Wraps) {
    InfoLayoutInput in = input(1, 3000, 9000);
    in.wrappedMessageHeight = [](int width) { return width == 6500 ? 390 : 585; };
    const InfoLayout layout = computeInfoLayout(in);
    EXPECT_TRUE(layout.wordWrap);
    EXPECT_EQ(layout.messageWidth, 6000);
    EXPECT_EQ(layout.messageHeight, 585);
    EXPECT_FALSE(computeInfoLayout(input(1, 3000, 6000)).wordWrap);

    // Under a title wider than 6000 the wrapped message reflows within 6500.
    in.titleWidth = 7000;
    const InfoLayout wide = computeInfoLayout(in);
    EXPECT_EQ(wide.messageWidth, 6500);
    EXPECT_EQ(wide.messageHeight, 390);
}

TEST(InfoWindowLayout, ButtonsSitSymmetricallyWith120Between) {
    for (int n = 1; n <= 4; ++n) {
        const InfoLayout layout = computeInfoLayout(input(n, 2000, 100));
        const auto& left = layout.buttonLefts;
        const double w = InfoDesign::ButtonWidth;
        EXPECT_DOUBLE_EQ(left[0] + left[n - 1] + w, layout.windowWidth) << n << " buttons";
        for (int i = 0; i + 1 < n; ++i) {
            EXPECT_DOUBLE_EQ(left[i + 1] - (left[i] + w), 120) << n << " buttons, after " << i;
        }
    }
}

TEST(ProcessWindowLayout, ATallerMessagePushesPleaseWaitDownAndTheWindowNeverShrinksWhileLoaded) {
    const ProcessLayout design{};
    const ProcessLayout three = resizeForMessage(design, 585);
    struct Case {
        ProcessLayout from;
        int messageHeight, windowHeight, label2Top;
    };
    // Just over one line already counts. After a taller message the text moves up to a shorter
    // one while the window keeps its height.
    const Case cases[] = {{design, 195, 1155, 480}, {design, 196, 1156, 481},
                          {design, 585, 1545, 870}, {three, 195, 1545, 870},
                          {three, 390, 1545, 675},  {three, 780, 1740, 1065}};
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        const ProcessLayout layout = resizeForMessage(c.from, c.messageHeight);
        EXPECT_EQ(layout.windowHeight, c.windowHeight);
        EXPECT_EQ(layout.label2Top, c.label2Top);
    }
}

}  // namespace
}  // namespace tarquel
