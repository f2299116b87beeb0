#include "platform/windows/nvme_query.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/little_endian.h"
#include "platform/windows/windows_drive_recording.h"

namespace platform {
namespace {

using drive_testing::ProtocolDataReply;
using drive_testing::ProtocolReplyLayout;

std::vector<std::uint8_t> Page(std::size_t bytes) {
    std::vector<std::uint8_t> page(bytes);
    for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return page;
}

TEST(NvmeQuery, IdentifyControllerAsksTheAdapter) {
    const NvmeQuery query = BuildNvmeIdentifyControllerQuery();
    ASSERT_EQ(query.request.size(), 8u + 40u + 4096u);
    EXPECT_EQ(base::ReadLe32(query.request, 0), 49u);  // StorageAdapterProtocolSpecificProperty
    EXPECT_EQ(base::ReadLe32(query.request, 4), 0u);   // PropertyStandardQuery
    EXPECT_EQ(base::ReadLe32(query.request, 8), 3u);   // ProtocolTypeNvme
    EXPECT_EQ(base::ReadLe32(query.request, 12), 1u);  // NVMeDataTypeIdentify
    EXPECT_EQ(base::ReadLe32(query.request, 16), 1u);  // CNS 01h, Identify Controller
    EXPECT_EQ(base::ReadLe32(query.request, 20), 0u);
    EXPECT_EQ(base::ReadLe32(query.request, 24), 40u);    // data right after the 40-byte structure
    EXPECT_EQ(base::ReadLe32(query.request, 28), 4096u);  // ProtocolDataLength
    for (std::size_t i = 32; i < query.request.size(); ++i) ASSERT_EQ(query.request[i], 0) << i;
    EXPECT_EQ(query.replyBytes, 48u + 4096u);
    EXPECT_EQ(query.dataBytes, 4096u);
}

TEST(NvmeQuery, IdentifyNamespaceAsksTheDeviceWithTheNamespaceId) {
    const NvmeQuery query = BuildNvmeIdentifyNamespaceQuery(1);
    ASSERT_EQ(query.request.size(), 8u + 40u + 4096u);
    EXPECT_EQ(base::ReadLe32(query.request, 0), 50u);  // StorageDeviceProtocolSpecificProperty
    EXPECT_EQ(base::ReadLe32(query.request, 4), 0u);   // PropertyStandardQuery
    EXPECT_EQ(base::ReadLe32(query.request, 8), 3u);   // ProtocolTypeNvme
    EXPECT_EQ(base::ReadLe32(query.request, 12), 1u);  // NVMeDataTypeIdentify
    EXPECT_EQ(base::ReadLe32(query.request, 16), 0u);  // CNS 00h, a specific namespace
    EXPECT_EQ(base::ReadLe32(query.request, 20), 1u);  // ProtocolDataRequestSubValue: NSID 1
    EXPECT_EQ(base::ReadLe32(query.request, 24), 40u);
    EXPECT_EQ(base::ReadLe32(query.request, 28), 4096u);
    for (std::size_t i = 32; i < query.request.size(); ++i) ASSERT_EQ(query.request[i], 0) << i;
    EXPECT_EQ(query.replyBytes, 48u + 4096u);
    EXPECT_EQ(query.dataBytes, 4096u);
}

TEST(NvmeQuery, LogPageAsksTheDeviceFromOffsetZero) {
    const NvmeQuery query = BuildNvmeLogPageQuery(0x02, 512);
    ASSERT_EQ(query.request.size(), 8u + 40u + 512u);
    EXPECT_EQ(base::ReadLe32(query.request, 0), 50u);  // StorageDeviceProtocolSpecificProperty
    EXPECT_EQ(base::ReadLe32(query.request, 4), 0u);
    EXPECT_EQ(base::ReadLe32(query.request, 8), 3u);
    EXPECT_EQ(base::ReadLe32(query.request, 12), 2u);  // NVMeDataTypeLogPage
    EXPECT_EQ(base::ReadLe32(query.request, 16), 2u);  // log identifier
    EXPECT_EQ(base::ReadLe32(query.request, 20), 0u);  // offset into the log, low 32 bits
    EXPECT_EQ(base::ReadLe32(query.request, 24), 40u);
    EXPECT_EQ(base::ReadLe32(query.request, 28), 512u);
    for (std::size_t i = 32; i < query.request.size(); ++i) ASSERT_EQ(query.request[i], 0) << i;
    EXPECT_EQ(query.replyBytes, 560u);
    EXPECT_EQ(BuildNvmeLogPageQuery(0xC0, 512).request[16], 0xC0);
}

TEST(NvmeQuery, DataIsFoundAtItsOffsetFromTheProtocolData) {
    const auto page = Page(512);
    const auto reply = ProtocolDataReply(page);
    const auto data = NvmeDataFromReply(reply, 512);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->data(), reply.data() + 48);
    EXPECT_TRUE(std::equal(data->begin(), data->end(), page.begin(), page.end()));

    // Further along, and with Size counting the data too.
    const auto padded = ProtocolDataReply(page, {48, 560 + 16, 56, std::nullopt});
    const auto later = NvmeDataFromReply(padded, 512);
    ASSERT_TRUE(later);
    EXPECT_EQ(later->data(), padded.data() + 64);
    EXPECT_TRUE(std::equal(later->begin(), later->end(), page.begin(), page.end()));
}

TEST(NvmeQuery, ForeignDescriptorsAreRefused) {
    const auto page = Page(512);
    EXPECT_FALSE(NvmeDataFromReply(ProtocolDataReply(page, {40, 48, 40, {}}), 512));  // Version
    EXPECT_FALSE(NvmeDataFromReply(ProtocolDataReply(page, {0, 48, 40, {}}), 512));
    EXPECT_FALSE(NvmeDataFromReply(ProtocolDataReply(page, {48, 47, 40, {}}), 512));  // Size
    EXPECT_FALSE(NvmeDataFromReply(ProtocolDataReply(page, {48, 0, 40, {}}), 512));
}

TEST(NvmeQuery, LengthMustBeThePagesOwn) {
    const auto page = Page(512);
    EXPECT_FALSE(NvmeDataFromReply(ProtocolDataReply(page), 4096));
    EXPECT_FALSE(NvmeDataFromReply(ProtocolDataReply(page, {48, 48, 40, 511}), 512));
    EXPECT_FALSE(NvmeDataFromReply(ProtocolDataReply(page, {48, 48, 40, 0}), 512));
    // A length larger than asked for is refused even when the bytes are there.
    const auto bigger = Page(600);
    EXPECT_FALSE(NvmeDataFromReply(ProtocolDataReply(bigger), 512));
}

TEST(NvmeQuery, DataMustLieInsideTheBytesReturned) {
    const auto page = Page(512);
    const auto reply = ProtocolDataReply(page);
    EXPECT_FALSE(NvmeDataFromReply(std::span(reply).first(reply.size() - 1), 512));
    EXPECT_FALSE(NvmeDataFromReply(std::span(reply).first(48), 512));
    EXPECT_FALSE(NvmeDataFromReply(std::span(reply).first(47), 512));
    EXPECT_FALSE(NvmeDataFromReply({}, 512));

    // Offsets that point into the structure itself, past the reply, or wrap around.
    auto lying = reply;
    base::StoreLe32(lying, 24, 39);
    EXPECT_FALSE(NvmeDataFromReply(lying, 512));
    base::StoreLe32(lying, 24, 0);
    EXPECT_FALSE(NvmeDataFromReply(lying, 512));
    base::StoreLe32(lying, 24, 41);
    EXPECT_FALSE(NvmeDataFromReply(lying, 512));
    base::StoreLe32(lying, 24, 0xFFFFFFF0);
    EXPECT_FALSE(NvmeDataFromReply(lying, 512));
    base::StoreLe32(lying, 24, 40);
    base::StoreLe32(lying, 28, 0xFFFFFE00);
    EXPECT_FALSE(NvmeDataFromReply(lying, 0xFFFFFE00));
}

}  // namespace
}  // namespace platform
