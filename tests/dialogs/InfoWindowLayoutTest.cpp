#include "dialogs/InfoWindowLayout.h"

#include <gtest/gtest.h>
#include <vector>

namespace tarquel {
namespace {

using namespace InfoFlags;

// --- flags, captions and countdown (result codes are tested through the window) ---

TEST(InfoWindowFlags, FieldsAndTheirFallbacks) {
    const int flags = IconInformation | ButtonsYesNo | defaultButton(1);
    EXPECT_EQ(infoIconNumber(flags), 4);
    EXPECT_EQ(infoButtonSet(flags), InfoButtonSet::YesNo);
    EXPECT_EQ(infoDefaultIndex(flags, 2), 1);
    EXPECT_EQ(infoIconNumber(ButtonsCustom | defaultButton(15)), 0);
    // A set number past the four known ones still gives a button to close the window with.
    EXPECT_EQ(infoButtonSet(0x40), InfoButtonSet::OK);

    // A default index past the last button falls back to the first.
    EXPECT_EQ(infoDefaultIndex(ButtonsYesNo | defaultButton(3), 2), 0);
    EXPECT_EQ(infoDefaultIndex(ButtonsYesNo | defaultButton(2), 2), 0);
    EXPECT_EQ(infoDefaultIndex(ButtonsCustom | defaultButton(3), 4), 3);

    // Custom lists are cut to the four buttons; an empty one still gets a button.
    const QStringList custom{"Retry", "Skip", "Abort", "Help", "Extra"};
    EXPECT_EQ(infoButtonCaptions(InfoButtonSet::Custom, custom),
              (QStringList{"Retry", "Skip", "Abort", "Help"}));
    EXPECT_EQ(infoButtonCaptions(InfoButtonSet::Custom, {}), QStringList{"OK"});
}

TEST(InfoWindowCountdown, CaptionPaddingUpToTwelveCharactersThenOneSpace) {
    EXPECT_EQ(countdownCaption("OK", 5), "      OK      5");
    EXPECT_EQ(countdownCaption("Yes", 12), "     Yes     12");  // odd length: floor((14 - 3) / 2)
    EXPECT_EQ(countdownCaption("TwelveChars!", 7), " TwelveChars! 7");
    EXPECT_EQ(countdownCaption("Thirteen char", 9), "Thirteen char 9");
}

// --- layout ---

InfoLayoutInput input(int buttons, int title, int messageWidth, int messageHeight = 195) {
    InfoLayoutInput in;
    in.buttonCount = buttons;
    in.titleWidth = title;
    in.messageWidth = messageWidth;
    in.messageHeight = messageHeight;
    return in;
}

TEST(InfoWindowLayout, OneLineMessageTakesItsWidthFromTitleOrButtons) {
    InfoLayoutInput in = input(1, 3000, 1200);
    in.frameHeight = 405;
    const InfoLayout layout = computeInfoLayout(in);
    EXPECT_EQ(layout.messageWidth, 3500);
    EXPECT_FALSE(layout.wordWrap);
    EXPECT_EQ(layout.windowWidth, 3980);
    EXPECT_DOUBLE_EQ(layout.buttonLefts[0] + InfoDesign::ButtonWidth / 2.0, 3980 / 2.0);
    EXPECT_EQ(layout.buttonTop, 120 + 195 + 120);
    EXPECT_EQ(layout.windowHeight, 405 + 120 + 195 + 120 + 375 + 120);

    struct Case {
        int buttons;
        int title;
        int width;
    };
    const std::vector<Case> cases{{1, 1500, 2500}, {1, 2000, 2500}, {1, 4321, 4821},
                                  {1, 6000, 6500}, {1, 9000, 6500}, {2, 1500, 3120},
                                  {3, 3000, 4560}, {4, 1500, 6000}, {2, 5000, 5500}};
    for (const Case& c : cases) {
        EXPECT_EQ(computeInfoLayout(input(c.buttons, c.title, 100)).messageWidth, c.width)
            << c.buttons << " buttons, title " << c.title;
    }

    // A message wider than the target keeps its own width and height.
    const InfoLayout wide = computeInfoLayout(input(1, 1000, 5200, 390));
    EXPECT_EQ(wide.messageWidth, 5200);
    EXPECT_EQ(wide.windowWidth, 5680);
    EXPECT_EQ(wide.buttonTop, 120 + 390 + 120);
}

TEST(InfoWindowLayout, MessageWiderThan6000Wraps) {
    std::vector<int> asked;
    InfoLayoutInput in = input(1, 3000, 9000);
    in.wrappedMessageHeight = [&asked](int width) {
        asked.push_back(width);
        return width == 6500 ? 390 : 585;
    };
    const InfoLayout layout = computeInfoLayout(in);
    EXPECT_TRUE(layout.wordWrap);
    EXPECT_EQ(layout.messageWidth, 6000);
    EXPECT_EQ(layout.messageHeight, 585);
    EXPECT_EQ(layout.windowWidth, 6480);
    EXPECT_EQ(layout.buttonTop, 120 + 585 + 120);
    EXPECT_FALSE(computeInfoLayout(input(1, 3000, 6000)).wordWrap);

    // Under a title wider than 6000 the wrapped message reflows within 6500.
    in.titleWidth = 7000;
    const InfoLayout wide = computeInfoLayout(in);
    EXPECT_EQ(wide.messageWidth, 6500);
    EXPECT_EQ(wide.messageHeight, 390);
    EXPECT_EQ(wide.windowWidth, 6980);
    EXPECT_EQ(asked, (std::vector<int>{6000, 6500}));
}

TEST(InfoWindowLayout, ButtonsSitSymmetricallyWith120Between) {
    for (int n = 1; n <= 4; ++n) {
        const InfoLayout layout = computeInfoLayout(input(n, 2000, 100));
        const auto left = [&layout](int i) {
            return layout.buttonLefts[static_cast<std::size_t>(i)];
        };
        const double w = InfoDesign::ButtonWidth;
        EXPECT_DOUBLE_EQ(left(0) + left(n - 1) + w, layout.windowWidth) << n << " buttons";
        for (int i = 0; i + 1 < n; ++i) {
            EXPECT_DOUBLE_EQ(left(i + 1) - (left(i) + w), 120) << n << " buttons, after " << i;
        }
    }
}

}  // namespace
}  // namespace tarquel
