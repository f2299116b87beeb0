#include "disk/ata_identify.h"

#include <algorithm>

namespace disk {
namespace {

bool IsAtaBlank(std::uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

void FixAtaString(std::span<std::uint8_t> field) {
    const std::size_t chars = field.size() / 2 * 2;
    for (std::size_t k = 0; k < chars; k += 2) std::swap(field[k], field[k + 1]);

    std::size_t end = std::find(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(chars),
                                std::uint8_t{0}) -
                      field.begin();
    std::size_t begin = 0;
    while (begin < end && IsAtaBlank(field[begin])) ++begin;
    while (end > begin && IsAtaBlank(field[end - 1])) --end;

    const std::size_t length = end - begin;
    std::copy(field.begin() + static_cast<std::ptrdiff_t>(begin),
              field.begin() + static_cast<std::ptrdiff_t>(end), field.begin());
    std::fill(field.begin() + static_cast<std::ptrdiff_t>(length), field.end(), std::uint8_t{0});
}

std::string FieldText(std::span<const std::uint8_t> field) {
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return std::string(field.begin(), end);
}

AtaIdentity ConvertIdentifyStrings(std::span<std::uint8_t, kIdentifyKeptBytes> identify) {
    const auto model = identify.subspan(kModelOffset, kModelBytes);
    const auto serial = identify.subspan(kSerialOffset, kSerialBytes);
    const auto firmware = identify.subspan(kFirmwareOffset, kFirmwareBytes);
    FixAtaString(model);
    FixAtaString(serial);
    FixAtaString(firmware);
    return {FieldText(model), FieldText(serial), FieldText(firmware)};
}

}  // namespace disk
