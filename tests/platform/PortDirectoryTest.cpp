#include "platform/PortDirectory.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

TEST(PortDirectory, EntryNIsPortNAndEmptyEntriesLeaveGaps) {
    const PortDirectory directory(QStringLiteral("/dev/ttyS0::/tmp/unit").split(QLatin1Char(':')));
    EXPECT_EQ(directory.deviceFor(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(directory.deviceFor(2), QString());
    EXPECT_EQ(directory.deviceFor(3), QStringLiteral("/tmp/unit"));
    EXPECT_EQ(directory.deviceFor(4), QString());
    EXPECT_EQ(directory.deviceFor(0), QString());
    EXPECT_EQ(directory.deviceFor(21), QString());
}

TEST(PortDirectory, EnvironmentListWins) {
    qputenv("TARQUEL_PORTS", "/dev/pts/7:/dev/pts/9");
    const PortDirectory directory = PortDirectory::fromEnvironment();
    qunsetenv("TARQUEL_PORTS");
    EXPECT_EQ(directory.deviceFor(2), QStringLiteral("/dev/pts/9"));
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
