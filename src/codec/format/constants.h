// Constants of the Shell Link binary file format, spelled as the published
// format document ([MS-SHLLINK]) spells them; section numbers in comments.
// Shell item values follow the community documentation of shell items.
#pragma once

#include <array>
#include <cstdint>

namespace morvik::codec {

using Guid = std::array<std::uint8_t, 16>;  // as stored: little-endian fields

// Builds a GUID's stored bytes from its usual textual groups.
constexpr Guid make_guid(std::uint32_t d1, std::uint16_t d2, std::uint16_t d3,
                         std::array<std::uint8_t, 8> d4) {
  return {static_cast<std::uint8_t>(d1), static_cast<std::uint8_t>(d1 >> 8),
          static_cast<std::uint8_t>(d1 >> 16), static_cast<std::uint8_t>(d1 >> 24),
          static_cast<std::uint8_t>(d2), static_cast<std::uint8_t>(d2 >> 8),
          static_cast<std::uint8_t>(d3), static_cast<std::uint8_t>(d3 >> 8),
          d4[0], d4[1], d4[2], d4[3], d4[4], d4[5], d4[6], d4[7]};
}

// 2.1 ShellLinkHeader
inline constexpr std::uint32_t kHeaderSize = 0x0000004C;
inline constexpr Guid kLinkCLSID =
    make_guid(0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46});

// 2.1.1 LinkFlags
namespace LinkFlags {
inline constexpr std::uint32_t HasLinkTargetIDList = 1u << 0;
inline constexpr std::uint32_t HasLinkInfo = 1u << 1;
inline constexpr std::uint32_t HasName = 1u << 2;
inline constexpr std::uint32_t HasRelativePath = 1u << 3;
inline constexpr std::uint32_t HasWorkingDir = 1u << 4;
inline constexpr std::uint32_t HasArguments = 1u << 5;
inline constexpr std::uint32_t HasIconLocation = 1u << 6;
inline constexpr std::uint32_t IsUnicode = 1u << 7;
inline constexpr std::uint32_t ForceNoLinkInfo = 1u << 8;
inline constexpr std::uint32_t HasExpString = 1u << 9;
}  // namespace LinkFlags

// 2.1.2 FileAttributesFlags
inline constexpr std::uint32_t FILE_ATTRIBUTE_READONLY = 0x0001;
inline constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x0010;
inline constexpr std::uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x0020;

// 2.1 ShowCommand
inline constexpr std::uint32_t SW_SHOWNORMAL = 0x00000001;

// 2.3 LinkInfo
inline constexpr std::uint32_t kLinkInfoHeaderSizeAnsi = 0x1C;
inline constexpr std::uint32_t kLinkInfoHeaderSizeUnicode = 0x24;
namespace LinkInfoFlags {
inline constexpr std::uint32_t VolumeIDAndLocalBasePath = 1u << 0;
inline constexpr std::uint32_t CommonNetworkRelativeLinkAndPathSuffix = 1u << 1;
}  // namespace LinkInfoFlags

// 2.3.1 VolumeID
inline constexpr std::uint32_t kVolumeIDHeaderSize = 0x10;
inline constexpr std::uint32_t kVolumeLabelOffsetUnicodeMarker = 0x14;
inline constexpr std::uint32_t DRIVE_FIXED = 3;

// 2.3.2 CommonNetworkRelativeLink
inline constexpr std::uint32_t kCommonNetworkRelativeLinkHeaderSize = 0x14;
namespace CommonNetworkRelativeLinkFlags {
inline constexpr std::uint32_t ValidDevice = 1u << 0;
inline constexpr std::uint32_t ValidNetType = 1u << 1;
}  // namespace CommonNetworkRelativeLinkFlags
inline constexpr std::uint32_t WNNC_NET_LANMAN = 0x00020000;

// 2.5 ExtraData block signatures
inline constexpr std::uint32_t EnvironmentVariableDataBlock = 0xA0000001;
inline constexpr std::uint32_t PropertyStoreDataBlock = 0xA0000009;
inline constexpr std::uint32_t kEnvironmentVariableDataBlockSize = 0x314;
inline constexpr std::uint32_t kTerminalBlockMaximum = 0x04;

// [MS-PROPSTORE] serialized property storage
inline constexpr std::uint32_t kPropertyStorageVersion = 0x53505331;  // "1SPS"
inline constexpr Guid kStringNamedFormatID =
    make_guid(0xD5CDD505, 0x2E9C, 0x101B, {0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE});
// PKEY_ParsingPath = {28636AA6-953D-11D2-B5D6-00C04FD918D0}, 30
inline constexpr Guid kParsingPathFormatID =
    make_guid(0x28636AA6, 0x953D, 0x11D2, {0xB5, 0xD6, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0});
inline constexpr std::uint32_t kParsingPathPropertyID = 30;
inline constexpr std::uint16_t VT_LPWSTR = 0x001F;

// Shell items of the LinkTargetIDList
inline constexpr std::uint8_t kRootFolderItem = 0x1F;
inline constexpr std::uint8_t kClassTypeMask = 0x70;
inline constexpr std::uint8_t kVolumeItem = 0x20;
inline constexpr std::uint8_t kVolumeHasName = 0x01;
inline constexpr std::uint8_t kFileEntryItem = 0x30;
inline constexpr std::uint8_t kFileEntryIsDirectory = 0x01;
inline constexpr std::uint8_t kFileEntryIsFile = 0x02;
inline constexpr std::uint8_t kFileEntryHasUnicodeName = 0x04;
inline constexpr std::uint8_t kNetworkLocationItem = 0x40;
inline constexpr std::uint8_t kNetworkHasDescription = 0x80;
inline constexpr std::uint8_t kNetworkHasComments = 0x40;
inline constexpr std::uint8_t kNetworkServerItem = 0x42;
inline constexpr std::uint8_t kNetworkShareItem = 0xC3;
inline constexpr std::uint32_t kFileEntryExtensionSignature = 0xBEEF0004;
inline constexpr std::uint16_t kFileEntryExtensionVersion = 9;  // Windows 8.1 and 10
inline constexpr std::uint8_t kSortIndexMyComputer = 0x50;
inline constexpr std::uint8_t kSortIndexNetwork = 0x58;

inline constexpr Guid CLSID_MyComputer =
    make_guid(0x20D04FE0, 0x3AEA, 0x1069, {0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D});
inline constexpr Guid CLSID_NetworkPlaces =
    make_guid(0x208D2C60, 0x3AEA, 0x1069, {0xA2, 0xD7, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D});

// The longest path a shortcut may point at, terminator included.
inline constexpr std::size_t kMaxPath = 260;

}  // namespace morvik::codec
