#include "tests/physics/support/ShotRunner.h"

#include "tests/physics/support/Hash.h"

namespace physics::testing {

namespace {

void AddVector(Fnv1a& hash, const Vector3& v) {
    hash.Add(v.x.Bits());
    hash.Add(v.y.Bits());
    hash.Add(v.z.Bits());
}

bool Finite(const Vector3& v) {
    return IsFinite(v.x) && IsFinite(v.y) && IsFinite(v.z);
}

}  // namespace

ShotParams DefaultShot() {
    ShotParams s{};
    s.power = F32(0.8f);
    s.limitFactor = F32(1.0f);
    return s;
}

ShotParams VerticalShot(float vertical, float power, float elevation) {
    ShotParams s{};
    s.tipOffsetVertical = s.offsetLimitVertical = F32(vertical);
    s.power = F32(power);
    s.elevation = F32(elevation);
    s.limitFactor = F32(1.0f);
    return s;
}

ShotSpec MakeShot(std::uint32_t model, std::uint32_t table, std::vector<BallPlacement> balls, F32 aimX,
                  F32 aimY, ShotParams shot) {
    ShotSpec shotSpec;
    shotSpec.model = model;
    shotSpec.table = table;
    shotSpec.balls = std::move(balls);
    shotSpec.aimX = aimX;
    shotSpec.aimY = aimY;
    shotSpec.shot = shot;
    const bool pockets = table == 1 || table >= 9;
    shotSpec.radiusCm = pockets ? F32(2.8575f) : F32(3.075f);
    shotSpec.mass = pockets ? F32(0.17f) : F32(0.21f);
    shotSpec.setup = {{kDefaultPhysicsModelId, table}};
    return shotSpec;
}

ShotResult RunShot(const ShotSpec& shotSpec, bool keepRecord,
                   const std::function<void(std::uint32_t call, PhysicsModel&)>& observer) {
    ShotResult result;
    if (!shotSpec.setup.empty()) {
        ClearParamsForTesting();
        for (const auto& [id, table] : shotSpec.setup) CreatePhysicsModel(id, table, 3, false);
    }
    auto model = CreatePhysicsModel(shotSpec.model, shotSpec.table,
                                    static_cast<std::uint16_t>(shotSpec.balls.size()), false);
    for (std::size_t i = 0; i < shotSpec.balls.size(); ++i) {
        Ball& ball = model->GetBall(i);
        ball.SetSize(shotSpec.radiusCm, shotSpec.mass);
        ball.position = Vector3(shotSpec.balls[i].x, shotSpec.balls[i].y, shotSpec.radiusCm);
        ball.RandomizeOrientation(shotSpec.balls[i].seed);
    }
    model->ResetParams();
    const std::uint32_t subSteps =
        shotSpec.subSteps ? shotSpec.subSteps : (model->Table().hasPockets ? 15 : 50);
    Fnv1a hash;
    PhysicsEventQueue().clear();
    model->Strike(model->GetBall(shotSpec.cueBall), shotSpec.aimX, shotSpec.aimY, shotSpec.shot);
    result.strikeEvents = PhysicsEventQueue();
    while (!result.rest && result.calls < shotSpec.maxCalls) {
        result.rest = model->Simulate(F32(0.005f), subSteps, F32(1.0f));
        ++result.calls;
        for (const PhysicsEvent& e : PhysicsEventQueue()) {
            hash.Add(static_cast<std::uint64_t>(e.type) << 32 | e.ballId);
            hash.Add(e.intensity.Bits());
            hash.Add(e.vector[0].Bits());
            hash.Add(e.vector[1].Bits());
            hash.Add(e.vector[2].Bits());
            hash.Add(e.tag);
            if (e.type == EventType::CueContactEnd && result.eventSevenCall == 0)
                result.eventSevenCall = result.calls;
        }
        CallRecord call;
        for (std::size_t i = 0; i < shotSpec.balls.size(); ++i) {
            const Ball& b = model->GetBall(i);
            AddVector(hash, b.position);
            AddVector(hash, b.velocity);
            AddVector(hash, b.spin);
            hash.Add(b.orientation.x.Bits());
            hash.Add(b.orientation.y.Bits());
            hash.Add(b.orientation.z.Bits());
            hash.Add(b.orientation.w.Bits());
            hash.Add(b.outOfPlay);
            if (!Finite(b.position) || !Finite(b.velocity) || !Finite(b.spin)) result.allFinite = false;
            if (keepRecord) call.balls.push_back(b);
        }
        if (keepRecord) {
            call.events = PhysicsEventQueue();
            result.record.push_back(std::move(call));
        }
        if (observer) observer(result.calls, *model);
    }
    for (std::size_t i = 0; i < shotSpec.balls.size(); ++i) result.final.push_back(model->GetBall(i));
    result.hash = hash.value;
    result.model = model;
    return result;
}

ShotSpec MirrorY(ShotSpec shotSpec) {
    for (BallPlacement& b : shotSpec.balls) b.y = F32(-b.y.v);
    shotSpec.aimY = F32(-shotSpec.aimY.v);
    shotSpec.shot.tipOffsetSide = F32(-shotSpec.shot.tipOffsetSide.v);
    shotSpec.shot.offsetLimitSide = F32(-shotSpec.shot.offsetLimitSide.v);
    return shotSpec;
}

ShotSpec MirrorX(ShotSpec shotSpec) {
    for (BallPlacement& b : shotSpec.balls) b.x = F32(-b.x.v);
    shotSpec.aimX = F32(-shotSpec.aimX.v);
    shotSpec.shot.tipOffsetSide = F32(-shotSpec.shot.tipOffsetSide.v);
    shotSpec.shot.offsetLimitSide = F32(-shotSpec.shot.offsetLimitSide.v);
    return shotSpec;
}

}  // namespace physics::testing
