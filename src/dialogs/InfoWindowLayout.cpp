#include "dialogs/InfoWindowLayout.h"

#include <algorithm>

namespace tarquel {

int infoIconNumber(int flags) {
    return flags & 0xF;
}

InfoButtonSet infoButtonSet(int flags) {
    switch ((flags >> 4) & 0xF) {
        case 1:
            return InfoButtonSet::OKCancel;
        case 2:
            return InfoButtonSet::YesNo;
        case 3:
            return InfoButtonSet::Custom;
        default:
            return InfoButtonSet::OK;
    }
}

QStringList infoButtonCaptions(InfoButtonSet set, const QStringList& customCaptions) {
    switch (set) {
        case InfoButtonSet::OK:
            return {QStringLiteral("OK")};
        case InfoButtonSet::OKCancel:
            return {QStringLiteral("OK"), QStringLiteral("Cancel")};
        case InfoButtonSet::YesNo:
            return {QStringLiteral("Yes"), QStringLiteral("No")};
        case InfoButtonSet::Custom:
            break;
    }
    if (customCaptions.isEmpty()) {
        return {QStringLiteral("OK")};
    }
    return customCaptions.mid(0, kInfoMaxButtons);
}

int infoDefaultIndex(int flags, int buttonCount) {
    const int index = (flags >> 8) & 0xF;
    return index > buttonCount - 1 ? 0 : index;
}

int infoResultCode(InfoButtonSet set, int buttonIndex) {
    switch (set) {
        case InfoButtonSet::OK:
            return InfoResult::OK;
        case InfoButtonSet::OKCancel:
            return buttonIndex == 0 ? InfoResult::OK : InfoResult::Cancel;
        case InfoButtonSet::YesNo:
            return buttonIndex == 0 ? InfoResult::Yes : InfoResult::No;
        case InfoButtonSet::Custom:
            break;
    }
    return InfoResult::Custom + buttonIndex;
}

QString countdownCaption(const QString& caption, int seconds) {
    const QString count = QString::number(seconds);
    if (caption.size() <= 12) {
        const QString pad(static_cast<int>((14 - caption.size()) / 2), QLatin1Char(' '));
        return pad + caption + pad + count;
    }
    return caption + QLatin1Char(' ') + count;
}

int infoMinimumWidth(int buttonCount) {
    return 6000 - (4 - buttonCount) * 1440;
}

int infoTargetWidth(int titleWidth, int buttonCount) {
    int target = 0;
    if (titleWidth > 6000) {
        target = 6500;
    } else if (titleWidth >= 2000) {
        target = titleWidth + 500;
    } else {
        target = 2500;
    }
    return std::max(target, infoMinimumWidth(buttonCount));
}

InfoLayout computeInfoLayout(const InfoLayoutInput& input) {
    using namespace InfoDesign;
    InfoLayout layout;
    const int n = std::clamp(input.buttonCount, 1, kInfoMaxButtons);
    const int target = infoTargetWidth(input.titleWidth, n);

    layout.messageWidth = input.messageWidth;
    layout.messageHeight = input.messageHeight;
    if (layout.messageWidth > WrapWidth) {
        layout.messageWidth = WrapWidth;
        layout.wordWrap = true;
    }
    layout.messageWidth = std::max(layout.messageWidth, target);
    // A wrapping message reflows within whatever width it ends up with.
    if (layout.wordWrap && input.wrappedMessageHeight) {
        layout.messageHeight = input.wrappedMessageHeight(layout.messageWidth);
    }

    layout.windowWidth = 2 * MessageLeft + layout.messageWidth;
    layout.clientHeight = MessageTop + layout.messageHeight + 120 + ButtonHeight + 120;
    layout.windowHeight = input.frameHeight + layout.clientHeight;

    const double half = layout.windowWidth / 2.0;
    const double w = ButtonWidth;  // all four buttons keep their design width
    for (int i = 0; i < kInfoMaxButtons; ++i) {
        layout.buttonLefts[static_cast<std::size_t>(i)] = ButtonLefts[static_cast<std::size_t>(i)];
    }
    auto& left = layout.buttonLefts;
    switch (n) {
        case 1:
            left[0] = half - w / 2;
            break;
        case 2:
            left[0] = half - 60 - w;
            left[1] = half + 60;
            break;
        case 3:
            left[1] = half - w / 2;
            left[0] = half - w / 2 - 120 - w;
            left[2] = half + w / 2 + 120;
            break;
        default:
            left[0] = half - 180 - w - w;
            left[1] = half - 60 - w;
            left[2] = half + 60;
            left[3] = half + 180 + w;
            break;
    }
    layout.buttonTop = MessageTop + layout.messageHeight + 120;
    return layout;
}

}  // namespace tarquel
