// The drive code builds and reads the driver's structures as bytes, with sizes and offsets
// of its own (smart_ioctl.h, storage_query.h, nvme_query.h). Here each of them is held
// against the system headers, so a build for Windows fails the moment one disagrees.
#include <windows.h>
#include <winioctl.h>
// After windows.h, whose types it uses.
#include <nvme.h>

#include <cstddef>

#include "platform/nvme_commands.h"
#include "platform/windows/nvme_query.h"
#include "platform/windows/smart_ioctl.h"
#include "platform/windows/storage_query.h"
#include "platform/windows/windows_drive.h"

namespace platform {
namespace {

// The control codes.
static_assert(kIoctlSmartGetVersion == SMART_GET_VERSION);
static_assert(kIoctlSmartSendDriveCommand == SMART_SEND_DRIVE_COMMAND);
static_assert(kIoctlSmartRcvDriveData == SMART_RCV_DRIVE_DATA);
static_assert(kIoctlStorageQueryProperty == IOCTL_STORAGE_QUERY_PROPERTY);
static_assert(SMART_GET_VERSION == 0x74080 && SMART_SEND_DRIVE_COMMAND == 0x7C084 &&
              SMART_RCV_DRIVE_DATA == 0x7C088);

// The version record and its capability bits.
static_assert(sizeof(GETVERSIONINPARAMS) == kGetVersionInParamsBytes);
static_assert(kGetVersionInParamsBytes == kSmartVersionBytes);
static_assert(offsetof(GETVERSIONINPARAMS, fCapabilities) == kSmartVersionCapsOffset);
static_assert(kCapAtaIdCmd == CAP_ATA_ID_CMD && kCapSmartCmd == CAP_SMART_CMD);

// IDEREGS, in the order BuildSendCmdInParams writes it.
static_assert(sizeof(IDEREGS) == kIdeRegsBytes);
static_assert(offsetof(IDEREGS, bFeaturesReg) == 0 && offsetof(IDEREGS, bSectorCountReg) == 1 &&
              offsetof(IDEREGS, bSectorNumberReg) == 2 && offsetof(IDEREGS, bCylLowReg) == 3 &&
              offsetof(IDEREGS, bCylHighReg) == 4 && offsetof(IDEREGS, bDriveHeadReg) == 5 &&
              offsetof(IDEREGS, bCommandReg) == 6 && offsetof(IDEREGS, bReserved) == 7);

static_assert(sizeof(SENDCMDINPARAMS) == kSendCmdInParamsBytes);
static_assert(offsetof(SENDCMDINPARAMS, cBufferSize) == kSendCmdInBufferSizeOffset);
static_assert(offsetof(SENDCMDINPARAMS, irDriveRegs) == kSendCmdInRegsOffset);
static_assert(offsetof(SENDCMDINPARAMS, bDriveNumber) == kSendCmdInDriveNumberOffset);
static_assert(offsetof(SENDCMDINPARAMS, bBuffer) == kSendCmdInBufferOffset);

static_assert(sizeof(DRIVERSTATUS) == kDriverStatusBytes);
static_assert(offsetof(DRIVERSTATUS, bDriverError) == kDriverStatusDriverErrorOffset);
static_assert(offsetof(DRIVERSTATUS, bIDEError) == kDriverStatusIdeErrorOffset);
static_assert(sizeof(SENDCMDOUTPARAMS) == kSendCmdOutParamsBytes);
static_assert(offsetof(SENDCMDOUTPARAMS, cBufferSize) == kSendCmdOutBufferSizeOffset);
static_assert(offsetof(SENDCMDOUTPARAMS, DriverStatus) == kSendCmdOutDriverStatusOffset);
static_assert(offsetof(SENDCMDOUTPARAMS, bBuffer) == kSendCmdOutBufferOffset);
static_assert(kSmartIdentifyReplyBytes == sizeof(SENDCMDOUTPARAMS) - 1 + IDENTIFY_BUFFER_SIZE);
static_assert(kAtaSectorBytes == IDENTIFY_BUFFER_SIZE &&
              kAtaSectorBytes == READ_ATTRIBUTE_BUFFER_SIZE);

// STORAGE_PROPERTY_QUERY and the standard device descriptor.
static_assert(kStorageDeviceProperty == StorageDeviceProperty);
static_assert(kStorageAdapterProtocolSpecificProperty == StorageAdapterProtocolSpecificProperty);
static_assert(kStorageDeviceProtocolSpecificProperty == StorageDeviceProtocolSpecificProperty);
static_assert(kPropertyStandardQuery == PropertyStandardQuery);
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == kPropertyQueryBytes);
static_assert(offsetof(STORAGE_PROPERTY_QUERY, PropertyId) == kPropertyQueryPropertyIdOffset);
static_assert(offsetof(STORAGE_PROPERTY_QUERY, QueryType) == kPropertyQueryQueryTypeOffset);
static_assert(offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters) ==
              kPropertyQueryParametersOffset);
static_assert(sizeof(STORAGE_PROPERTY_ID) == 4 && sizeof(STORAGE_QUERY_TYPE) == 4);

static_assert(sizeof(STORAGE_DEVICE_DESCRIPTOR) == kDeviceDescriptorBytes);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, Version) == kDeviceDescriptorVersionOffset);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, Size) == kDeviceDescriptorSizeOffset);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, RemovableMedia) ==
              kDeviceDescriptorRemovableMediaOffset);
static_assert(sizeof(STORAGE_DEVICE_DESCRIPTOR::RemovableMedia) == 1);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) == kDeviceDescriptorBusTypeOffset);
static_assert(sizeof(STORAGE_BUS_TYPE) == 4);
static_assert(kBusTypeAta == BusTypeAta && kBusTypeSata == BusTypeSata &&
              kBusTypeNvme == BusTypeNvme);
static_assert(kBusTypeUnknown == BusTypeUnknown && kBusTypeScsi == BusTypeScsi &&
              kBusTypeUsb == BusTypeUsb && kBusTypeRaid == BusTypeRAID);

// The protocol-specific queries.
static_assert(kProtocolTypeNvme == ProtocolTypeNvme);
static_assert(kNvmeDataTypeIdentify == NVMeDataTypeIdentify);
static_assert(kNvmeDataTypeLogPage == NVMeDataTypeLogPage);
static_assert(kNvmeCnsController == NVME_IDENTIFY_CNS_CONTROLLER);
static_assert(kNvmeCnsNamespace == NVME_IDENTIFY_CNS_SPECIFIC_NAMESPACE);
static_assert(sizeof(STORAGE_PROTOCOL_TYPE) == 4);
static_assert(sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA) == kProtocolSpecificDataBytes);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolType) ==
              kProtocolDataProtocolTypeOffset);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, DataType) == kProtocolDataDataTypeOffset);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestValue) ==
              kProtocolDataRequestValueOffset);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestSubValue) ==
              kProtocolDataRequestSubValueOffset);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataOffset) ==
              kProtocolDataDataOffsetOffset);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataLength) ==
              kProtocolDataDataLengthOffset);
static_assert(sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR) == kProtocolDataDescriptorBytes);
static_assert(offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, Version) ==
              kProtocolDescriptorVersionOffset);
static_assert(offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, Size) == kProtocolDescriptorSizeOffset);
static_assert(offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData) ==
              kProtocolDescriptorDataOffset);

// The error codes the drive layer reports itself.
static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(kErrorInvalidData == ERROR_INVALID_DATA);
static_assert(kErrorNotSupported == ERROR_NOT_SUPPORTED);
static_assert(kErrorIoDevice == ERROR_IO_DEVICE);

}  // namespace
}  // namespace platform
