#include "physics/PhysicsFactory.h"

#include <map>

#include "engine/core/Log.h"
#include "physics/PhysicsEntry.h"
#include "physics/PhysicsModelA.h"
#include "physics/PhysicsModelB.h"

namespace physics {

namespace {

std::map<std::uint32_t, std::shared_ptr<PhysicsModel>>& Cache() {
    static std::map<std::uint32_t, std::shared_ptr<PhysicsModel>> cache;
    return cache;
}

std::weak_ptr<PhysicsModel> current;

// The base model is its own class; each branch is one class whose traits carry the id.
std::shared_ptr<PhysicsModel> Construct(std::uint32_t id, std::uint32_t tableType, std::uint16_t ballCount) {
    if (id == kFirstModelId) return std::make_shared<PhysicsModel>(tableType, ballCount);
    if (const ModelATraits* a = TraitsOfModelA(id))
        return std::make_shared<PhysicsModelA>(*a, tableType, ballCount);
    if (const ModelBTraits* b = TraitsOfModelB(id))
        return std::make_shared<PhysicsModelB>(*b, tableType, ballCount);
    return nullptr;
}

}  // namespace

std::shared_ptr<PhysicsModel> CreatePhysicsModel(std::uint32_t modelId, std::uint32_t tableType,
                                                 std::uint16_t ballCount, bool useCache) {
    PhysicsEntry entry;
    if (modelId < kFirstModelId || modelId > kLastModelId) return nullptr;
    if (tableType >= kTableTypeCount) {
        LogWrite(u"physics: model 0x%X refused: table type %u is not a table (0 to 11)\n", modelId,
                 tableType);
        return nullptr;
    }
    std::shared_ptr<PhysicsModel> model;
    if (useCache) {
        auto found = Cache().find(modelId);
        if (found != Cache().end()) model = found->second;
    }
    if (!model) {
        model = Construct(modelId, tableType, ballCount);
        if (!model) return nullptr;
        if (useCache) Cache()[modelId] = model;
    }
    current = model;
    model->SetModelId(modelId);
    model->SetTableType(tableType);
    SetLastSetUpModelId(modelId);
    model->SetBallCount(ballCount);
    TableGeometry g;
    const std::uint8_t hasPockets = BuildTableGeometry(tableType, g);
    model->Table().geometry = g;
    model->Table().hasPockets = hasPockets;
    model->ResetParams();
    return model;
}

PhysicsModel* CurrentPhysicsModel() {
    return current.lock().get();
}

void ClearPhysicsModelCache() {
    Cache().clear();
}

}  // namespace physics
