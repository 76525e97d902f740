#include "physics/PhysicsFactory.h"

#include <map>

#include "engine/core/Log.h"
#include "physics/PhysicsEntry.h"
#include "physics/PhysicsModelA.h"
#include "physics/PhysicsModelB.h"

namespace physics {

namespace {

// One class per model id; they differ only in the operations and constants they select.
template <std::uint32_t Id>
class PhysicsModelV final : public PhysicsModelA {
public:
    PhysicsModelV(std::uint32_t tableType, std::uint16_t ballCount)
        : PhysicsModelA(TraitsOfModelA(Id), tableType, ballCount) {}
};

template <std::uint32_t Id>
class PhysicsModelLateV final : public PhysicsModelB {
public:
    PhysicsModelLateV(std::uint32_t tableType, std::uint16_t ballCount) : PhysicsModelB(Id, tableType, ballCount) {}
};

std::map<std::uint32_t, std::shared_ptr<PhysicsModel>>& Cache() {
    static std::map<std::uint32_t, std::shared_ptr<PhysicsModel>> cache;
    return cache;
}

std::weak_ptr<PhysicsModel> current;

std::shared_ptr<PhysicsModel> Construct(std::uint32_t id, std::uint32_t tableType, std::uint16_t ballCount) {
    switch (id) {
        case 0x10000: return std::make_shared<PhysicsModel>(tableType, ballCount);
        case 0x10001: return std::make_shared<PhysicsModelV<0x10001>>(tableType, ballCount);
        case 0x10002: return std::make_shared<PhysicsModelV<0x10002>>(tableType, ballCount);
        case 0x10003: return std::make_shared<PhysicsModelV<0x10003>>(tableType, ballCount);
        case 0x10004: return std::make_shared<PhysicsModelV<0x10004>>(tableType, ballCount);
        case 0x10005: return std::make_shared<PhysicsModelV<0x10005>>(tableType, ballCount);
        case 0x10006: return std::make_shared<PhysicsModelV<0x10006>>(tableType, ballCount);
        case 0x10007: return std::make_shared<PhysicsModelV<0x10007>>(tableType, ballCount);
        case 0x10008: return std::make_shared<PhysicsModelV<0x10008>>(tableType, ballCount);
        case 0x10009: return std::make_shared<PhysicsModelV<0x10009>>(tableType, ballCount);
        case 0x1000A: return std::make_shared<PhysicsModelV<0x1000A>>(tableType, ballCount);
        case 0x1000B: return std::make_shared<PhysicsModelV<0x1000B>>(tableType, ballCount);
        case 0x1000C: return std::make_shared<PhysicsModelV<0x1000C>>(tableType, ballCount);
        case 0x1000D: return std::make_shared<PhysicsModelV<0x1000D>>(tableType, ballCount);
        case 0x1000E: return std::make_shared<PhysicsModelV<0x1000E>>(tableType, ballCount);
        case 0x1000F: return std::make_shared<PhysicsModelV<0x1000F>>(tableType, ballCount);
        case 0x10010: return std::make_shared<PhysicsModelLateV<0x10010>>(tableType, ballCount);
        case 0x10011: return std::make_shared<PhysicsModelLateV<0x10011>>(tableType, ballCount);
        case 0x10012: return std::make_shared<PhysicsModelLateV<0x10012>>(tableType, ballCount);
        case 0x10013: return std::make_shared<PhysicsModelLateV<0x10013>>(tableType, ballCount);
        case 0x10014: return std::make_shared<PhysicsModelLateV<0x10014>>(tableType, ballCount);
        default: return nullptr;
    }
}

}  // namespace

std::shared_ptr<PhysicsModel> CreatePhysicsModel(std::uint32_t modelId, std::uint32_t tableType,
                                                 std::uint16_t ballCount, bool useCache) {
    PhysicsEntry entry;
    if (modelId < kFirstModelId || modelId > kLastModelId) return nullptr;
    if (tableType >= kTableTypeCount) {
        LogWrite(u"physics: model 0x%X refused: table type %u is not a table (0 to 11)\n", modelId, tableType);
        return nullptr;
    }
    std::shared_ptr<PhysicsModel> model;
    if (useCache) {
        auto found = Cache().find(modelId);
        if (found != Cache().end()) model = found->second;
    }
    if (!model) {
        model = Construct(modelId, tableType, ballCount);
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

PhysicsModel* CurrentPhysicsModel() { return current.lock().get(); }

void ClearPhysicsModelCache() { Cache().clear(); }

}  // namespace physics
