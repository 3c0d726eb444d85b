#pragma once

namespace tarquel {

// The unit's output format as the PC works with it (dataFormat): decimal or binary frames.
// Unknown until the start-up report or a command has set it.
enum class DataFormat { Unknown = 0, Decimal = 1, Binary = 2 };

}  // namespace tarquel
