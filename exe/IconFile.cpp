#include "exe/IconFile.h"

#include "exe/ExeImage.h"
#include "exe/PeFormat.h"
#include "zip/base/LogBase.h"

#include <algorithm>
#include <set>

namespace vexmar {

namespace {

constexpr uint32_t kDirHeaderSize = 6;
constexpr uint32_t kFileEntrySize = 16;
constexpr uint32_t kGroupEntrySize = 14;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t side(uint8_t stored) {
    return stored == 0 ? 256 : stored;
}

bool isPng(const std::vector<uint8_t>& data) {
    return data.size() >= sizeof kPngSignature &&
           std::equal(kPngSignature, kPngSignature + sizeof kPngSignature, data.begin());
}

// A DIB icon image: its header, and room for the colours and both masks.
std::string dibProblem(const IconImage& icon) {
    const std::vector<uint8_t>& d = icon.data;
    if (d.size() < 40 || le32(d.data()) < 40)
        return "an image is neither a PNG nor a bitmap";
    const int32_t width = int32_t(le32(d.data() + 4));
    const int32_t height = int32_t(le32(d.data() + 8));
    const uint16_t bits = le16(d.data() + 14);
    const uint32_t compression = le32(d.data() + 16);
    if (width <= 0 || height <= 0 || uint32_t(width) != side(icon.width) ||
        uint32_t(height) != 2 * side(icon.height))
        return "an image's size does not match its directory entry";
    if (le16(d.data() + 12) != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 16 &&
                                     bits != 24 && bits != 32))
        return "an image has a colour depth Windows cannot show";
    if (compression != 0)
        return "an image is compressed in a way Windows cannot show";
    uint64_t colours = bits <= 8 ? (le32(d.data() + 32) ? le32(d.data() + 32) : 1u << bits) : 0;
    const uint64_t rows = uint64_t(height) / 2;
    const uint64_t xorRow = (uint64_t(width) * bits + 31) / 32 * 4;
    const uint64_t andRow = (uint64_t(width) + 31) / 32 * 4;
    const uint64_t needed = le32(d.data()) + 4 * colours + rows * (xorRow + andRow);
    if (d.size() < needed)
        return "an image is cut short";
    return {};
}

std::vector<uint16_t> iconsOfGroup(const ExeResource& group) {
    std::vector<uint16_t> ids;
    if (group.dataSize < kDirHeaderSize || !group.data)
        return ids;
    const uint32_t count = le16(group.data + 4);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t at = kDirHeaderSize + i * kGroupEntrySize;
        if (at + kGroupEntrySize > group.dataSize)
            break;
        ids.push_back(le16(group.data + at + 12));
    }
    return ids;
}

} // namespace

std::vector<IconImage> readIconFile(const std::vector<uint8_t>& file, std::string& problem) {
    std::vector<IconImage> images;
    problem.clear();
    if (file.size() < kDirHeaderSize || le16(file.data()) != 0 || le16(file.data() + 2) != 1) {
        problem = "not an icon file";
        return {};
    }
    const uint32_t count = le16(file.data() + 4);
    const uint64_t directoryEnd = kDirHeaderSize + uint64_t(count) * kFileEntrySize;
    if (count == 0) {
        problem = "the icon file holds no images";
        return {};
    }
    if (directoryEnd > file.size()) {
        problem = "the icon file is cut short";
        return {};
    }
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = file.data() + kDirHeaderSize + i * kFileEntrySize;
        const uint64_t size = le32(e + 8);
        const uint64_t offset = le32(e + 12);
        if (size == 0 || offset < directoryEnd || offset + size > file.size()) {
            problem = "an image lies outside the icon file";
            return {};
        }
        IconImage icon{e[0], e[1], e[2], le16(e + 4), le16(e + 6),
                       std::vector<uint8_t>(file.begin() + long(offset),
                                            file.begin() + long(offset + size))};
        if (!isPng(icon.data))
            problem = dibProblem(icon);
        if (!problem.empty())
            return {};
        images.push_back(std::move(icon));
    }
    return images;
}

bool replaceIconGroup(ExeImage& image, uint16_t groupId, const std::vector<IconImage>& images,
                      LogBase& log) {
    const ResourceKey groupType = ResourceKey::ofId(restype::kGroupIcon);
    const ResourceKey iconType = ResourceKey::ofId(restype::kIcon);
    const std::vector<uint16_t> languages = image.languagesOf(groupType, ResourceKey::ofId(groupId));
    if (languages.empty()) {
        log.logError("The executable has no icon group to replace");
        log.logDataInt("groupId", groupId);
        return false;
    }
    if (images.empty() || images.size() > 0xFFFF) {
        log.logError("An icon group needs 1 to 65535 images");
        return false;
    }
    // The icons other groups still use stay; the rest of the old group's go.
    std::set<uint16_t> oldIcons;
    std::set<uint16_t> kept;
    const ExeResource* groups = image.resources()->idChild(restype::kGroupIcon);
    for (const auto& group : groups->idChildren)
        for (const auto& leaf : group->idChildren)
            if (!leaf->isDirectory)
                for (uint16_t id : iconsOfGroup(*leaf))
                    (group->id == groupId ? oldIcons : kept).insert(id);
    for (uint16_t language : languages)
        if (!image.removeResource(groupType, ResourceKey::ofId(groupId), language, log))
            return false;
    for (uint16_t id : oldIcons)
        if (!kept.count(id))
            for (uint16_t language : image.languagesOf(iconType, ResourceKey::ofId(id)))
                if (!image.removeResource(iconType, ResourceKey::ofId(id), language, log))
                    return false;

    std::vector<uint8_t> group(kDirHeaderSize + images.size() * kGroupEntrySize);
    putLe16(&group[2], 1);
    putLe16(&group[4], uint16_t(images.size()));
    uint16_t next = 1;
    for (size_t i = 0; i < images.size(); ++i) {
        while (!image.languagesOf(iconType, ResourceKey::ofId(next)).empty())
            if (++next == 0) {
                log.logError("No icon ids are left");
                return false;
            }
        const IconImage& icon = images[i];
        uint8_t* e = &group[kDirHeaderSize + i * kGroupEntrySize];
        e[0] = icon.width;
        e[1] = icon.height;
        e[2] = icon.colorCount;
        putLe16(e + 4, icon.planes);
        putLe16(e + 6, icon.bitCount);
        putLe32(e + 8, uint32_t(icon.data.size()));
        putLe16(e + 12, next);
        if (!image.setResource(iconType, ResourceKey::ofId(next), languages.front(), icon.data,
                               log))
            return false;
        ++next;
    }
    return image.setResource(groupType, ResourceKey::ofId(groupId), languages.front(),
                             std::move(group), log);
}

} // namespace vexmar
