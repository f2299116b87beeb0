#include "disk/ata_identify.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/support/test_sectors.h"

namespace {

// Runs FixAtaString over `swapped` (bytes as the drive stores them) and returns the text.
std::string Fixed(std::vector<std::uint8_t> swapped) {
    disk::FixAtaString(swapped);
    return disk::FieldText(swapped);
}

// `text` stored as an ATA string of `width` bytes, with `pad` after the text.
std::vector<std::uint8_t> Stored(const std::string& text, std::size_t width, char pad = ' ') {
    std::vector<std::uint8_t> field(width, static_cast<std::uint8_t>(pad));
    for (std::size_t i = 0; i < text.size() && i < width; ++i) {
        field[i ^ 1] = static_cast<std::uint8_t>(text[i]);
    }
    return field;
}

TEST(FixAtaString, TrimsBothEndsAndKeepsInnerBlanks) {
    EXPECT_EQ(Fixed(Stored("  ST9100821AS" + std::string(27, ' '), 40)), "ST9100821AS");
    EXPECT_EQ(Fixed(Stored("WDC WD2500JB-00REA0", 40)), "WDC WD2500JB-00REA0");
    EXPECT_EQ(Fixed(Stored("\t\r\n\v\fX1 \t", 10)), "X1");
    EXPECT_EQ(Fixed(Stored("        37RSDEADBEEF", 20)), "37RSDEADBEEF");
}

TEST(FixAtaString, FullWidthFieldsKeepEveryCharacter) {
    const std::string model40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";
    const std::string serial20 = "A45A078A198600476509";
    EXPECT_EQ(Fixed(Stored(model40, 40)), model40);
    EXPECT_EQ(Fixed(Stored(serial20, 20)), serial20);
    EXPECT_EQ(Fixed(Stored("SBFM61.2", 8)), "SBFM61.2");
}

TEST(FixAtaString, EmptyWhenOnlyBlanksOrNuls) {
    EXPECT_EQ(Fixed(Stored("", 20)), "");
    EXPECT_EQ(Fixed(Stored("", 20, '\0')), "");
    EXPECT_EQ(Fixed(Stored(" ", 8, '\0')), "");
    EXPECT_EQ(Fixed({}), "");
}

TEST(FixAtaString, StopsAtTheFirstNul) {
    EXPECT_EQ(Fixed(Stored("2.9.09", 8, '\0')), "2.9.09");
    // Characters after a NUL are not part of the text.
    std::vector<std::uint8_t> field = Stored("AB", 8);
    field[7] = 'Z';  // character 6, stored swapped
    field[3] = 0;    // character 2
    disk::FixAtaString(field);
    EXPECT_EQ(field, (std::vector<std::uint8_t>{'A', 'B', 0, 0, 0, 0, 0, 0}));
}

TEST(FixAtaString, WritesTheTextBackAndClearsTheRest) {
    std::vector<std::uint8_t> field = Stored("  FW1", 8);
    disk::FixAtaString(field);
    EXPECT_EQ(field, (std::vector<std::uint8_t>{'F', 'W', '1', 0, 0, 0, 0, 0}));
    // An odd-sized field: the lone last byte is no character.
    std::vector<std::uint8_t> odd = {'B', 'A', 'D', 'C', 'E'};
    disk::FixAtaString(odd);
    EXPECT_EQ(odd, (std::vector<std::uint8_t>{'A', 'B', 'C', 'D', 0}));
}

TEST(ConvertIdentifyStrings, FieldsEndAtTheirBoundaries) {
    // Firmware and model lie side by side (bytes 46-53, 54-93): a full firmware field must
    // not run on into the model, nor a full serial into what follows it.
    std::vector<std::uint8_t> sector = disktest::IdentifySector(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd", "SERIAL67890123456789", "FW345678");
    sector[44] = 'x';  // word 22, between serial and firmware
    sector[45] = 'y';
    std::array<std::uint8_t, disk::kIdentifyKeptBytes> identify{};
    std::copy_n(sector.begin(), identify.size(), identify.begin());

    const disk::AtaIdentity identity = disk::ConvertIdentifyStrings(identify);
    EXPECT_EQ(identity.strModel, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd");
    EXPECT_EQ(identity.strSerial, "SERIAL67890123456789");
    EXPECT_EQ(identity.strFirmware, "FW345678");
    EXPECT_EQ(identify[46], 'F');  // converted in place
    EXPECT_EQ(identify[44], 'x');  // bytes outside the three fields untouched
    EXPECT_EQ(identify[0], 0x40);
}

}  // namespace
