#include "engine/resource/PackageBuilder.h"

#include <zlib.h>

#include <cstdio>

#include "engine/core/FileStream.h"
#include "engine/core/MemoryStream.h"

uint32_t GroupBuilder::AddRawRecord(ResourceType type, uint32_t id, WString name, std::vector<uint8_t> body) {
    uint32_t& next = nextId_.try_emplace(type, 1u).first->second;
    if (id == kEmptyResourceId) {
        id = next;
    }
    if (id >= next && id != kEmptyResourceId - 1) {
        next = id + 1;
    }
    records_.push_back({type, id, std::move(name), std::move(body)});
    return id;
}

GroupBuilder& GroupBuilder::AddChild(WString name) {
    children_.push_back(std::make_unique<GroupBuilder>(std::move(name)));
    return *children_.back();
}

std::vector<uint8_t> GroupBuilder::EncodeBlock() const {
    if (rawBlock_) return *rawBlock_;
    ByteWriter w;
    w.U32(static_cast<uint32_t>(records_.size()));
    for (const auto& r : records_) {
        w.U16(static_cast<uint16_t>(r.type));
        w.U32(r.id);
        w.String(r.name);
        w.Blob(r.body);
    }
    return w.Take();
}

GroupBuilder& PackageBuilder::AddGroup(WString name) {
    groups_.push_back(std::make_unique<GroupBuilder>(std::move(name)));
    return *groups_.back();
}

namespace {

struct FlatGroup {
    const GroupBuilder* group;
    uint32_t parent;
};

void Flatten(const GroupBuilder& g, uint32_t parent, std::vector<FlatGroup>& out) {
    const auto index = static_cast<uint32_t>(out.size());
    out.push_back({&g, parent});
    for (const auto& child : g.Children()) {
        Flatten(*child, index, out);
    }
}

}  // namespace

std::vector<uint8_t> PackageBuilder::Build() const {
    std::vector<FlatGroup> flat;
    for (const auto& g : groups_) {
        Flatten(*g, package_format::kNoParent, flat);
    }

    struct Block {
        std::vector<uint8_t> stored;
        uint32_t rawSize;
        uint32_t crc;
    };
    std::vector<Block> blocks;
    for (const auto& f : flat) {
        const std::vector<uint8_t> raw = f.group->EncodeBlock();
        Block block{{}, static_cast<uint32_t>(raw.size()), 0};
        CompressBuffer(raw, block.stored);
        block.crc = static_cast<uint32_t>(crc32(0L, raw.data(), static_cast<uInt>(raw.size())));
        blocks.push_back(std::move(block));
    }

    ByteWriter directory;
    for (const auto& f : flat) {
        directory.String(f.group->GetName());
        directory.U32(f.parent);
        directory.U32(0), directory.U32(0), directory.U32(0), directory.U32(0);  // patched below
    }

    const size_t headerSize = 16;
    ByteWriter out;
    out.Bytes(std::span(reinterpret_cast<const uint8_t*>(package_format::kMagic.data()), 4));
    out.U16(package_format::kVersion);
    out.U16(0);
    out.U32(static_cast<uint32_t>(flat.size()));
    out.U32(static_cast<uint32_t>(directory.Size()));

    // Second pass writes the directory with the offsets now known.
    ByteWriter finalDirectory;
    size_t offset = headerSize + directory.Size();
    for (size_t i = 0; i < flat.size(); ++i) {
        finalDirectory.String(flat[i].group->GetName());
        finalDirectory.U32(flat[i].parent);
        finalDirectory.U32(static_cast<uint32_t>(offset));
        finalDirectory.U32(static_cast<uint32_t>(blocks[i].stored.size()));
        finalDirectory.U32(blocks[i].rawSize);
        finalDirectory.U32(blocks[i].crc);
        offset += blocks[i].stored.size();
    }
    out.Bytes(finalDirectory.Data());
    for (const auto& b : blocks) {
        out.Bytes(b.stored);
    }
    return out.Take();
}

bool PackageBuilder::WriteFile(const std::string& path) const {
    const std::vector<uint8_t> bytes = Build();
    const std::string temp = path + ".tmp";
    {
        FileStream file(FromUtf8(temp), FileStream::Mode::Write);
        if (!file.IsOpen() || file.Write(bytes.data(), bytes.size()) != bytes.size()) return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}
