#include "engine/render/RenderNodes.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "engine/render/RenderDevice.h"
#include "engine/render/RenderSortLevels.h"
#include "engine/render/Scene.h"
#include "engine/render/SceneNode.h"
#include "engine/render/Sprite.h"

using C = RenderCounter;

namespace {

// Device stage of a slot: the number of enabled slots below it.
std::uint32_t DeviceStage(std::uint32_t reducedMask, int slot) {
    std::uint32_t below = 0;
    for (int s = 0; s < slot; ++s) below |= RenderStateBit(s);
    return static_cast<std::uint32_t>(std::popcount(reducedMask & below));
}

// Calls fn on every PartBatchNode below a node.
template <class Fn>
void ForEachBatch(RenderNode& node, Fn fn) {
    struct Visitor final : RenderVisitor {
        explicit Visitor(Fn& f) : f(f) {}
        bool Enter(RenderNode& n, bool& descend) override {
            descend = true;
            if (auto* batch = dynamic_cast<PartBatchNode*>(&n)) f(*batch);
            return true;
        }
        Fn& f;
    } visitor(fn);
    if (node.ChildLevel()) node.ChildLevel()->Accept(visitor);
}

}  // namespace

// --- Root, groups, alpha ----------------------------------------------------------------------------

RootRenderNode::RootRenderNode(RenderSortTree* tree, Scene* scene)
    : RenderNode(tree, nullptr), scene_(scene) {
    SetChildLevel(std::make_unique<SceneRootLevel>(tree, this));
}

void RootRenderNode::InsertNode(SceneNode& node) {
    childLevel_->InsertNode(node);
}

bool RootRenderNode::RemoveNode(SceneNode& node) {
    expandNodes_ = expandMeshes_ = 1;
    ExpandNode(node, true);
    expandNodes_ = expandMeshes_ = 0;
    return false;
}

void RootRenderNode::InsertSprite(Sprite& sprite) {
    const void* saved = tree_->Filer();
    tree_->SetFiler(&sprite);
    childLevel_->InsertSprite(sprite);
    tree_->SetFiler(saved);
}

bool RootRenderNode::RemoveSprite(Sprite& sprite) {
    childLevel_->RemoveSprite(sprite);
    return false;
}

bool RootRenderNode::RemovePart(MeshPart& part) {
    auto entry = registry_.find(&part);
    if (entry == registry_.end()) return false;
    auto& filings = entry->second;
    auto filing = std::find_if(filings.begin(), filings.end(),
                               [&](const Filing& f) { return f.filer == tree_->Filer(); });
    if (filing == filings.end()) filing = filings.begin();
    RenderNode* holder = filing->holder;
    const void* filer = filing->filer;
    filings.erase(filing);
    if (filings.empty()) registry_.erase(entry);

    std::vector<RenderNode*> ancestors;
    for (RenderSortLevel* level = holder->OwnerLevel(); level && level->Owner();
         level = level->Owner()->OwnerLevel())
        ancestors.push_back(level->Owner());
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
        if ((*it)->RemovePartHere(part, filer)) (*it)->PruneUpward();
    if (holder->RemovePartHere(part, filer)) holder->PruneUpward();
    Device().Buffers().ready = false;
    tree_->MarkVisibilityStale();
    return false;
}

void RootRenderNode::RegisterPart(MeshPart& part, RenderNode& holder) {
    registry_[&part].push_back({tree_->Filer(), &holder});
}

std::size_t RootRenderNode::RegisteredFilings() const {
    std::size_t count = 0;
    for (const auto& [part, filings] : registry_) count += filings.size();
    return count;
}

bool RootRenderNode::Apply(RenderStatistics&) {
    RenderDevice& device = Device();
    device.DisableAllLights();
    if (!scene_) return true;
    const SceneContent& content = scene_->Content();
    for (const auto& [key, light] : content.directionalLights) {
        if (!light || !light->IsOn()) continue;
        if (!device.AddDirectionalLight(light->Record())) break;
    }
    for (const auto& [key, light] : content.pointLights) {
        if (!light || !light->IsOn()) continue;
        if (!device.AddPointLight(light->Record())) break;
    }
    return true;
}

bool RootRenderNode::CommitBuffers(std::uint32_t maxVertexBytes, std::uint32_t maxIndices) {
    return Device().GrowDynamic(maxVertexBytes, maxIndices);
}

NodeGroupNode::NodeGroupNode(RenderSortTree* tree, RenderSortLevel* owner) : RenderNode(tree, owner) {
    SetChildLevel(std::make_unique<BlendSplitLevel>(tree, this));
}

void SpriteGroupNode::InsertSprite(Sprite& sprite) {
    sprite.Restore();
    sprites_.push_back(&sprite);
    draw_.clear();
    draw_.reserve(sprites_.size());
}

bool SpriteGroupNode::RemoveSprite(Sprite& sprite) {
    auto it = std::find(sprites_.begin(), sprites_.end(), &sprite);
    if (it != sprites_.end()) sprites_.erase(it);
    std::erase(draw_, &sprite);
    return sprites_.empty();
}

void SpriteGroupNode::UpdateVisibility() {
    draw_.clear();
    for (Sprite* sprite : sprites_)
        if (sprite->mesh && sprite->mesh->visibility.visible) draw_.push_back(sprite);
    std::stable_sort(draw_.begin(), draw_.end(), [](const Sprite* a, const Sprite* b) {
        return a->mesh->visibility.viewDepth > b->mesh->visibility.viewDepth;
    });
    visible_ = draw_.empty() ? 0 : 1;
}

bool SpriteGroupNode::Apply(RenderStatistics& statistics) {
    for (Sprite* sprite : draw_) {
        std::uint32_t vertices = 0;
        if (!sprite->Render(Device(), vertices)) return false;
        statistics[C::Vertex] += vertices;
    }
    return true;
}

bool SpriteGroupNode::RestoreDeviceObjects() {
    if (restored_) return true;
    restored_ = true;
    for (Sprite* sprite : sprites_)
        if (!sprite->Restore()) return false;
    return true;
}

bool SpriteGroupNode::ReleaseDeviceObjects() {
    if (!restored_) return true;
    for (Sprite* sprite : sprites_) sprite->Release();
    restored_ = false;
    return true;
}

AlphaModeNode::AlphaModeNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint32_t mode)
    : RenderNode(tree, owner), mode_(mode) {
    if (mode == 0) {
        expandNodes_ = expandMeshes_ = 1;
        SetChildLevel(std::make_unique<VertexFormatLevel>(tree, this));
    } else {
        SetChildLevel(std::make_unique<DrawOrderLevel>(tree, this));
    }
}

bool AlphaModeNode::Apply(RenderStatistics&) {
    return Device().SetAlphaMode(mode_);
}

// --- Formats, buffers, materials ---------------------------------------------------------------------

VertexFormatNode::VertexFormatNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint32_t format)
    : RenderNode(tree, owner), format_(format) {
    SetChildLevel(std::make_unique<BufferGroupLevel>(tree, this, format));
}

bool VertexFormatNode::Apply(RenderStatistics& statistics) {
    RenderDevice& device = Device();
    if (!device.SetVertexFormat(format_)) return false;
    if (device.CachedCullValue() != static_cast<std::uint32_t>(device.currentCullMode + 1) &&
        !device.SetCullMode(-1))
        return false;
    ++statistics[C::Fvf];
    return true;
}

std::string VertexFormatNode::Label() const {
    char text[32];
    std::snprintf(text, sizeof text, "VF(0x%X)", format_);
    return text;
}

StaticBufferNode::StaticBufferNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint32_t format,
                                   int index)
    : RenderNode(tree, owner),
      stride_(platform::vertex_format::Stride(format)),
      set_(&tree->Device().GetStaticBufferManager().CreateSet()),
      index_(index) {
    SetChildLevel(std::make_unique<MaterialStateLevel>(tree, this, static_cast<std::uint8_t>(format & 2)));
}

StaticBufferNode::~StaticBufferNode() {
    childLevel_.reset();
    Device().GetStaticBufferManager().DestroySet(*set_);
}

void StaticBufferNode::InsertPart(MeshPart& part) {
    set_->AddPart(part);
    RenderNode::InsertPart(part);
}

bool StaticBufferNode::RemovePartHere(MeshPart& part, const void*) {
    set_->RemovePart(part);
    return IsEmpty();
}

bool StaticBufferNode::Apply(RenderStatistics& statistics) {
    if (!Device().SelectBuffers(set_->vertexBuffer, stride_, set_->indexBuffer)) return false;
    ++statistics[C::StaticBuffer];
    return true;
}

bool StaticBufferNode::MeasureBuffers(bool& descend, std::uint32_t&, std::uint32_t&) {
    descend = false;
    return Device().GetStaticBufferManager().EnsureSet(*set_);
}

bool StaticBufferNode::EnsureBuffers(bool& descend) {
    descend = false;
    set_->Layout();
    ForEachBatch(*this, [&](PartBatchNode& batch) { batch.Layout(*set_); });
    return Device().GetStaticBufferManager().Upload(*set_);
}

DynamicBufferNode::DynamicBufferNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint32_t format)
    : RenderNode(tree, owner), format_(format) {
    SetChildLevel(std::make_unique<MaterialStateLevel>(tree, this, static_cast<std::uint8_t>(format & 2)));
}

bool DynamicBufferNode::Apply(RenderStatistics&) {
    return Device().PrepareDynamicVertices(format_) && Device().EnsureDynamicIndices();
}

bool DynamicBufferNode::MeasureBuffers(bool& descend, std::uint32_t& maxVertexBytes,
                                       std::uint32_t& maxIndices) {
    descend = false;
    std::uint32_t stride = platform::vertex_format::Stride(format_);
    ForEachBatch(*this, [&](PartBatchNode& batch) {
        for (const auto& record : batch.Records()) {
            std::uint32_t lowest, highest;
            record.part->IndexRange(lowest, highest);
            maxVertexBytes = std::max(maxVertexBytes, (highest - lowest + 1) * stride);
            maxIndices = std::max(maxIndices, static_cast<std::uint32_t>(record.part->indices.size()));
        }
    });
    return true;
}

MaterialStateNode::MaterialStateNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint32_t flags,
                                     std::uint8_t normals)
    : RenderNode(tree, owner), flags_(flags) {
    SetChildLevel(std::make_unique<TextureAnimationLevel>(tree, this, flags, normals));
}

bool MaterialStateNode::Apply(RenderStatistics& statistics) {
    if (!Device().ApplyMaterialState(flags_)) return false;
    ++statistics[C::TextureStageChange];
    return true;
}

std::string MaterialStateNode::Label() const {
    char text[32];
    std::snprintf(text, sizeof text, "Mat(0x%X)", flags_);
    return text;
}

// --- Animation, bump, lighting, specular -------------------------------------------------------------

TextureAnimationNode::TextureAnimationNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint32_t key,
                                           std::uint32_t stageMask, std::uint8_t normals)
    : RenderNode(tree, owner), key_(key), stageMask_(stageMask) {
    if (stageMask & RenderStateBit(kBumpSlot))
        SetChildLevel(std::make_unique<BumpMatrixLevel>(tree, this, stageMask, normals));
    else
        SetChildLevel(std::make_unique<LightingSplitLevel>(tree, this, stageMask, normals));
}

void TextureAnimationNode::InsertPart(MeshPart& part) {
    if (key_ != 0 && !material_) material_ = part.material;
    RenderNode::InsertPart(part);
}

bool TextureAnimationNode::Apply(RenderStatistics&) {
    RenderDevice& device = Device();
    using platform::SState;
    std::uint32_t flags[platform::kMaxTextureStages];
    for (std::uint32_t s = 0; s < platform::kMaxTextureStages; ++s)
        flags[s] = device.CachedStageState(s, SState::TextureTransformFlags);
    if (!material_) {
        // Materials without animation draw unscrolled, whatever an earlier material left.
        for (std::uint32_t s = 0; s < platform::kMaxTextureStages; ++s)
            if (flags[s] != platform::kTextureTransformDisabled &&
                !device.SetStageState(s, SState::TextureTransformFlags, platform::kTextureTransformDisabled))
                return false;
        return true;
    }
    std::uint32_t reduced = device.ReduceStageMask(stageMask_);
    double clockMs = static_cast<double>(device.ClockMs());
    auto scroll = [&](float speed, float cycle) -> float {
        if (speed == 0) return 0;
        double period = 1000.0 * cycle / speed;
        if (period == 0) return 0;
        return static_cast<float>(std::fmod(clockMs, 2 * period) / period);
    };
    std::uint32_t wanted[platform::kMaxTextureStages];
    std::copy(std::begin(flags), std::end(flags), wanted);
    for (int slot = 0; slot < kStageSlots; ++slot) {
        const MaterialStage* stage = material_->Stage(slot);
        if (!stage || !stage->animation) continue;
        std::uint32_t deviceStage = DeviceStage(reduced, slot);
        if (deviceStage >= platform::kMaxTextureStages) continue;
        wanted[deviceStage] = platform::kTextureTransformCount2;
        // Two-coordinate texture transforms take their translation from the third row.
        Matrix4f matrix;
        At(matrix, 2, 0) = scroll(stage->animation->a, stage->animation->c);
        At(matrix, 2, 1) = scroll(stage->animation->b, stage->animation->c);
        if (!device.SetTextureMatrix(deviceStage, matrix)) return false;
    }
    for (std::uint32_t s = 0; s < platform::kMaxTextureStages; ++s)
        if (wanted[s] != flags[s] && !device.SetStageState(s, SState::TextureTransformFlags, wanted[s]))
            return false;
    return true;
}

BumpMatrixNode::BumpMatrixNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint32_t key,
                               std::uint32_t stageMask, std::uint8_t normals)
    : RenderNode(tree, owner), key_(key), stageMask_(stageMask) {
    SetChildLevel(std::make_unique<LightingSplitLevel>(tree, this, stageMask, normals));
}

void BumpMatrixNode::InsertPart(MeshPart& part) {
    if (!record_ && part.material)
        if (const MaterialStage* stage = part.material->Stage(kBumpSlot)) record_ = stage->bump;
    RenderNode::InsertPart(part);
}

bool BumpMatrixNode::Apply(RenderStatistics&) {
    RenderDevice& device = Device();
    if (!device.HasSlot2Caps() || !record_) return true;
    std::uint32_t reduced = device.ReduceStageMask(stageMask_);
    std::uint32_t stage =
        static_cast<std::uint32_t>(std::popcount(reduced & (RenderStateBit(0) | RenderStateBit(1))));
    float angle = 0;
    float period = record_->period * 1000.0f;
    if (record_->rotate && period > 0) {
        auto p = static_cast<std::uint64_t>(period);
        if (p > 0) angle = static_cast<float>(device.ClockMs() % p) / period * 6.2831855f;
    }
    float s = record_->scale;
    return device.SetBumpEnvMatrix(stage, s * std::cos(angle), s * std::sin(angle), s * std::sin(angle),
                                   s * std::cos(angle));
}

LightingNode::LightingNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint8_t lit,
                           std::uint8_t lightingOff, std::uint32_t stageMask)
    : RenderNode(tree, owner), lit_(lit), lightingOff_(lightingOff), stageMask_(stageMask) {
    if (lit && !lightingOff)
        SetChildLevel(std::make_unique<SpecularSplitLevel>(tree, this, stageMask));
    else
        SetChildLevel(CreateSortLevel(tree, this, stageMask, kStageSlots));
}

bool LightingNode::Apply(RenderStatistics& statistics) {
    bool on = lit_ && !lightingOff_;
    bool directional = on && !(stageMask_ & RenderStateBit(kLightMapSlot));
    if (!Device().EnableLights(directional, on, !lightingOff_)) return false;
    ++statistics[C::LightSwitch];
    return true;
}

SpecularNode::SpecularNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint8_t specular,
                           std::uint32_t stageMask)
    : RenderNode(tree, owner), specular_(specular) {
    SetChildLevel(CreateSortLevel(tree, this, stageMask, kStageSlots));
}

bool SpecularNode::Apply(RenderStatistics&) {
    return Device().SetSpecularEnable(specular_ != 0);
}

// --- Texture stages ------------------------------------------------------------------------------------

TextureStageNode::TextureStageNode(RenderSortTree* tree, RenderSortLevel* owner, int slot,
                                   std::uint32_t stageMask, std::uint32_t key)
    : RenderNode(tree, owner), slot_(slot), stageMask_(stageMask), key_(key) {
    SetChildLevel(CreateSortLevel(tree, this, stageMask, slot));
}

void TextureStageNode::InsertPart(MeshPart& part) {
    if (key_ != 0 && !texture_ && part.material) {
        if (const MaterialStage* stage = part.material->Stage(slot_)) {
            texture_ = stage->texture;
            restored_ = texture_ && texture_->Restore() ? 1 : 0;
        }
    }
    RenderNode::InsertPart(part);
}

bool TextureStageNode::Apply(RenderStatistics& statistics) {
    RenderDevice& device = Device();
    std::uint32_t reduced = device.ReduceStageMask(stageMask_);
    std::uint32_t stage = DeviceStage(reduced, slot_);
    bool ok = true;
    if (!texture_) {
        ok = device.SetTexture(stage, nullptr);
    } else if (!(reduced & RenderStateBit(slot_))) {
        texture_->Release();
        restored_ = 0;
    } else {
        if (!restored_) restored_ = texture_->Restore() ? 1 : 0;
        // A texture that cannot be made draws untextured rather than ending the frame.
        ok = restored_ ? device.BindTextureHandle(stage, texture_->Handle())
                       : device.SetTexture(stage, nullptr);
    }
    if (slot_ == kDiffuseSlot) ++statistics[C::DiffuseMap];
    if (slot_ == kLightMapSlot) ++statistics[C::LightMap];
    return ok;
}

bool TextureStageNode::RestoreDeviceObjects() {
    if (restored_ || !texture_) return true;
    restored_ = texture_->Restore() ? 1 : 0;
    return restored_ != 0;
}

bool TextureStageNode::ReleaseDeviceObjects() {
    if (restored_ && texture_) texture_->Release();
    restored_ = 0;
    return true;
}

std::string TextureStageNode::Label() const {
    return "Tex" + std::to_string(slot_) + "(" + (key_ ? "t" + std::to_string(key_) : std::string("none")) +
           ")";
}
