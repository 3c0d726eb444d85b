// The EEPROM map file loader on arbitrary bytes, against both live map prefixes and none. A
// loaded map must have its family's page count and cells no longer than a kept line; a failure
// must carry a message box.
#include "maptool/MapFile.h"

#include <cstddef>
#include <cstdint>

namespace {

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const char* prefix : {"B6", "16", ""}) {
        const tarquel::SavedMapLoad load = tarquel::parseSavedMap(bytes, QLatin1String(prefix));
        if (!load.ok) {
            check(!load.message.prompt.isEmpty() && !load.message.title.isEmpty());
            check(load.message.prompt.size() < 2 * tarquel::kMaxMapFileLine);
            continue;
        }
        check(load.map.size() == (prefix[0] == 'B' ? 1U : 3U));
        for (const tarquel::MapPage& page : load.map) {
            for (const auto& row : page.cells) {
                for (const QString& cell : row) {
                    check(cell.size() <= tarquel::kMaxMapFileLine);
                }
            }
        }
    }
    return 0;
}
