#include "platform/windows/storage_query.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/little_endian.h"
#include "platform/windows/windows_drive_recording.h"

namespace platform {
namespace {

using drive_testing::DeviceDescriptorReply;

TEST(StorageQuery, DeviceDescriptorQueryIsAStandardQueryOfTheDeviceProperty) {
    // PropertyId StorageDeviceProperty (0), QueryType PropertyStandardQuery (0), and the
    // padded AdditionalParameters byte: 12 zero bytes.
    EXPECT_EQ(BuildDeviceDescriptorQuery(), PropertyQuery{});

    std::vector<std::uint8_t> head(8, 0xEE);
    WritePropertyQueryHead(50, 0, head);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{50, 0, 0, 0, 0, 0, 0, 0}));
}

std::optional<std::uint32_t> ReadDeviceBusType(std::span<const std::uint8_t> reply) {
    const auto facts = ReadDeviceDescriptor(reply);
    if (!facts) return std::nullopt;
    return facts->busType;
}

TEST(StorageQuery, BusTypeIsReadFromAWholeDescriptor) {
    EXPECT_EQ(ReadDeviceBusType(DeviceDescriptorReply(17)), 17u);
    EXPECT_EQ(ReadDeviceBusType(DeviceDescriptorReply(11)), 11u);

    // The strings after the structure may not have fitted: Size above the bytes returned is
    // what a short buffer looks like, and BusType is still there.
    auto truncated = DeviceDescriptorReply(17);
    base::StoreLe32(truncated, 4, 300);
    EXPECT_EQ(ReadDeviceBusType(truncated), 17u);

    // A driver whose structure stops at BusType.
    auto older = DeviceDescriptorReply(17);
    base::StoreLe32(older, 0, 32);
    EXPECT_EQ(ReadDeviceBusType(std::span(older).first(32)), 17u);
}

TEST(StorageQuery, BusTypeIsNotReadPastWhatCame) {
    const auto reply = DeviceDescriptorReply(17);
    EXPECT_FALSE(ReadDeviceBusType(std::span(reply).first(31)));
    EXPECT_FALSE(ReadDeviceBusType({}));

    auto shortVersion = reply;
    base::StoreLe32(shortVersion, 0, 28);  // the driver's structure ends before BusType
    EXPECT_FALSE(ReadDeviceBusType(shortVersion));
    auto shortSize = reply;
    base::StoreLe32(shortSize, 4, 0);
    EXPECT_FALSE(ReadDeviceBusType(shortSize));
}

}  // namespace
}  // namespace platform
