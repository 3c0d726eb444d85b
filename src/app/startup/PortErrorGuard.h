#pragma once

#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/MessageBoxes.h"

#include <QString>
#include <initializer_list>
#include <utility>
#include <vector>

namespace tarquel {

// The error policy of one start-up routine around its serial-port operations. An operation that
// fails with one of the retried error numbers is run again after 100 ms; every such failure
// counts against a limit shared by all operations run through the same guard. The failure that
// reaches the limit, or any other error, is reported in a message box without title or icon
// ("Error Number ... has occurred in <place>. Please contact Corvane Industries.") and the
// routine must end at once.
class PortErrorGuard {
public:
    static constexpr int kRetryPauseMs = 100;

    PortErrorGuard(Clock& clock, MessageBoxes& boxes, QString place, int failureLimit,
                   std::initializer_list<int> retried)
        : clock_(clock),
          boxes_(boxes),
          place_(std::move(place)),
          failureLimit_(failureLimit),
          retried_(retried) {}

    // Runs op until it succeeds. False once an error has been reported.
    template <typename Op>
    bool run(Op&& op) {
        for (;;) {
            try {
                op();
                return true;
            } catch (const RuntimeError& error) {
                if (!retryAfter(error)) {
                    return false;
                }
            }
        }
    }

    int failures() const { return failures_; }

private:
    bool retryAfter(const RuntimeError& error) {
        bool retried = false;
        for (const int number : retried_) {
            retried = retried || number == error.number();
        }
        if (retried && ++failures_ < failureLimit_) {
            clock_.delay(kRetryPauseMs);
            return true;
        }
        boxes_.show({programErrorText(error, place_), QString(), MsgIcon::None, MsgButtons::OK});
        return false;
    }

    Clock& clock_;
    MessageBoxes& boxes_;
    QString place_;
    int failureLimit_;
    std::vector<int> retried_;
    int failures_ = 0;
};

}  // namespace tarquel
