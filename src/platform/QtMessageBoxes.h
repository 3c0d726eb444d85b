#pragma once

#include "platform/MessageBoxes.h"

namespace tarquel {

// Standard modal message boxes, owned by the application's active window.
class QtMessageBoxes : public MessageBoxes {
public:
    MsgAnswer show(const MsgBox& box) override;
};

}  // namespace tarquel
