#include "dialogs/ProcessWindowLayout.h"

#include <algorithm>

namespace tarquel {

ProcessLayout resizeForMessage(const ProcessLayout& current, int label1Height) {
    using namespace ProcessDesign;
    ProcessLayout next = current;
    if (label1Height > Label1Height) {
        next.windowHeight =
            std::max(current.windowHeight, label1Height + WindowHeight - Label1Height);
        next.label2Top = Label1Top + 360 + label1Height - Label1Height;
    }
    return next;
}

}  // namespace tarquel
