#pragma once

#include <QString>

namespace tarquel {

// What the start-up logic needs from the splash window: its progress line and the
// "Click to skip test" label.
class SplashView {
public:
    virtual ~SplashView() = default;

    // The progress line (lblMessages).
    virtual void setLblMessagesText(const QString& text) = 0;
    // The "Click to skip test" label (lblClick).
    virtual void setLblClickVisible(bool visible) = 0;
    virtual bool lblClickVisible() const = 0;
};

}  // namespace tarquel
