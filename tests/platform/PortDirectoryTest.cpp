#include "platform/PortDirectory.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

TEST(PortDirectory, TheEnvironmentListMapsEntryNToPortNAndEmptyEntriesLeaveGaps) {
    qputenv("TARQUEL_PORTS", "/dev/ttyS0::/tmp/unit");
    const PortDirectory directory = PortDirectory::fromEnvironment();
    qunsetenv("TARQUEL_PORTS");
    EXPECT_EQ(directory.deviceFor(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(directory.deviceFor(2), QString());
    EXPECT_EQ(directory.deviceFor(3), QStringLiteral("/tmp/unit"));
    EXPECT_EQ(directory.deviceFor(4), QString());
    EXPECT_EQ(directory.deviceFor(0), QString());
}

TEST(PortDirectory, SystemDevicesSortNaturally) {
    const QStringList sorted = PortDirectory::sortedNaturally(
        {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyS10"),
         QStringLiteral("/dev/ttyS2"), QStringLiteral("/dev/ttyS0")});
    EXPECT_EQ(sorted, (QStringList{QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS2"),
                                   QStringLiteral("/dev/ttyS10"), QStringLiteral("/dev/ttyUSB0")}));
}

}  // namespace
}  // namespace tarquel
